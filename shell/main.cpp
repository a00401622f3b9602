#include "foundation/errorhandler.h"
#include "foundation/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/widgetprompt.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

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

    ordwick::MainWindow window(prompt);
    prompt.setOwner(&window);

    // For start-up benchmarks: report once the window is up, then leave.
    QStringList arguments = QApplication::arguments().mid(1);
    const bool reportShown = arguments.removeAll(QStringLiteral("--report-shown")) > 0;
    window.load(arguments);
    if (reportShown) {
        QTimer::singleShot(0, &window, [] {
            std::puts("shown");
            std::fflush(stdout);
            std::quick_exit(0);
        });
    }
    return QApplication::exec();
}
