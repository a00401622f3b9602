#include "wizard/columnorderstep.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace ordwick {

QStringList ColumnOrderStep::orderedNames(const Project& project) {
    const auto& columns = project.Columns;
    std::vector<const ColumnSettings*> placed;
    for (const ColumnSettings& column : columns) {
        if (column.Position > 0)
            placed.push_back(&column);
    }
    std::stable_sort(
        placed.begin(), placed.end(),
        [](const ColumnSettings* a, const ColumnSettings* b) { return a->Position < b->Position; });
    QStringList names;
    for (size_t rank = 0; rank < std::max(placed.size(), columns.size()); ++rank) {
        if (rank < placed.size())
            names.append(placed[rank]->ColumnName);
        if (rank < columns.size() && columns[rank].Position <= 0)
            names.append(columns[rank].ColumnName);
    }
    return names;
}

void ColumnOrderStep::apply(Project& project, const QStringList& names) {
    for (qsizetype row = 0; row < names.size(); ++row) {
        for (ColumnSettings& column : project.Columns) {
            if (column.ColumnName == names.at(row))
                column.Position = static_cast<std::int32_t>(row + 1);
        }
    }
}

ColumnOrderStep::Move ColumnOrderStep::move(QStringList& names, int selected, bool up) {
    if (selected < 0 || selected >= names.size())
        return {QStringLiteral("Please select a column to move!"), -1};
    const int other = up ? selected - 1 : selected + 1;
    if (other < 0 || other >= names.size())
        return {std::nullopt, selected};
    names.swapItemsAt(selected, other);
    return {std::nullopt, other};
}

QStringList ColumnOrderStep::namesByPosition(const Project& project) {
    std::vector<size_t> order(project.Columns.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return project.Columns[a].Position < project.Columns[b].Position;
    });
    QStringList names;
    for (const size_t i : order)
        names.append(project.Columns[i].ColumnName);
    return names;
}

} // namespace ordwick
