// ordwick-generate: regenerates a site from a saved project without a window,
// through the same engine binding the program uses.
#include "foundation/programfolder.h"
#include "foundation/runtimeerror.h"
#include "generation/enginebinding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <csignal>
#include <cstdio>

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

int usage() {
    err(QStringLiteral("usage: ordwick-generate PROJECT.pjx [--app-dir DIR] [--list-tasks]"));
    return 2;
}

enum Exit { Success = 0, TaskFailed = 1, Usage = 2, Interrupted = 130 };

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QString project;
    QString appDir;
    bool listOnly = false;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--list-tasks")) {
            listOnly = true;
        } else if (argument == QLatin1String("--app-dir")) {
            if (++i >= arguments.size())
                return usage();
            appDir = arguments.at(i);
        } else if (argument.startsWith(QLatin1String("--app-dir="))) {
            appDir = argument.mid(10);
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            usage();
            return Success;
        } else if (argument.startsWith(QLatin1String("--")) || !project.isEmpty()) {
            return usage();
        } else {
            project = argument;
        }
    }
    if (project.isEmpty())
        return usage();
    installInterruptHandler();

    try {
        GenerationEngine engine;
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
        return Usage;
    }
}
