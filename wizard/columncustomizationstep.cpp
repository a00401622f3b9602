#include "wizard/columncustomizationstep.h"

#include "wizard/columnencodings.h"

#include <algorithm>
#include <utility>

namespace ordwick {

namespace {

const QString kCheck = QStringLiteral("CHECK");
const QString kUncheck = QStringLiteral("UNCHECK");
const QString kMore = QStringLiteral("more");

QString icon(bool value) {
    return value ? kCheck : kUncheck;
}

const ColumnSettings* settingsOf(const Project& project, const QString& name) {
    const auto found =
        std::find_if(project.Columns.cbegin(), project.Columns.cend(),
                     [&](const ColumnSettings& column) { return column.ColumnName == name; });
    return found == project.Columns.cend() ? nullptr : &*found;
}

ColumnSettings* settingsOf(Project& project, const QString& name) {
    return const_cast<ColumnSettings*>(settingsOf(std::as_const(project), name));
}

std::int32_t number(const QString& text, std::int32_t current) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : current;
}

} // namespace

QString ColumnCustomizationStep::keyName(Key key) {
    static const QStringList names{
        QStringLiteral("Icon"),      QStringLiteral("Column"),   QStringLiteral("Name"),
        QStringLiteral("Display"),   QStringLiteral("Required"), QStringLiteral("ViewFormat"),
        QStringLiteral("Alignment"), QStringLiteral("EditAs"),   QStringLiteral("Width"),
        QStringLiteral("Length"),    QStringLiteral("Default"),  QStringLiteral("Validation"),
        QStringLiteral("More"),      QStringLiteral("Details")};
    return names.value(key);
}

QString ColumnCustomizationStep::caption(Key key) {
    switch (key) {
    case Icon:
    case Details:
        return {};
    case Name:
        return QStringLiteral("Rename");
    case ViewFormat:
        return QStringLiteral("View Format");
    case EditAs:
        return QStringLiteral("Edit As");
    default:
        return keyName(key);
    }
}

int ColumnCustomizationStep::width(Key key) {
    static const int widths[KeyCount] = {20,  100, 120, 60,  60,  100, 60,
                                         120, 60,  60,  100, 100, 60,  0};
    return widths[key];
}

const std::vector<ColumnCustomizationStep::Key>& ColumnCustomizationStep::keys(bool editPage) {
    static const std::vector<Key> list{Icon, Column, Name, Display, ViewFormat, Alignment};
    static const std::vector<Key> edit{Icon,       Column,     Name,   Display, Required,
                                       ViewFormat, Alignment,  EditAs, Width,   Length,
                                       Default,    Validation, More,   Details};
    return editPage ? edit : list;
}

std::vector<CustomizationRow>
ColumnCustomizationStep::fill(const Project& project, const QStringList& order, bool editPage) {
    std::vector<CustomizationRow> rows;
    rows.reserve(static_cast<size_t>(order.size()));
    for (const QString& name : order) {
        const ColumnSettings* column = settingsOf(project, name);
        if (column == nullptr)
            continue;
        CustomizationRow row;
        row.name = column->ColumnName;
        row.typeIcon = ColumnEncoding::dataTypeIconKey(column->DataType);
        if (!editPage) {
            row.caption = column->ListCaption;
            row.display = icon(column->ListDisplay);
            row.format = ColumnEncoding::formatText(column->ListBold, column->ListItalic,
                                                    column->ListUnderline);
            row.alignment = ColumnEncoding::alignmentText(column->ListAlignment);
        } else {
            row.caption = column->EditCaption;
            row.display = icon(column->EditDisplay);
            row.required = icon(column->Required);
            row.format = ColumnEncoding::formatText(column->EditBold, column->EditItalic,
                                                    column->EditUnderline);
            row.alignment = ColumnEncoding::alignmentText(column->EditAlignment);
            row.editAs = ColumnEncoding::editTypeText(column->EditType);
            row.width = QString::number(column->FieldWidth);
            row.length = QString::number(column->MaxLength);
            row.defaultValue = column->DefaultValue;
            row.validation = ColumnEncoding::validationText(column->ValidationType);
            row.more = ColumnEncoding::hasDetails(row.editAs) ? kMore : QString();
            row.details = column->Details;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

ColumnCustomizationStep::Refusal
ColumnCustomizationStep::apply(Project& project, const std::vector<CustomizationRow>& listRows,
                               const std::vector<CustomizationRow>& editRows) {
    for (const CustomizationRow& row : listRows) {
        ColumnSettings* column = settingsOf(project, row.name);
        if (column == nullptr)
            continue;
        const ColumnEncoding::ViewFormat format = ColumnEncoding::viewFormat(row.format);
        column->ListCaption = row.caption;
        column->ListDisplay = row.display == kCheck;
        column->ListBold = format.bold;
        column->ListItalic = format.italics;
        column->ListUnderline = format.underline;
        column->ListAlignment = ColumnEncoding::alignmentCode(row.alignment);
    }
    for (const CustomizationRow& row : editRows) {
        if (row.more == kMore && row.details.trimmed().isEmpty())
            return QStringLiteral("You have not specified details of ") + row.editAs +
                   QStringLiteral(" details for ") + row.name + QStringLiteral("!");
        ColumnSettings* column = settingsOf(project, row.name);
        if (column == nullptr)
            continue;
        const ColumnEncoding::ViewFormat format = ColumnEncoding::viewFormat(row.format);
        column->EditCaption = row.caption;
        column->EditDisplay = row.display == kCheck;
        column->Required = row.required == kCheck;
        column->EditBold = format.bold;
        column->EditItalic = format.italics;
        column->EditUnderline = format.underline;
        column->EditAlignment = ColumnEncoding::alignmentCode(row.alignment);
        column->EditType = ColumnEncoding::editTypeCode(row.editAs);
        column->FieldWidth = number(row.width, column->FieldWidth);
        column->MaxLength = number(row.length, column->MaxLength);
        column->DefaultValue = row.defaultValue;
        column->ValidationType = ColumnEncoding::validationCode(row.validation);
        if (!row.details.trimmed().isEmpty())
            column->Details = row.details;
    }
    return std::nullopt;
}

void ColumnCustomizationStep::toggle(CustomizationRow& row, Key key) {
    QString* cell = key == Display ? &row.display : key == Required ? &row.required : nullptr;
    if (cell != nullptr)
        *cell = *cell == kCheck ? kUncheck : kCheck;
}

ColumnCustomizationStep::Refusal ColumnCustomizationStep::commit(CustomizationRow& row, Key key,
                                                                 const QString& text) {
    const std::optional<QString> storedRefusal = ColumnEncoding::storedValueRefusal(text);
    switch (key) {
    case Name:
        if (text.isEmpty())
            return QStringLiteral("Please specify a column value!");
        if (storedRefusal)
            return storedRefusal;
        row.caption = text;
        break;
    case Default:
        if (storedRefusal)
            return storedRefusal;
        row.defaultValue = text;
        break;
    case Width:
    case Length: {
        if (text.trimmed().isEmpty())
            break;
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        if (!ok || value < 0)
            return QStringLiteral("Please specify a numeric value!");
        (key == Width ? row.width : row.length) = QString::number(value);
        break;
    }
    case EditAs:
        row.editAs = text;
        row.more = ColumnEncoding::hasDetails(text) ? kMore : QString();
        break;
    case Alignment:
        row.alignment = text;
        break;
    case Validation:
        row.validation = text;
        break;
    case ViewFormat:
        row.format = ColumnEncoding::formatText(ColumnEncoding::viewFormat(text).bold,
                                                ColumnEncoding::viewFormat(text).italics,
                                                ColumnEncoding::viewFormat(text).underline);
        break;
    default:
        break;
    }
    return std::nullopt;
}

void ColumnCustomizationStep::setDetails(CustomizationRow& row, const QString& details) {
    row.details = details;
}

QColor ColumnCustomizationStep::moreColour(const CustomizationRow& row) {
    if (row.more != kMore)
        return Qt::white;
    return row.details.trimmed().isEmpty() ? QColor(0xFF, 0xC0, 0xC0) : QColor(0xC0, 0xFF, 0xC0);
}

QString ColumnCustomizationStep::dateTypeQuestion(const QString& details) {
    return QStringLiteral("Select the date type of the date field\r\n\r\nSelected date type: ") +
           ColumnEncoding::dateTypeText(details) + QStringLiteral("\r\n");
}

QStringList ColumnCustomizationStep::dateTypeButtons() {
    return {QStringLiteral("Normal"), QStringLiteral("American"), QStringLiteral("British")};
}

} // namespace ordwick
