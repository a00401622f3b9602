#pragma once

#include <QString>
#include <cstdint>

namespace ordwick {

// Conversions between stored texts and record values. Every failure is a
// RuntimeError with the classic numbers (13 type mismatch, 6 overflow), so
// callers can hand it straight to the central error handler.
std::int16_t toInt16(const QString& text);
std::int32_t toInt32(const QString& text);
bool toBool(const QString& text);

inline QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace ordwick
