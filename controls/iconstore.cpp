#include "controls/iconstore.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

namespace ordwick {

namespace {

constexpr int kSize = 16;

QIcon drawn(const std::function<void(QPainter&)>& paint) {
    // One pixmap per common scale, so the icons stay crisp on high-DPI screens.
    QIcon icon;
    for (const int scale : {1, 2, 3}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paint(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon checkIcon(bool checked) {
    return drawn([checked](QPainter& p) {
        p.setPen(QPen(QColor(0x5A, 0x6E, 0x8C), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        if (!checked)
            return;
        QPainterPath tick;
        tick.moveTo(4, 8.5);
        tick.lineTo(7, 11.5);
        tick.lineTo(12.5, 4.5);
        p.setPen(QPen(QColor(0x21, 0x8A, 0x2E), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    });
}

QIcon swatchIcon() {
    return drawn([](QPainter& p) {
        const QColor colours[] = {QColor(0x20, 0x5D, 0xC7), QColor(0x72, 0x80, 0x3C),
                                  QColor(0x9A, 0x9E, 0xB0), QColor(0xC8, 0x5A, 0x2A)};
        for (int i = 0; i < 4; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(colours[i]);
            p.drawRect(QRectF(1 + (i % 2) * 7, 1 + (i / 2) * 7, 7, 7));
        }
    });
}

QIcon taskIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
        p.setBrush(QColor(0xFF, 0xF6, 0xD5));
        p.drawRect(QRectF(3.5, 1.5, 10, 13));
        for (int y = 5; y <= 11; y += 3)
            p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
    });
}

// A small coloured tile with a glyph: the type, key and table icons.
QIcon glyphIcon(const QString& glyph, const QColor& colour) {
    return drawn([glyph, colour](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        QFont font = QApplication::font();
        font.setPixelSize(glyph.size() > 1 ? 8 : 11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, glyph);
    });
}

QIcon standard(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

QHash<QString, std::function<QIcon()>> makers() {
    return {
        {QStringLiteral("CHECK"), [] { return checkIcon(true); }},
        {QStringLiteral("UNCHECK"), [] { return checkIcon(false); }},
        {QStringLiteral("COLOR"), swatchIcon},
        {QStringLiteral("TASK"), taskIcon},
        {QStringLiteral("TASKOVER"), [] { return checkIcon(true); }},
        {QStringLiteral("TASKFAILED"),
         [] { return glyphIcon(QStringLiteral("✕"), QColor(0xB0, 0x2A, 0x2A)); }},
        {QStringLiteral("DBCONNECT"), [] { return standard(QStyle::SP_DriveNetIcon); }},
        {QStringLiteral("POPULATE"), [] { return standard(QStyle::SP_FileDialogContentsView); }},
        {QStringLiteral("GENERATE"), [] { return standard(QStyle::SP_MediaPlay); }},
        {QStringLiteral("REFRESH"), [] { return standard(QStyle::SP_BrowserReload); }},
        {QStringLiteral("KEY"),
         [] { return glyphIcon(QStringLiteral("K"), QColor(0xC8, 0x8A, 0x12)); }},
        {QStringLiteral("TABLE"),
         [] { return glyphIcon(QStringLiteral("▦"), QColor(0x2F, 0x6F, 0xB5)); }},
        {QStringLiteral("VIEW"),
         [] { return glyphIcon(QStringLiteral("V"), QColor(0x3C, 0x8C, 0x6A)); }},
        {QStringLiteral("SYSTEMTABLE"),
         [] { return glyphIcon(QStringLiteral("S"), QColor(0x80, 0x80, 0x80)); }},
        {QStringLiteral("DSN"),
         [] { return glyphIcon(QStringLiteral("DB"), QColor(0x55, 0x5F, 0x9E)); }},
        {QStringLiteral("NUMBER"),
         [] { return glyphIcon(QStringLiteral("#"), QColor(0x2F, 0x6F, 0xB5)); }},
        {QStringLiteral("SINGLE"),
         [] { return glyphIcon(QStringLiteral("#"), QColor(0x2F, 0x6F, 0xB5)); }},
        {QStringLiteral("TEXT"),
         [] { return glyphIcon(QStringLiteral("Ab"), QColor(0x3C, 0x8C, 0x3C)); }},
        {QStringLiteral("MEMO"),
         [] { return glyphIcon(QStringLiteral("¶"), QColor(0x3C, 0x8C, 0x3C)); }},
        {QStringLiteral("BOOLEAN"),
         [] { return glyphIcon(QStringLiteral("?"), QColor(0x8A, 0x4F, 0xB0)); }},
        {QStringLiteral("CURRENCY"),
         [] { return glyphIcon(QStringLiteral("$"), QColor(0xB0, 0x6A, 0x1E)); }},
        {QStringLiteral("DATETIME"),
         [] { return glyphIcon(QStringLiteral("D"), QColor(0xB0, 0x3A, 0x3A)); }},
        {QStringLiteral("OLE"),
         [] { return glyphIcon(QStringLiteral("01"), QColor(0x60, 0x60, 0x60)); }},
        {QStringLiteral("ROW"),
         [] { return glyphIcon(QStringLiteral("›"), QColor(0x90, 0x98, 0xA8)); }},
        {QStringLiteral("TEMPLATE"),
         [] { return glyphIcon(QStringLiteral("T"), QColor(0x6A, 0x4F, 0xA8)); }},
        {QStringLiteral("COLUMN"),
         [] { return glyphIcon(QStringLiteral("|"), QColor(0x90, 0x98, 0xA8)); }},
        {QStringLiteral("BOLD"),
         [] { return glyphIcon(QStringLiteral("B"), QColor(0x44, 0x4C, 0x5C)); }},
        {QStringLiteral("ITALICS"),
         [] { return glyphIcon(QStringLiteral("I"), QColor(0x44, 0x4C, 0x5C)); }},
        {QStringLiteral("UNDERLINE"),
         [] { return glyphIcon(QStringLiteral("U"), QColor(0x44, 0x4C, 0x5C)); }},
        {QStringLiteral("LEFTALIGN"),
         [] { return glyphIcon(QStringLiteral("⇤"), QColor(0x5A, 0x6E, 0x8C)); }},
        {QStringLiteral("CENTERALIGN"),
         [] { return glyphIcon(QStringLiteral("↔"), QColor(0x5A, 0x6E, 0x8C)); }},
        {QStringLiteral("RIGHTALIGN"),
         [] { return glyphIcon(QStringLiteral("⇥"), QColor(0x5A, 0x6E, 0x8C)); }},
        {QStringLiteral("EMAIL"),
         [] { return glyphIcon(QStringLiteral("@"), QColor(0x2F, 0x6F, 0xB5)); }},
        {QStringLiteral("HYPERLINK"),
         [] { return glyphIcon(QStringLiteral("∞"), QColor(0x2F, 0x6F, 0xB5)); }},
        {QStringLiteral("RADIO"),
         [] { return glyphIcon(QStringLiteral("◉"), QColor(0x3C, 0x8C, 0x6A)); }},
        {QStringLiteral("SELECT"),
         [] { return glyphIcon(QStringLiteral("▾"), QColor(0x3C, 0x8C, 0x6A)); }},
    };
}

} // namespace

QIcon iconFor(const QString& key) {
    static QHash<QString, QIcon> cache;
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    static const QHash<QString, std::function<QIcon()>> all = makers();
    const auto maker = all.constFind(key);
    const QIcon icon = maker == all.constEnd() ? QIcon() : (*maker)();
    cache.insert(key, icon);
    return icon;
}

} // namespace ordwick
