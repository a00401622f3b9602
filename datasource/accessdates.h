// Dates as an Access database stores them, apart from the file reader.
#pragma once

#include <QVariant>

namespace ordwick {

// A stored date: days since 30 December 1899, the fraction the time of day.
// Before that day the sign counts the days only, never the time. Null for a
// value no date can stand for.
QVariant accessDateValue(double stored);

} // namespace ordwick
