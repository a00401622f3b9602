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
    // The columns in the order the pages show them: by their positions, gaps
    // (a column left out since) closed, and a column without a position (added
    // since the order was set) after the placed column of its own creation
    // rank. Without any position, creation order. Every list of the columns
    // after this step (customisation, search, initial order) follows it.
    static QStringList orderedNames(const Project& project);
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
