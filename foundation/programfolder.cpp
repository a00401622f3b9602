#include "foundation/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

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

} // namespace ordwick
