#include "templates/texteditor.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace ordwick {

bool openInTextEditor(const QString& path) {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        // The variables may carry arguments ("code --wait").
        QStringList command = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (command.isEmpty())
            continue;
        const QString program = command.takeFirst();
        command.append(path);
        if (QProcess::startDetached(program, command))
            return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace ordwick
