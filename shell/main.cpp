#include "project/projectsession.h"
#include "shell/errorhandler.h"
#include "shell/programfolder.h"
#include "shell/startwindow.h"
#include "shell/widgetprompt.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// The project named on the command line: the text between the first two double
// quotation marks when there is one, otherwise the whole command line.
QString projectPathFromArguments(const QStringList& arguments) {
    const QString commandLine = arguments.mid(1).join(QLatin1Char(' '));
    const qsizetype open = commandLine.indexOf(QLatin1Char('"'));
    if (open < 0)
        return commandLine;
    const qsizetype close = commandLine.indexOf(QLatin1Char('"'), open + 1);
    return commandLine.mid(open + 1, close < 0 ? -1 : close - open - 1);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaline"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(ORDWICK_VERSION_MAJOR)
                                            .arg(ORDWICK_VERSION_MINOR)
                                            .arg(ORDWICK_VERSION_PATCH));

    ordwick::WidgetPrompt prompt;
    ordwick::ErrorHandler handler(
        prompt, ordwick::ErrorLog({ordwick::programFolder(), ordwick::userDataFolder()}));
    ordwick::ErrorHandlerScope central(handler);

    ordwick::ProjectSession session(prompt);
    ordwick::StartWindow window(session);
    prompt.setOwner(&window);

    const QString path = projectPathFromArguments(QApplication::arguments());
    if (!path.isEmpty()) {
        if (QFileInfo(path).isFile())
            session.ProjectOrigin = ordwick::OriginLoaded;
        session.OpenProject(path);
        window.refresh();
    }
    window.show();
    return QApplication::exec();
}
