// Stops scripts that run past their time: a thread of its own interrupts the
// engine of a page whose deadline has passed.
#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class QJSEngine;

namespace ordwick::preview {

class Watchdog {
public:
    Watchdog();
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Watches an engine; returns the watch's id.
    quint64 watch(QJSEngine* engine, int seconds);
    // A new time limit, counted from the start of the watch.
    void extend(quint64 id, int seconds);
    // Ends a watch; true when its deadline had passed and the engine was interrupted.
    bool release(quint64 id);

private:
    using Clock = std::chrono::steady_clock;
    struct Watch {
        QJSEngine* engine = nullptr;
        Clock::time_point start;
        Clock::time_point deadline;
        bool fired = false;
    };

    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<quint64, Watch> m_watches;
    quint64 m_nextId = 1;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace ordwick::preview
