#include "controls/screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace ordwick {

namespace {

Monitor describe(const QScreen& screen) {
    return {screen.name(), &screen == QGuiApplication::primaryScreen(), screen.geometry(),
            screen.availableGeometry()};
}

} // namespace

std::optional<Monitor> monitorAt(const QPoint& globalPoint) {
    const QScreen* screen = QGuiApplication::screenAt(globalPoint);
    if (screen == nullptr)
        return std::nullopt;
    return describe(*screen);
}

QRect workAreaAt(const QPoint& globalPoint) {
    if (const std::optional<Monitor> monitor = monitorAt(globalPoint))
        return monitor->workArea;
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary == nullptr ? QRect() : primary->availableGeometry();
}

} // namespace ordwick
