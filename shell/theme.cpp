#include "shell/theme.h"

#include "foundation/settings.h"

#include <QApplication>
#include <QStyleFactory>

namespace ordwick::Theme {

namespace {

int g_code = Settings::kDefaultThemeCode;

struct Colours {
    QColor window;
    QColor base;
    QColor button;
    QColor highlight;
    QColor accent;
};

Colours coloursFor(int code) {
    switch (code) {
    case 3: // OliveGreen
        return {QColor(0xEC, 0xEE, 0xDC), QColor(0xFB, 0xFC, 0xF5), QColor(0xDD, 0xE2, 0xC2),
                QColor(0x72, 0x80, 0x3C), QColor(0x5B, 0x6B, 0x2E)};
    case 4: // Silver
        return {QColor(0xEE, 0xEE, 0xF2), QColor(0xFF, 0xFF, 0xFF), QColor(0xE0, 0xE0, 0xE8),
                QColor(0x6E, 0x74, 0x8C), QColor(0x7A, 0x7E, 0x96)};
    default: // Blue
        return {QColor(0xE6, 0xEE, 0xFA), QColor(0xFF, 0xFF, 0xFF), QColor(0xD6, 0xE3, 0xF7),
                QColor(0x31, 0x6A, 0xC5), QColor(0x20, 0x5D, 0xC7)};
    }
}

} // namespace

int code() {
    return g_code;
}

QPalette palette(int themeCode) {
    const Colours c = coloursFor(themeCode);
    QPalette p;
    p.setColor(QPalette::Window, c.window);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Base, c.base);
    p.setColor(QPalette::AlternateBase, c.window);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Button, c.button);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Highlight, c.highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, c.base);
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Link, c.accent);
    p.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, Qt::gray);
    p.setColor(QPalette::Disabled, QPalette::Text, Qt::gray);
    return p;
}

QColor accent(int themeCode) {
    return coloursFor(themeCode).accent;
}

QString name(int themeCode) {
    const int index = Settings::themeIndexFor(themeCode);
    return index < 0 ? QStringLiteral("Blue")
                     : Settings::themeEntries()[static_cast<size_t>(index)].name;
}

void apply(int themeCode) {
    g_code = themeCode;
    if (QApplication::instance() == nullptr)
        return;
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setPalette(palette(themeCode));
}

} // namespace ordwick::Theme
