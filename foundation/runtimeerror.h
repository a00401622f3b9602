#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace ordwick {

// Error numbers follow the classic run-time error numbers, so that logs read the
// same as the ones users already know from the Windows program.
namespace ErrorNumber {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int Internal = 51;
constexpr int FileNotFound = 53;
constexpr int PathFileAccess = 75;
} // namespace ErrorNumber

// A run-time failure: what every trapped procedure hands to the central handler.
class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace ordwick
