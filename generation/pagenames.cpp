#include "generation/pagenames.h"

#include <QStringList>

namespace ordwick {

namespace {

const QChar kReplacement = QLatin1Char('_');

bool isRefused(QChar ch) {
    return ch.unicode() < 0x20 || QStringLiteral("\"<>|?*:\\/%").contains(ch);
}

bool isTrailingRefused(QChar ch) {
    return ch == QLatin1Char('.') || ch == QLatin1Char(' ');
}

// The part before the first dot, without the blanks Windows ignores there.
QString deviceStem(const QString& name) {
    QString stem = name.section(QLatin1Char('.'), 0, 0);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    return stem;
}

bool isDeviceName(const QString& name) {
    const QString stem = deviceStem(name).toUpper();
    static const QStringList kDevices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                         QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (kDevices.contains(stem))
        return true;
    return stem.size() == 4 &&
           (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
           stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}

} // namespace

bool isSafePageFileName(const QString& name) {
    if (name.isEmpty() || isTrailingRefused(name.back()) || isDeviceName(name))
        return false;
    for (const QChar ch : name) {
        if (isRefused(ch))
            return false;
    }
    return true;
}

QString safePageFileName(const QString& name) {
    if (name.isEmpty())
        return QString(kReplacement);
    QString safe = name;
    for (QChar& ch : safe) {
        if (isRefused(ch))
            ch = kReplacement;
    }
    for (qsizetype i = safe.size() - 1; i >= 0 && isTrailingRefused(safe.at(i)); --i)
        safe[i] = kReplacement;
    if (isDeviceName(safe))
        safe.insert(deviceStem(safe).size(), kReplacement);
    return safe;
}

bool sameFileName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace ordwick
