#include "wizard/sortorder.h"

#include <QStringList>

namespace ordwick::SortOrder {

std::vector<SortLevel> parse(const QString& text) {
    std::vector<SortLevel> levels;
    const QStringList entries = text.split(QLatin1Char(';'));
    // The part after the last ";" is never a complete entry.
    for (qsizetype i = 0; i + 1 < entries.size() && levels.size() < kLevels; ++i) {
        const QStringList parts = entries.at(i).split(QLatin1Char('|'));
        levels.push_back({parts.at(0), parts.value(1) == QLatin1String("1") ? 1 : 0});
    }
    return levels;
}

QString build(const std::vector<SortLevel>& levels) {
    QString text;
    for (const SortLevel& level : levels) {
        if (level.column.isEmpty())
            continue;
        text +=
            level.column + QLatin1Char('|') + QString::number(level.direction) + QLatin1Char(';');
    }
    return text;
}

bool canStore(const QString& column) {
    return !column.contains(QLatin1Char('|')) && !column.contains(QLatin1Char(';'));
}

} // namespace ordwick::SortOrder
