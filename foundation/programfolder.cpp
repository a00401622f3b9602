#include "foundation/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ordwick {

namespace {

// The folder of the running program; without an application object (tools that
// link the foundation alone) the working folder stands in.
QString programFolder() {
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString besideProgram(const char* relativePath) {
    return QDir::cleanPath(QDir(programFolder()).filePath(QString::fromUtf8(relativePath)));
}

} // namespace

QString shippedDataFolder() {
    const QString overridden = qEnvironmentVariable("TESSALINE_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return besideProgram(ORDWICK_DATA_FROM_PROGRAM);
}

QString engineFolder() {
    return besideProgram(ORDWICK_ENGINE_FROM_PROGRAM);
}

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tessaline");
}

QString userConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tessaline");
}

QString templateBaseFolder() {
    const QString user = userDataFolder();
    if (QFileInfo(QDir(user).filePath(QStringLiteral("template"))).isDir())
        return user;
    return shippedDataFolder();
}

} // namespace ordwick
