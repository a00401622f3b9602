#include "shell/commandline.h"

#include <QFileInfo>

namespace ordwick {

namespace {

QString pathAsTyped(const QStringList& arguments) {
    const QString line = arguments.join(QLatin1Char(' '));
    // A name that exists is taken as it is, even with a literal quotation mark
    // in it (the desktop passes such names without quoting them).
    if (QFileInfo(line).isFile())
        return line;
    if (!arguments.isEmpty() && QFileInfo(arguments.constFirst()).isFile())
        return arguments.constFirst();
    const qsizetype open = line.indexOf(QLatin1Char('"'));
    if (open >= 0) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), open + 1);
        return line.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    return line;
}

} // namespace

QString projectPathFromCommandLine(const QStringList& arguments) {
    const QString path = pathAsTyped(arguments);
    // Stored absolute: the project and the recent list are used from anywhere.
    return path.trimmed().isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

} // namespace ordwick
