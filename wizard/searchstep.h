#pragma once

#include "project/project.h"

#include <QString>
#include <vector>

namespace ordwick {

// One row of the search grid: a column and whether the basic and the advanced
// search offer it.
struct SearchRow {
    QString name;
    QString typeIcon;
    bool simple = true;
    bool advanced = true;

    bool operator==(const SearchRow&) const = default;
};

// The "Search Options" step: which columns the generated searches offer.
namespace SearchStep {

// The step is shown only when at least one of the two searches is generated.
bool isOffered(const Project& project);
// One row per column of the project, in the order the pages show them.
std::vector<SearchRow> rows(const Project& project);
// Stores each row's flags into the column of the same name.
void apply(Project& project, const std::vector<SearchRow>& rows);
// The icon of a column's stored type category.
QString typeIcon(std::int32_t dataTypeCategory);

} // namespace SearchStep

} // namespace ordwick
