#include "foundation/convert.h"

#include "foundation/runtimeerror.h"

#include <limits>

namespace ordwick {

namespace {

qint64 toWideInteger(const QString& text) {
    bool ok = false;
    const QString trimmed = text.trimmed();
    const qint64 value = trimmed.toLongLong(&ok);
    if (!ok) {
        // A number out of even the wide range is an overflow, anything else a mismatch.
        if (!trimmed.isEmpty() && trimmed.toDouble(&ok) != 0.0 && ok)
            throw RuntimeError(ErrorNumber::Overflow, QStringLiteral("Overflow: %1").arg(text));
        throw RuntimeError(ErrorNumber::TypeMismatch,
                           QStringLiteral("Type mismatch: \"%1\" is not a whole number").arg(text));
    }
    return value;
}

template <typename Int> Int toBoundedInteger(const QString& text) {
    const qint64 value = toWideInteger(text);
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        throw RuntimeError(ErrorNumber::Overflow, QStringLiteral("Overflow: %1").arg(text));
    return static_cast<Int>(value);
}

} // namespace

std::int16_t toInt16(const QString& text) {
    return toBoundedInteger<std::int16_t>(text);
}

std::int32_t toInt32(const QString& text) {
    return toBoundedInteger<std::int32_t>(text);
}

bool toBool(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    // Numbers convert the classic way: zero is false, anything else true.
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (ok)
        return number != 0.0;
    throw RuntimeError(ErrorNumber::TypeMismatch,
                       QStringLiteral("Type mismatch: \"%1\" is not True or False").arg(text));
}

} // namespace ordwick
