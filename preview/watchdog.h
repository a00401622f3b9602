// Stops scripts that run past their time: a thread of its own interrupts the
// engine of a page whose deadline has passed, and the statement it waits for.
#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <functional>
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

    // Stops the statements a page is running, from the watchdog's thread.
    using StatementStop = std::function<void()>;

    // Watches an engine; returns the watch's id. Once the deadline passed,
    // stopStatements is called again and again until the watch is released:
    // a statement the page starts in the moment after is stopped too.
    quint64 watch(QJSEngine* engine, int seconds, StatementStop stopStatements = {});
    // A new time limit, counted from the start of the watch.
    void extend(quint64 id, int seconds);
    // Ends a watch; true when its deadline had passed and the engine was interrupted.
    bool release(quint64 id);
    // Stops every page now and every page that starts later, as a host does
    // when it shuts down.
    void stopAll();

private:
    using Clock = std::chrono::steady_clock;
    struct Watch {
        QJSEngine* engine = nullptr;
        StatementStop stopStatements;
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
    bool m_stoppedAll = false;
    std::thread m_thread;
};

} // namespace ordwick::preview
