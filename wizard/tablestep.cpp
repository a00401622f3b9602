#include "wizard/tablestep.h"

#include <algorithm>

namespace ordwick {

namespace {

const QString kCheck = QStringLiteral("CHECK");
constexpr int kMostUniqueColumns = 3;
constexpr std::int32_t kLengthWhenUnknown = 10;
constexpr std::int32_t kFieldWidth = 30;

std::int32_t lengthOf(const ColumnRow& row) {
    bool ok = false;
    const qint64 length = row.length.toLongLong(&ok);
    if (!ok)
        return kLengthWhenUnknown;
    return static_cast<std::int32_t>(std::clamp<qint64>(length, 0, INT32_MAX));
}

} // namespace

std::int32_t dataTypeCategory(const ColumnRow& row, std::int32_t current) {
    // The type text tells apart what the icon alone does not.
    if (row.typeText == QLatin1String("Double"))
        return 2;
    if (row.typeText == QLatin1String("Single"))
        return 3;
    if (row.typeText == QLatin1String("Memo"))
        return 5;
    if (row.typeIcon == QLatin1String("NUMBER"))
        return 1;
    if (row.typeIcon == QLatin1String("TEXT"))
        return 4;
    if (row.typeIcon == QLatin1String("BOOLEAN"))
        return 6;
    if (row.typeIcon == QLatin1String("CURRENCY"))
        return 7;
    if (row.typeIcon == QLatin1String("DATETIME"))
        return 8;
    return current;
}

TableStep::Refusal TableStep::apply(Project& project, const QString& table,
                                    const std::vector<ColumnRow>& rows, bool changesRecords,
                                    int projectOrigin) {
    if (table.trimmed().isEmpty())
        return QStringLiteral("Please select a table!");
    const auto uniqueCount = std::count_if(rows.cbegin(), rows.cend(), [](const ColumnRow& row) {
        return row.uniqueMarker == kCheck;
    });
    if (changesRecords && uniqueCount == 0)
        return QStringLiteral("Please select the unique columns of the table!");
    if (changesRecords && uniqueCount > kMostUniqueColumns)
        return QStringLiteral("Please select maximum 3 unique columns of the table!");
    const bool anyIncluded = std::any_of(rows.cbegin(), rows.cend(), [](const ColumnRow& row) {
        return row.includeMarker == kCheck;
    });
    if (!anyIncluded)
        return QStringLiteral("Please select the columns to be included in the page!");
    QStringList uniqueKey;
    for (const ColumnRow& row : rows) {
        if (row.uniqueMarker != kCheck)
            continue;
        if (row.includeMarker != kCheck)
            return QStringLiteral("You have not selected the column(s) marked as unique key!");
        uniqueKey.append(row.name);
    }

    // Everything is checked: only now does the project change.
    project.TableName = table;
    project.UniqueKey = uniqueKey;
    std::vector<ColumnSettings> columns;
    for (const ColumnRow& row : rows) {
        if (row.includeMarker != kCheck)
            continue;
        ColumnSettings column;
        if (projectOrigin != 0) {
            const auto kept =
                std::find_if(project.Columns.cbegin(), project.Columns.cend(),
                             [&](const ColumnSettings& c) { return c.ColumnName == row.name; });
            if (kept != project.Columns.cend())
                column = *kept;
        }
        column.ColumnName = row.name;
        if (column.ListCaption.isEmpty())
            column.ListCaption = row.name;
        if (column.EditCaption.isEmpty())
            column.EditCaption = row.name;
        if (column.MaxLength == 0)
            column.MaxLength = lengthOf(row);
        column.FieldWidth = kFieldWidth;
        column.DataType = dataTypeCategory(row, column.DataType);
        columns.push_back(std::move(column));
    }
    project.Columns = std::move(columns);
    if (projectOrigin == 0) {
        project.SQLString.clear();
        project.SQLWhereString.clear();
    }
    return std::nullopt;
}

} // namespace ordwick
