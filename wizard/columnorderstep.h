#pragma once

#include "project/project.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ordwick {

// The "Column Order" step: the included columns in the order the pages show
// them, moved one row at a time.
class ColumnOrderStep {
public:
    // The column names the order grid shows. An opened project (origin 1)
    // follows the stored positions, with columns added since the save (position
    // 0) after the column they were created behind; otherwise creation order.
    static QStringList orderedNames(const Project& project, int projectOrigin);
    // Every column gets its 1-based row in `names` as its position.
    static void apply(Project& project, const QStringList& names);

    struct Move {
        std::optional<QString> refusal; // the warning to show
        int selection = -1;             // the row selected afterwards
    };
    // Exchanges the selected row with the one above (`up`) or below; the first
    // row up and the last row down stay where they are.
    static Move move(QStringList& names, int selected, bool up);

    // The order of the columns in the project, by position then creation.
    static QStringList namesByPosition(const Project& project);
};

} // namespace ordwick
