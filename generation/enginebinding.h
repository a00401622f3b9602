#pragma once

#include <QLibrary>
#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <vector>

struct ordwick_engine;

namespace ordwick {

// One task a generation run would perform.
struct EngineTask {
    int progressNumber = 0; // as progress reports it: the task list grid row less one
    QString text;           // "Generate index page"
};

// The generation engine as the program sees it. The engine is a separate
// library, loaded by name when this object is made and unloaded with it, so
// the program links no engine code: make one object per run.
//
// generate() blocks. progress, aborted, failureReported and warningReported
// are emitted on the thread that called Generate, before it returns, and
// `yield` runs between tasks and inside long ones. Abort may be set from a slot, from `yield`, or
// from any other thread.
class GenerationEngine : public QObject {
    Q_OBJECT

public:
    enum class Outcome { Finished, Aborted, NotRun };

    // Loads the library; throws RuntimeError when it is missing or is not an
    // engine of this program's version.
    explicit GenerationEngine(const QString& libraryPath = defaultLibraryPath(),
                              QObject* parent = nullptr);
    ~GenerationEngine() override;
    GenerationEngine(const GenerationEngine&) = delete;
    GenerationEngine& operator=(const GenerationEngine&) = delete;

    // "ordwick-engine": the library's name without the platform's prefix and suffix.
    static QString libraryName();
    // The library in the programs' private folder (lib/<multiarch>/tessaline
    // beside their bin folder), or the bare name for the system's search.
    static QString defaultLibraryPath();

    bool abortRequested() const;
    void setAbort(bool abort);
    QString applicationPath() const { return m_applicationPath; }
    void setApplicationPath(const QString& path);
    QString projectFilePath() const { return m_projectFilePath; }
    void setProjectFilePath(const QString& path);

    // Runs the whole generation. Throws RuntimeError when called again from
    // inside a run; an exception thrown by a slot or by `yield` stops the run
    // and comes out of Generate.
    Outcome generate();

    // The tasks a run would perform, in order; writes nothing. Failures to read
    // the project are emitted as failureReported.
    std::vector<EngineTask> tasks();

    // Lets the caller's event loop take a turn; by default processes the Qt
    // events of the calling thread.
    std::function<void()> yield;

Q_SIGNALS:
    void progress(int progressStatus);
    void aborted(bool state);
    void failureReported(const QString& source, const QString& description, int number);
    // The run did something in another way than the project asked (a page
    // written under a safe file name); not a failure.
    void warningReported(const QString& source, const QString& description, int number);

private:
    struct Api;
    template <typename Call> void guarded(Call&& call) noexcept;

    QLibrary m_library;
    const Api* m_api = nullptr;
    ordwick_engine* m_engine = nullptr;
    QString m_applicationPath;
    QString m_projectFilePath;
    std::exception_ptr m_pending;
    std::vector<EngineTask>* m_collecting = nullptr;
    bool m_running = false;
};

} // namespace ordwick
