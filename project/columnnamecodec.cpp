#include "project/columnnamecodec.h"

#include <QByteArray>

namespace ordwick {

namespace {

constexpr QChar kMarker = u']';

// Characters written as %XX once a name is stored encoded.
bool encodedCharacter(QChar c) {
    static const QString signs = QStringLiteral("%=[];#");
    return signs.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSpace();
}

bool needsEncoding(const QString& name) {
    if (name.isEmpty())
        return true;
    const QChar first = name.front();
    if (first.isSpace() || first == u';' || first == u'#' || first == u'[' || first == kMarker ||
        name.back().isSpace())
        return true;
    for (const QChar c : name) {
        if (c == u'=' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

QString encoded(const QString& name) {
    QString text(kMarker);
    for (const QChar c : name) {
        if (!encodedCharacter(c)) {
            text += c;
            continue;
        }
        for (const char byte : QString(c).toUtf8())
            text += QStringLiteral("%%1")
                        .arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0'))
                        .toUpper();
    }
    return text;
}

} // namespace

QString storedColumnName(const QString& name) {
    return needsEncoding(name) ? encoded(name) : name;
}

QString columnNameFromStored(const QString& stored) {
    if (!stored.startsWith(kMarker))
        return stored;
    const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(stored.mid(1).toUtf8()));
    // Only the writer's own form is decoded, so that a name that merely starts
    // with "]" in an older file keeps its text.
    return needsEncoding(name) && encoded(name) == stored ? name : stored;
}

} // namespace ordwick
