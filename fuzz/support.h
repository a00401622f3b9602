// What every fuzz target shares: the failure that libFuzzer and the replay
// both notice, a reader that cuts one input into typed values, and a folder
// for the readers that only take files.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ordwick::fuzz {

// Prints what broke and aborts, which libFuzzer records as a crash with the
// input that caused it.
[[noreturn]] void fail(const char* target, const QString& what);

// `what` makes the text of the failure, only when there is one.
template <typename Message> void require(bool holds, const char* target, Message&& what) {
    if (!holds)
        fail(target, what());
}

// Runs once per process: a core application for the parts of Qt that want
// one, and Qt's messages silenced (the readers report every bad value).
void initialize();

// A private folder of this process, removed when it ends.
QString scratchFolder();

// Writes the bytes as a file of the scratch folder and returns its path.
QString scratchFile(const QString& name, const QByteArray& bytes);

// Takes typed values off the front of the input; past its end every value
// is zero or empty, so any input makes a complete record.
class InputReader {
public:
    explicit InputReader(const QByteArray& data) : m_data(data) {}

    bool atEnd() const { return m_at >= m_data.size(); }
    std::uint8_t byte();
    bool flag() { return (byte() & 1) != 0; }
    std::int16_t int16();
    std::int32_t int32();
    // A text of up to `maxBytes` bytes of UTF-8, its length taken first.
    QString text(int maxBytes = 64);

private:
    QByteArray m_data;
    qsizetype m_at = 0;
};

// Line breaks and NUL characters taken out: what a one-line field can hold.
QString oneLine(QString text);

} // namespace ordwick::fuzz
