#include "preview/datevalues.h"

namespace ordwick::preview {

namespace {
const QDate kDayZero(1899, 12, 30);
}

namespace {

// The number of count digits at a position, or -1.
int digits(QStringView s, qsizetype at, int count) {
    if (at + count > s.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = s[at + i];
        if (!c.isDigit())
            return -1;
        value = value * 10 + c.digitValue();
    }
    return value;
}

// "HH:mm" or "HH:mm:ss" with an optional fraction, from a position to the end.
QTime parseTime(QStringView s, qsizetype at) {
    const int hour = digits(s, at, 2);
    const int minute = digits(s, at + 3, 2);
    if (hour < 0 || minute < 0 || s[at + 2] != QLatin1Char(':'))
        return {};
    int second = 0;
    int msec = 0;
    qsizetype end = at + 5;
    if (end < s.size() && s[end] == QLatin1Char(':')) {
        second = digits(s, end + 1, 2);
        if (second < 0)
            return {};
        end += 3;
        if (end < s.size() && s[end] == QLatin1Char('.')) {
            int scale = 100;
            for (++end; end < s.size() && s[end].isDigit(); ++end) {
                msec += s[end].digitValue() * scale;
                scale /= 10;
            }
        }
    }
    if (end != s.size())
        return {};
    return QTime(hour, minute, second, msec);
}

} // namespace

QDateTime parseStoredDate(const QString& text) {
    const QStringView s = QStringView(text).trimmed();
    if (s.size() >= 10 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-')) {
        const int year = digits(s, 0, 4);
        const int month = digits(s, 5, 2);
        const int dayOfMonth = digits(s, 8, 2);
        // A part that is no digits is -1, which QDate would take as the year 1 BC.
        if (year < 0 || month < 0 || dayOfMonth < 0)
            return {};
        const QDate day(year, month, dayOfMonth);
        if (!day.isValid())
            return {};
        if (s.size() == 10)
            return QDateTime(day, QTime(0, 0));
        if (s[10] != QLatin1Char(' ') && s[10] != QLatin1Char('T'))
            return {};
        const QTime time = parseTime(s, 11);
        return time.isValid() ? QDateTime(day, time) : QDateTime();
    }
    if (s.size() >= 5 && s[2] == QLatin1Char(':')) {
        const QTime time = parseTime(s, 0);
        return time.isValid() ? QDateTime(kDayZero, time) : QDateTime();
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
