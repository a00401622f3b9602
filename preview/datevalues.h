// Dates as the databases store them in text and as the pages' VT_DATE values
// carry them.
#pragma once

#include <QDateTime>
#include <QString>

namespace ordwick::preview {

// "2024-03-01", "2024-03-01 14:10:00", "09:30:00" and the like; invalid
// when the text is none of these. A time alone falls on 1899-12-30, day zero
// of VT_DATE.
QDateTime parseStoredDate(const QString& text);

// The text stored for a date: the day alone at midnight, the time alone on
// day zero, both otherwise.
QString storedDateText(const QDateTime& when);

} // namespace ordwick::preview
