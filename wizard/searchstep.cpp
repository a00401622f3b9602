#include "wizard/searchstep.h"

#include "wizard/columnencodings.h"
#include "wizard/columnorderstep.h"

namespace ordwick::SearchStep {

bool isOffered(const Project& project) {
    return project.SimpleSearch || project.AdvancedSearch;
}

std::vector<SearchRow> rows(const Project& project) {
    std::vector<SearchRow> result;
    result.reserve(project.Columns.size());
    for (const QString& name : ColumnOrderStep::orderedNames(project)) {
        for (const ColumnSettings& column : project.Columns) {
            if (column.ColumnName == name) {
                result.push_back({column.ColumnName, typeIcon(column.DataType),
                                  column.InSimpleSearch, column.InAdvancedSearch});
                break;
            }
        }
    }
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
    // The grid's icon for the category; anything unknown shows as text here.
    const QString key = ColumnEncoding::dataTypeIconKey(dataTypeCategory);
    return key.isEmpty() ? QStringLiteral("TEXT") : key;
}

} // namespace ordwick::SearchStep
