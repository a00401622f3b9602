// Stops scripts that run past their time: a thread of its own interrupts the
// engine of a page whose deadline has passed, and the statement it waits for.
// It also guards the host's memory: past the limit, the page that has run
// longest is stopped the same way.
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
    // Why a page was stopped.
    enum class Stop { None, Timeout, Memory };

    // memoryLimitBytes: the host's resident memory past which pages are
    // stopped; 0 for no limit.
    explicit Watchdog(qint64 memoryLimitBytes = 0);
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
    // Ends a watch; whether and why the engine was interrupted.
    Stop release(quint64 id);
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
        Stop stopped = Stop::None;
    };

    void run();
    void fire(Watch& watch, Stop why);
    // Stops the page that has run longest when the host is past its memory
    // limit; the time the guard wants to look again.
    Clock::time_point guardMemory(Clock::time_point now);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<quint64, Watch> m_watches;
    quint64 m_nextId = 1;
    bool m_stopping = false;
    bool m_stoppedAll = false;
    const qint64 m_memoryLimitBytes;
    Clock::time_point m_lastMemoryStop;
    std::thread m_thread;
};

} // namespace ordwick::preview
