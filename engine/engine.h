#pragma once

#include "generation/ordwick_engine.h"

#include <QString>
#include <atomic>

namespace ordwick::engine {

// The generation engine behind the C interface: one object per run, as the
// program uses it, though a finished object may run again.
class Engine {
public:
    void setApplicationPath(const QString& path) { m_applicationPath = path; }
    void setProjectFilePath(const QString& path) { m_projectFilePath = path; }
    bool abortRequested() const { return m_abort.load(); }
    void setAbort(bool abort) { m_abort.store(abort); }
    void setWarningCallback(ordwick_engine_warning_callback warning) { m_warning = warning; }

    int generate(const ordwick_engine_events& events);
    int listTasks(const ordwick_engine_events& events, ordwick_engine_task_callback task);

private:
    QString m_applicationPath;
    QString m_projectFilePath;
    std::atomic<bool> m_abort{false};
    ordwick_engine_warning_callback m_warning = nullptr;
    bool m_running = false;
};

} // namespace ordwick::engine
