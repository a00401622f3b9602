#include "wizard/searchstep.h"

namespace ordwick::SearchStep {

bool isOffered(const Project& project) {
    return project.SimpleSearch || project.AdvancedSearch;
}

std::vector<SearchRow> rows(const Project& project) {
    std::vector<SearchRow> result;
    result.reserve(project.Columns.size());
    for (const ColumnSettings& column : project.Columns)
        result.push_back({column.ColumnName, typeIcon(column.DataType), column.InSimpleSearch,
                          column.InAdvancedSearch});
    return result;
}

void apply(Project& project, const std::vector<SearchRow>& rows) {
    for (const SearchRow& row : rows) {
        for (ColumnSettings& column : project.Columns) {
            if (column.ColumnName == row.name) {
                column.InSimpleSearch = row.simple;
                column.InAdvancedSearch = row.advanced;
                break;
            }
        }
    }
}

QString typeIcon(std::int32_t dataTypeCategory) {
    switch (dataTypeCategory) {
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
        return QStringLiteral("TEXT");
    }
}

} // namespace ordwick::SearchStep
