#include "foundation/errorhandler.h"
#include "foundation/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/widgetprompt.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

void setIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("Tessaline"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(ORDWICK_VERSION_MAJOR)
                                                .arg(ORDWICK_VERSION_MINOR)
                                                .arg(ORDWICK_VERSION_PATCH));
}

struct Options {
    QCommandLineOption reportShown{
        QStringLiteral("report-shown"),
        QStringLiteral("Print \"shown\" once the main window is up, and leave (start-up "
                       "benchmarks).")};
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("The Tessaline wizard: builds a generation project from one table of a "
                       "database and generates its web application."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.reportShown);
    parser.addPositionalArgument(QStringLiteral("PROJECT.pjx"),
                                 QStringLiteral("A project file to open."),
                                 QStringLiteral("[PROJECT.pjx]"));
}

// --help and --version answer without a display, so they are handled before the
// window system is reached.
bool asksForInformationOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "-v", "--version", "--help-all"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

// The desktop's icon theme has the installed icon; from a build folder or an
// unpacked package the shipped file is taken.
QIcon programIcon() {
    const QString shipped =
        QDir(ordwick::shippedDataFolder())
            .filePath(QStringLiteral("../icons/hicolor/256x256/apps/tessaline.png"));
    return QIcon::fromTheme(QStringLiteral("tessaline"), QIcon(shipped));
}

} // namespace

int main(int argc, char* argv[]) {
    const Options options;
    if (asksForInformationOnly(argc, argv)) {
        QCoreApplication core(argc, argv);
        setIdentity();
        QCommandLineParser parser;
        describe(parser, options);
        parser.process(core); // prints and leaves
        return 0;
    }

    QApplication application(argc, argv);
    setIdentity();
    QApplication::setWindowIcon(programIcon());
    QCommandLineParser parser;
    describe(parser, options);
    parser.process(application);

    ordwick::WidgetPrompt prompt;
    ordwick::ErrorHandler handler(prompt, ordwick::ErrorLog({ordwick::userDataFolder()}));
    ordwick::ErrorHandlerScope central(handler);

    ordwick::MainWindow window(prompt);
    prompt.setOwner(&window);
    window.load(parser.positionalArguments());
    if (parser.isSet(options.reportShown)) {
        // For start-up benchmarks: report once the window is up, then leave.
        QTimer::singleShot(0, &window, [] {
            std::puts("shown");
            std::fflush(stdout);
            std::quick_exit(0);
        });
    }
    return QApplication::exec();
}
