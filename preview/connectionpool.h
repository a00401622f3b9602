// Connections a page closed, kept for the next page that opens the same
// connection string, as IIS keeps ODBC connections: a page then does not pay
// for a new database session, and a SQLite file stays mapped between pages.
#pragma once

#include "preview/database.h"

#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace ordwick::preview {

class ConnectionPool {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    // idleLimit: how long a connection may wait unused before it is closed;
    // perSource: how many wait for one connection string at most; now: the
    // clock the waits are measured by (a test sets the time itself).
    explicit ConnectionPool(std::chrono::milliseconds idleLimit = std::chrono::seconds(60),
                            int perSource = 16, Now now = &Clock::now);
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // The connection that waited least for this exact string and can still
    // serve a page; null when there is none.
    std::unique_ptr<DataConnection> take(const QString& connectionString);

    // Keeps a connection a page is done with, once it is as a new one would
    // be; a connection that cannot be made so is closed.
    void giveBack(const QString& connectionString, std::unique_ptr<DataConnection> connection);

    // How many connections wait, for all strings.
    int idleCount() const;

private:
    struct Idle {
        std::unique_ptr<DataConnection> connection;
        Clock::time_point since;
    };
    // Moves the connections that waited too long out of the pool, to be
    // closed by the caller once the lock is released.
    void takeExpired(Clock::time_point now, std::deque<Idle>& expired);

    const std::chrono::milliseconds m_idleLimit;
    const int m_perSource;
    const Now m_now;
    mutable std::mutex m_mutex;
    std::map<QString, std::deque<Idle>> m_idle; // newest at the back
};

} // namespace ordwick::preview
