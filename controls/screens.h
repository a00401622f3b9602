#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

namespace ordwick {

// One display: its whole rectangle and its work area, the part that task
// bars and docks leave free.
struct Monitor {
    QString name;
    bool primary = false;
    QRect geometry;
    QRect workArea;
};

// The display showing the global point; none when the point lies on no display.
std::optional<Monitor> monitorAt(const QPoint& globalPoint);

// The work area of the display at the point, or of the primary display when
// the point lies on none; empty without any display.
QRect workAreaAt(const QPoint& globalPoint);

} // namespace ordwick
