#include "preview/watchdog.h"

#include <QJSEngine>
#include <algorithm>

namespace ordwick::preview {

Watchdog::Watchdog() : m_thread([this] { run(); }) {}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

namespace {
// How often the statements of a page past its deadline are stopped again.
constexpr std::chrono::milliseconds kRestopInterval(100);
} // namespace

quint64 Watchdog::watch(QJSEngine* engine, int seconds, StatementStop stopStatements) {
    const std::lock_guard lock(m_mutex);
    const quint64 id = m_nextId++;
    const Clock::time_point now = Clock::now();
    m_watches[id] = {engine, std::move(stopStatements), now,
                     m_stoppedAll ? now : now + std::chrono::seconds(seconds), false};
    m_changed.notify_all();
    return id;
}

void Watchdog::extend(quint64 id, int seconds) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_watches.find(id);
    if (it == m_watches.end() || it->second.fired || m_stoppedAll)
        return;
    it->second.deadline = it->second.start + std::chrono::seconds(seconds);
    m_changed.notify_all();
}

bool Watchdog::release(quint64 id) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_watches.find(id);
    if (it == m_watches.end())
        return false;
    const bool fired = it->second.fired;
    m_watches.erase(it);
    return fired;
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
        Clock::time_point next = Clock::time_point::max();
        const Clock::time_point now = Clock::now();
        for (auto& [id, watch] : m_watches) {
            if (watch.deadline > now) {
                next = std::min(next, watch.deadline);
                continue;
            }
            // Interrupting under the lock: a released watch never fires late.
            if (!watch.fired) {
                watch.fired = true;
                watch.engine->setInterrupted(true);
            }
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
