#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace ordwick {

class GenerationEngine;
class ProjectSession;

// One Finish: saves the project, prepares the destination's folders and has
// the engine write the site, reporting each finished task. The engine's own
// failures go to the central error handler as they happen; the result says
// whether every task succeeded, so nobody claims a site that was not written.
class GenerationRun final : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        NotStarted, // the project was not saved, or a folder or the engine failed
        Succeeded,  // every task finished without a failure
        Failed,     // the run ended, but some tasks reported failures
        Aborted     // the user stopped the run
    };
    struct Result {
        Outcome outcome = Outcome::NotStarted;
        // What went wrong, one line per distinct failure, in the order reported.
        QStringList failures;
        // What the engine did in another way than asked (a page written under
        // a safe file name), one line per distinct warning; no failure.
        QStringList warnings;
    };

    GenerationRun(ProjectSession& session, QString engineLibrary, QObject* parent = nullptr);

    // Blocks until the run ends; the window's events are served meanwhile.
    // Failures to start are reported through the central error handler by
    // the caller's trap: they come out of here as exceptions.
    Result run();
    // Asks a running engine to stop at its next step.
    void requestAbort();
    bool running() const { return m_engine != nullptr; }

    // "ASP files for ... has been sucessfully generated!" and its siblings.
    static QString outcomeMessage(const QString& table, const Result& result);

Q_SIGNALS:
    // The task in Finish grid row progressStatus + 1 has ended; failed when a
    // failure was reported while it ran.
    void progress(int progressStatus, bool failed);

private:
    void prepareFolders(const QString& destination) const;

    ProjectSession& m_session;
    QString m_engineLibrary;
    GenerationEngine* m_engine = nullptr;
    // A failure was reported since the last task ended; the engine reports a
    // task's failures before its progress.
    bool m_taskFailed = false;
};

} // namespace ordwick
