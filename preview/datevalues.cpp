#include "preview/datevalues.h"

namespace ordwick::preview {

namespace {
const QDate kDayZero(1899, 12, 30);
}

QDateTime parseStoredDate(const QString& text) {
    const QString s = text.trimmed();
    static const QStringList dateTimeFormats = {
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"), QStringLiteral("yyyy-MM-dd HH:mm:ss"),
        QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"), QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
        QStringLiteral("yyyy-MM-dd HH:mm"),        QStringLiteral("yyyy-MM-ddTHH:mm")};
    for (const QString& format : dateTimeFormats) {
        const QDateTime when = QDateTime::fromString(s.left(format.size()), format);
        if (when.isValid() && s.size() <= format.size() + 6)
            return when;
    }
    const QDate day = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
    if (day.isValid())
        return QDateTime(day, QTime(0, 0));
    for (const QString& format : {QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm")}) {
        const QTime time = QTime::fromString(s, format);
        if (time.isValid())
            return QDateTime(kDayZero, time);
    }
    return {};
}

QString storedDateText(const QDateTime& value) {
    const QDateTime when = value.toLocalTime();
    if (when.date() == kDayZero)
        return when.time().toString(QStringLiteral("HH:mm:ss"));
    if (when.time() == QTime(0, 0))
        return when.date().toString(QStringLiteral("yyyy-MM-dd"));
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace ordwick::preview
