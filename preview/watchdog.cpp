#include "preview/watchdog.h"

#include <QJSEngine>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace ordwick::preview {

namespace {
// How often the statements of a stopped page are stopped again.
constexpr std::chrono::milliseconds kRestopInterval(100);
// How often the memory of the host is looked at while pages run, and how long
// a stopped page has to let its memory go before the next one is stopped.
constexpr std::chrono::milliseconds kMemoryInterval(100);
constexpr std::chrono::milliseconds kMemoryGrace(1000);

// The host's resident memory, from /proc.
qint64 residentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    long size = 0;
    long resident = 0;
    const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? qint64(resident) * sysconf(_SC_PAGESIZE) : 0;
}
} // namespace

Watchdog::Watchdog(qint64 memoryLimitBytes)
    : m_memoryLimitBytes(memoryLimitBytes), m_thread([this] { run(); }) {}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

quint64 Watchdog::watch(QJSEngine* engine, int seconds, StatementStop stopStatements) {
    const std::lock_guard lock(m_mutex);
    const quint64 id = m_nextId++;
    const Clock::time_point now = Clock::now();
    m_watches[id] = {engine, std::move(stopStatements), now,
                     m_stoppedAll ? now : now + std::chrono::seconds(seconds), Stop::None};
    m_changed.notify_all();
    return id;
}

void Watchdog::extend(quint64 id, int seconds) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_watches.find(id);
    if (it == m_watches.end() || it->second.stopped != Stop::None || m_stoppedAll)
        return;
    it->second.deadline = it->second.start + std::chrono::seconds(seconds);
    m_changed.notify_all();
}

Watchdog::Stop Watchdog::release(quint64 id) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_watches.find(id);
    if (it == m_watches.end())
        return Stop::None;
    const Stop stopped = it->second.stopped;
    m_watches.erase(it);
    return stopped;
}

void Watchdog::fire(Watch& watch, Stop why) {
    // Interrupting under the lock: a released watch never fires late.
    watch.stopped = why;
    watch.engine->setInterrupted(true);
}

Watchdog::Clock::time_point Watchdog::guardMemory(Clock::time_point now) {
    if (m_memoryLimitBytes <= 0 || m_watches.empty())
        return Clock::time_point::max();
    if (now - m_lastMemoryStop < kMemoryGrace || residentBytes() <= m_memoryLimitBytes)
        return now + kMemoryInterval;
    Watch* longest = nullptr;
    for (auto& [id, watch] : m_watches) {
        if (watch.stopped == Stop::None && (!longest || watch.start < longest->start))
            longest = &watch;
    }
    if (longest) {
        fire(*longest, Stop::Memory);
        m_lastMemoryStop = now;
    }
    return now + kMemoryInterval;
}

void Watchdog::stopAll() {
    const std::lock_guard lock(m_mutex);
    m_stoppedAll = true;
    const Clock::time_point now = Clock::now();
    for (auto& [id, watch] : m_watches)
        watch.deadline = std::min(watch.deadline, now);
    m_changed.notify_all();
}

void Watchdog::run() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        const Clock::time_point now = Clock::now();
        Clock::time_point next = guardMemory(now);
        for (auto& [id, watch] : m_watches) {
            if (watch.deadline > now && watch.stopped == Stop::None) {
                next = std::min(next, watch.deadline);
                continue;
            }
            if (watch.stopped == Stop::None)
                fire(watch, Stop::Timeout);
            if (watch.stopStatements) {
                watch.stopStatements();
                next = std::min(next, now + kRestopInterval);
            }
        }
        if (next == Clock::time_point::max())
            m_changed.wait(lock);
        else
            m_changed.wait_until(lock, next);
    }
}

} // namespace ordwick::preview
