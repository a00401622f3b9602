#include "shell/commandline.h"

#include <QFileInfo>

namespace ordwick {

QString projectPathFromCommandLine(const QStringList& arguments) {
    const QString line = arguments.join(QLatin1Char(' '));
    const qsizetype open = line.indexOf(QLatin1Char('"'));
    if (open >= 0) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), open + 1);
        return line.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    if (arguments.size() > 1 && !QFileInfo(line).isFile() &&
        QFileInfo(arguments.constFirst()).isFile()) {
        return arguments.constFirst();
    }
    return line;
}

} // namespace ordwick
