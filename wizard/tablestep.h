#pragma once

#include "datasource/schemadiscovery.h"
#include "project/project.h"

#include <QString>
#include <optional>
#include <vector>

namespace ordwick {

// The data-type category a column keeps in the project, from how the table
// step shows its type: 1 number or byte, 2 double, 3 single, 4 text, 5 memo,
// 6 boolean, 7 currency, 8 date/time; `current` for anything else.
std::int32_t dataTypeCategory(const ColumnRow& row, std::int32_t current);

// Applying the "Select Table Source" step: the chosen table, its unique key
// and the settings of every included column.
class TableStep {
public:
    // A refusal: the warning to show (the column grid takes the focus).
    using Refusal = std::optional<QString>;

    // Checks the grid and, when it passes, rebuilds `UniqueKey` and `Columns`.
    // `changesRecords`: add, edit or delete is ticked on the features step.
    // `projectOrigin` 0 starts every column afresh and clears the query;
    // 1 and 2 carry over the settings of columns that stay included.
    static Refusal apply(Project& project, const QString& table, const std::vector<ColumnRow>& rows,
                         bool changesRecords, int projectOrigin);
};

} // namespace ordwick
