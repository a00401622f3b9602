#pragma once

#include <QString>
#include <vector>

namespace ordwick {

// One level of the initial order: a column and its direction (0 ascending,
// 1 descending).
struct SortLevel {
    QString column;
    int direction = 0;

    bool operator==(const SortLevel&) const = default;
};

// The initial order as the project stores it: up to three entries
// "column|direction;" in level order, with no escaping.
namespace SortOrder {

constexpr int kLevels = 3;

// The levels of a stored text, at most three; entries after the last ";" are
// incomplete and ignored.
std::vector<SortLevel> parse(const QString& text);
// The stored text of the levels; a level without a column adds nothing.
QString build(const std::vector<SortLevel>& levels);
// "|" and ";" would break the stored text apart.
bool canStore(const QString& column);

} // namespace SortOrder

} // namespace ordwick
