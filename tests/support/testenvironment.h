#pragma once

#include "foundation/errorhandler.h"
#include "scriptedprompt.h"

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace ordwick::test {

// A private world for one test: a temporary folder of shipped data (what an
// install holds in share/tessaline), the user's data and configuration folders, a
// scripted user, and a central error handler whose Abort throws
// ProgramAborted instead of ending the test process.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString path(const QString& name) const { return m_root.filePath(name); }
    QString programFolder() const { return path(QStringLiteral("program")); }
    QString errorLogPath() const;
    QString readFile(const QString& path) const;
    void writeFile(const QString& path, const QByteArray& bytes) const;

    ScriptedPrompt prompt;
    QDateTime now = QDateTime(QDate(2026, 2, 3), QTime(9, 5, 12));

private:
    QTemporaryDir m_root;
    std::unique_ptr<ErrorHandler> m_handler;
    std::unique_ptr<ErrorHandlerScope> m_scope;
};

// The folder of the shared sample files, or the empty text when it is absent.
QString sharedFixturesFolder();

} // namespace ordwick::test
