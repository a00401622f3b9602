#include "preview/connectionpool.h"

#include <utility>

namespace ordwick::preview {

ConnectionPool::ConnectionPool(std::chrono::milliseconds idleLimit, int perSource, Now now)
    : m_idleLimit(idleLimit), m_perSource(perSource), m_now(std::move(now)) {}

ConnectionPool::~ConnectionPool() = default;

void ConnectionPool::takeExpired(Clock::time_point now, std::deque<Idle>& expired) {
    for (auto it = m_idle.begin(); it != m_idle.end();) {
        std::deque<Idle>& waiting = it->second;
        while (!waiting.empty() && now - waiting.front().since > m_idleLimit) {
            expired.push_back(std::move(waiting.front()));
            waiting.pop_front();
        }
        it = waiting.empty() ? m_idle.erase(it) : std::next(it);
    }
}

std::unique_ptr<DataConnection> ConnectionPool::take(const QString& connectionString) {
    std::deque<Idle> closing; // closed after the lock: a disconnect may take a while
    for (;;) {
        std::unique_ptr<DataConnection> candidate;
        {
            const std::lock_guard lock(m_mutex);
            takeExpired(m_now(), closing);
            const auto it = m_idle.find(connectionString);
            if (it == m_idle.end())
                return nullptr;
            candidate = std::move(it->second.back().connection);
            it->second.pop_back();
            if (it->second.empty())
                m_idle.erase(it);
        }
        // A server may have gone away or a file been replaced while it waited.
        if (candidate->readyForReuse())
            return candidate;
    }
}

void ConnectionPool::giveBack(const QString& connectionString,
                              std::unique_ptr<DataConnection> connection) {
    if (!connection || !connection->readyForReuse())
        return;
    std::deque<Idle> closing;
    const std::lock_guard lock(m_mutex);
    const Clock::time_point now = m_now();
    takeExpired(now, closing);
    std::deque<Idle>& waiting = m_idle[connectionString];
    waiting.push_back({std::move(connection), now});
    if (static_cast<int>(waiting.size()) > m_perSource) {
        closing.push_back(std::move(waiting.front()));
        waiting.pop_front();
    }
    // closing is destroyed after the lock is released: declared before it.
}

int ConnectionPool::idleCount() const {
    const std::lock_guard lock(m_mutex);
    int count = 0;
    for (const auto& [connectionString, waiting] : m_idle)
        count += static_cast<int>(waiting.size());
    return count;
}

} // namespace ordwick::preview
