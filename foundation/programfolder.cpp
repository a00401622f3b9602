#include "foundation/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ordwick {

QString programFolder() {
    const QString overridden = qEnvironmentVariable("TESSALINE_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tessaline");
}

namespace {

// Permission bits do not tell the whole truth (read-only mounts, ACLs, root),
// so a folder counts as writable when a file can really be made in it.
bool canWriteIn(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
    return probe.open();
}

const QString kTemplateFolder = QStringLiteral("template");

} // namespace

bool programTemplateStoreWritable(const QString& programFolder) {
    const QString shipped = QDir(programFolder).filePath(kTemplateFolder);
    return QFileInfo(shipped).isDir() ? canWriteIn(shipped) : canWriteIn(programFolder);
}

QString templateBaseFolder() {
    const QString program = programFolder();
    const QString user = userDataFolder();
    if (!programTemplateStoreWritable(program) &&
        QFileInfo(QDir(user).filePath(kTemplateFolder)).isDir())
        return user;
    return program;
}

} // namespace ordwick
