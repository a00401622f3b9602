// ordwick-generate: regenerates a site from a saved project without a window,
// through the same engine binding the program uses.
#include "foundation/programfolder.h"
#include "foundation/runtimeerror.h"
#include "generation/enginebinding.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <variant>

using ordwick::GenerationEngine;

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes resume: the run stops at its next checkpoint.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void out(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void err(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

enum Exit { Success = 0, TaskFailed = 1, Usage = 2, Interrupted = 130 };

const char* const kExitCodes =
    "Exit codes:\n"
    "  0    the site was written (warnings are printed as \"warning: ...\")\n"
    "  1    a task failed, or the project could not be read\n"
    "  2    wrong usage, or the generation engine could not be loaded\n"
    "  130  interrupted (Ctrl+C)\n";

struct Request {
    QString project;
    QString appDir;
    bool listOnly = false;
};

// The request of the command line, or the exit code when there is nothing to run:
// 0 after --help or --version, 2 on wrong usage.
std::variant<Request, int> parseArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Generates the site of a saved Tessaline project into its destination "
                       "folder, printing each task as it completes."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and leave."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the version and leave."));
    const QCommandLineOption appDir(
        QStringLiteral("app-dir"),
        QStringLiteral("Take the templates from DIR/template (default: the store the wizard "
                       "uses, else the installed templates)."),
        QStringLiteral("DIR"));
    const QCommandLineOption listTasks(
        QStringLiteral("list-tasks"),
        QStringLiteral("Print the tasks a run would perform, in order, and write nothing."));
    parser.addOptions({help, version, appDir, listTasks});
    parser.addPositionalArgument(QStringLiteral("PROJECT.pjx"),
                                 QStringLiteral("The project file saved by the wizard."));

    const QString usage =
        QStringLiteral("usage: ordwick-generate PROJECT.pjx [--app-dir DIR] [--list-tasks]");
    if (!parser.parse(arguments)) {
        err(QStringLiteral("ordwick-generate: ") + parser.errorText());
        err(usage);
        return Usage;
    }
    if (parser.isSet(help)) {
        out(parser.helpText() + QLatin1Char('\n') + QString::fromLatin1(kExitCodes));
        return Success;
    }
    if (parser.isSet(version)) {
        out(QStringLiteral("ordwick-generate ") + QCoreApplication::applicationVersion());
        return Success;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        err(usage);
        return Usage;
    }
    return Request{positional.constFirst(), parser.value(appDir), parser.isSet(listTasks)};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ordwick-generate"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(ORDWICK_VERSION_MAJOR)
                                                .arg(ORDWICK_VERSION_MINOR)
                                                .arg(ORDWICK_VERSION_PATCH));
    const auto parsed = parseArguments(QCoreApplication::arguments());
    if (const int* exitCode = std::get_if<int>(&parsed))
        return *exitCode;
    const auto& [project, appDir, listOnly] = std::get<Request>(parsed);
    if (!QFileInfo(project).isFile()) {
        err(QStringLiteral("error: the project \"%1\" cannot be read: there is no such file.")
                .arg(QDir::toNativeSeparators(project)));
        return TaskFailed;
    }
    installInterruptHandler();

    // A failure before the engine is up is an installation fault (2); one after
    // it comes from reading the project (1).
    bool engineLoaded = false;
    try {
        GenerationEngine engine;
        engineLoaded = true;
        int failures = 0;
        QObject::connect(
            &engine, &GenerationEngine::failureReported,
            [&](const QString& module, const QString& description, int number) {
                ++failures;
                err(QStringLiteral("error: %1: %2 (%3)").arg(module, description).arg(number));
            });
        // A warning says the site was written differently than asked; the run still succeeds.
        QObject::connect(
            &engine, &GenerationEngine::warningReported,
            [](const QString& module, const QString& description, int number) {
                err(QStringLiteral("warning: %1: %2 (%3)").arg(module, description).arg(number));
            });
        engine.setProjectFilePath(QFileInfo(project).absoluteFilePath());
        engine.setApplicationPath(
            QDir(appDir.isEmpty() ? ordwick::templateBaseFolder() : appDir).absolutePath());

        const std::vector<ordwick::EngineTask> tasks = engine.tasks();
        if (listOnly) {
            for (const ordwick::EngineTask& task : tasks)
                out(task.text);
            return failures ? TaskFailed : Success;
        }
        if (failures)
            return TaskFailed;

        QObject::connect(&engine, &GenerationEngine::progress, [&](int status) {
            for (size_t i = 0; i < tasks.size(); ++i) {
                if (tasks[i].progressNumber == status)
                    out(QStringLiteral("[%1/%2] %3")
                            .arg(i + 1)
                            .arg(tasks.size())
                            .arg(tasks[i].text));
            }
        });
        QObject::connect(&engine, &GenerationEngine::aborted, [](bool) {
            err(QStringLiteral("Interrupted: the run stopped before its end."));
        });
        engine.yield = [&engine] {
            if (g_interrupted)
                engine.setAbort(true);
        };
        out(QStringLiteral("Generating %1").arg(QDir::toNativeSeparators(project)));
        switch (engine.generate()) {
        case GenerationEngine::Outcome::Aborted:
            return Interrupted;
        case GenerationEngine::Outcome::NotRun:
            return TaskFailed;
        case GenerationEngine::Outcome::Finished:
            break;
        }
        if (failures) {
            err(QStringLiteral("%1 failure(s) were reported.").arg(failures));
            return TaskFailed;
        }
        out(QStringLiteral("Done."));
        return Success;
    } catch (const ordwick::RuntimeError& error) {
        err(QStringLiteral("error: %1 (%2)").arg(error.description()).arg(error.number()));
        return engineLoaded ? TaskFailed : Usage;
    }
}
