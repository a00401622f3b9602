#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace ordwick::test {

TestEnvironment::TestEnvironment() {
    QDir().mkpath(programFolder());
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", path(QStringLiteral("data")).toUtf8());
    qputenv("TESSALINE_APP_DIR", programFolder().toUtf8());
    m_handler = std::make_unique<ErrorHandler>(
        prompt, ErrorLog({path(QStringLiteral("data/Tessaline"))}, [this] { return now; }),
        [] { throw ProgramAborted(); });
    m_scope = std::make_unique<ErrorHandlerScope>(*m_handler);
}

TestEnvironment::~TestEnvironment() = default;

QString TestEnvironment::errorLogPath() const {
    return path(QStringLiteral("data/Tessaline/err.txt"));
}

QString TestEnvironment::readFile(const QString& file) const {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(in.readAll());
}

void TestEnvironment::writeFile(const QString& file, const QByteArray& bytes) const {
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QString sharedFixturesFolder() {
    const QString shared = qEnvironmentVariable("TESSALINE_SHARED_DIR");
    const QString fixtures = QDir(shared).filePath(QStringLiteral("fixtures"));
    return !shared.isEmpty() && QDir(fixtures).exists() ? fixtures : QString();
}

} // namespace ordwick::test
