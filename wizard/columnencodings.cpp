#include "wizard/columnencodings.h"

namespace ordwick::ColumnEncoding {

namespace {

QString textAt(const QStringList& texts, std::int32_t code) {
    return code >= 0 && code < texts.size() ? texts.at(code) : QString();
}

std::int32_t codeOf(const QStringList& texts, const QString& text) {
    const auto index = texts.indexOf(text);
    return index < 0 ? 0 : static_cast<std::int32_t>(index);
}

const QStringList& alignmentTexts() {
    static const QStringList texts{QStringLiteral("Left"), QStringLiteral("Center"),
                                   QStringLiteral("Right")};
    return texts;
}

const QStringList& editTypeTexts() {
    static const QStringList texts{QString(),
                                   QStringLiteral("Text field"),
                                   QStringLiteral("Text area"),
                                   QStringLiteral("Password"),
                                   QStringLiteral("Hidden field"),
                                   QStringLiteral("Radio button"),
                                   QStringLiteral("Checkbox"),
                                   QStringLiteral("Date field"),
                                   QStringLiteral("Lookup field"),
                                   QStringLiteral("Readonly")};
    return texts;
}

// Code order: 1 and 2 are not alphabetical, unlike the drop-down.
const QStringList& validationTexts() {
    static const QStringList texts{QString(),
                                   QStringLiteral("Creditcard"),
                                   QStringLiteral("Currency"),
                                   QStringLiteral("Date"),
                                   QStringLiteral("Email"),
                                   QStringLiteral("Number"),
                                   QStringLiteral("Password"),
                                   QStringLiteral("Phone"),
                                   QStringLiteral("Zip")};
    return texts;
}

} // namespace

QString alignmentText(std::int32_t code) {
    return textAt(alignmentTexts(), code);
}
std::int32_t alignmentCode(const QString& text) {
    return codeOf(alignmentTexts(), text);
}
QString editTypeText(std::int32_t code) {
    return textAt(editTypeTexts(), code);
}
std::int32_t editTypeCode(const QString& text) {
    return codeOf(editTypeTexts(), text);
}
QString validationText(std::int32_t code) {
    return textAt(validationTexts(), code);
}
std::int32_t validationCode(const QString& text) {
    return codeOf(validationTexts(), text);
}

QString dateTypeText(const QString& details) {
    bool numeric = false;
    const double value = details.trimmed().toDouble(&numeric);
    if (!numeric)
        return QStringLiteral("Normal date");
    static const QStringList texts{QStringLiteral("Normal date"), QStringLiteral("American date"),
                                   QStringLiteral("British date")};
    if (value < 0 || value > 2 || value != static_cast<int>(value))
        return {};
    return texts.at(static_cast<int>(value));
}

QString formatText(bool bold, bool italics, bool underline) {
    QStringList words;
    if (bold)
        words.append(QStringLiteral("Bold"));
    if (italics)
        words.append(QStringLiteral("Italics"));
    if (underline)
        words.append(QStringLiteral("Underline"));
    return words.join(QStringLiteral(", "));
}

ViewFormat viewFormat(const QString& text) {
    return {text.contains(QLatin1String("Bold")), text.contains(QLatin1String("Italics")),
            text.contains(QLatin1String("Underline"))};
}

QString formatSelection(const QString& cellText, QChar delimiter) {
    QStringList words;
    for (const QString& word : viewFormatItems()) {
        if (cellText.contains(word))
            words.append(word);
    }
    return words.join(delimiter);
}

QString dataTypeIconKey(std::int32_t category) {
    switch (category) {
    case 1:
    case 2:
    case 3:
        return QStringLiteral("NUMBER");
    case 4:
    case 5:
        return QStringLiteral("TEXT");
    case 6:
        return QStringLiteral("BOOLEAN");
    case 7:
        return QStringLiteral("CURRENCY");
    case 8:
        return QStringLiteral("DATETIME");
    default:
        return {};
    }
}

const QStringList& editTypeItems() {
    return editTypeTexts();
}
const QStringList& alignmentItems() {
    return alignmentTexts();
}

const QStringList& validationItems() {
    static const QStringList items{QString(),
                                   QStringLiteral("Currency"),
                                   QStringLiteral("Creditcard"),
                                   QStringLiteral("Date"),
                                   QStringLiteral("Email"),
                                   QStringLiteral("Number"),
                                   QStringLiteral("Password"),
                                   QStringLiteral("Phone"),
                                   QStringLiteral("Zip")};
    return items;
}

const QStringList& viewFormatItems() {
    static const QStringList items{QStringLiteral("Bold"), QStringLiteral("Italics"),
                                   QStringLiteral("Underline")};
    return items;
}

const QStringList& gridIconKeys() {
    static const QStringList keys{
        QStringLiteral("CHECK"),       QStringLiteral("UNCHECK"),    QStringLiteral("COLUMN"),
        QStringLiteral("ROW"),         QStringLiteral("KEY"),        QStringLiteral("BOLD"),
        QStringLiteral("ITALICS"),     QStringLiteral("UNDERLINE"),  QStringLiteral("LEFTALIGN"),
        QStringLiteral("CENTERALIGN"), QStringLiteral("RIGHTALIGN"), QStringLiteral("BOOLEAN"),
        QStringLiteral("SINGLE"),      QStringLiteral("OLE"),        QStringLiteral("NUMBER"),
        QStringLiteral("MEMO"),        QStringLiteral("DATETIME"),   QStringLiteral("CURRENCY"),
        QStringLiteral("TEXT"),        QStringLiteral("EMAIL"),      QStringLiteral("HYPERLINK"),
        QStringLiteral("TASK"),        QStringLiteral("TASKOVER")};
    return keys;
}

int iconIndex(const QString& key) {
    return static_cast<int>(gridIconKeys().indexOf(key));
}

QString iconKeyAt(int index) {
    return index >= 0 && index < gridIconKeys().size() ? gridIconKeys().at(index) : QString();
}

bool hasDetails(const QString& editTypeText) {
    return editTypeText == QLatin1String("Radio button") ||
           editTypeText == QLatin1String("Date field") ||
           editTypeText == QLatin1String("Lookup field");
}

std::optional<QString> storedValueRefusal(const QString& text) {
    if (text.contains(QLatin1Char(';')))
        return QStringLiteral("Please specify a value without \";\"!");
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral(
                "Please specify a value without line breaks or other control characters!");
    }
    return std::nullopt;
}

} // namespace ordwick::ColumnEncoding
