#include "fuzz/support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace ordwick::fuzz {

namespace {

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void fail(const char* target, const QString& what) {
    // Control characters shown as escapes, so that the whole text is seen.
    QString shown;
    for (const QChar c : what) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    std::fprintf(stderr, "fuzz target %s: invariant broken: %s\n", target, qUtf8Printable(shown));
    std::fflush(stderr);
    std::abort();
}

void initialize() {
    static int argc = 1;
    static char name[] = "ordwick-fuzz";
    static char* argv[] = {name, nullptr};
    static const QCoreApplication application(argc, argv);
    qInstallMessageHandler(dropMessage);
}

QString scratchFolder() {
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ordwick-fuzz-XXXXXX"));
    if (!folder.isValid())
        fail("support", QStringLiteral("no scratch folder: %1").arg(folder.errorString()));
    return folder.path();
}

QString scratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("support", QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return path;
}

std::uint8_t InputReader::byte() {
    return atEnd() ? 0 : static_cast<std::uint8_t>(m_data.at(m_at++));
}

std::int16_t InputReader::int16() {
    const auto high = static_cast<std::uint16_t>(byte() << 8);
    return static_cast<std::int16_t>(high | byte());
}

std::int32_t InputReader::int32() {
    const auto high = static_cast<std::uint32_t>(static_cast<std::uint16_t>(int16())) << 16;
    return static_cast<std::int32_t>(high | static_cast<std::uint16_t>(int16()));
}

QString InputReader::text(int maxBytes) {
    const qsizetype wanted = byte() % (maxBytes + 1);
    const qsizetype length = qMin(wanted, m_data.size() - m_at);
    const QByteArray bytes = length > 0 ? m_data.mid(m_at, length) : QByteArray();
    m_at += qMax<qsizetype>(length, 0);
    return QString::fromUtf8(bytes);
}

QString oneLine(QString text) {
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\r'));
    text.remove(QChar(u'\0'));
    return text;
}

} // namespace ordwick::fuzz
