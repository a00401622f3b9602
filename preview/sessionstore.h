// Session and Application state of a running site.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QVariant>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>

namespace ordwick::preview {

// Runs the pages of one session one at a time, in the order they came, with
// no thread held while a page waits for its turn (IIS queues them likewise).
class SessionQueue {
public:
    // false when too many pages of the session wait already. owner is kept
    // alive while the queue's thread runs: the queue lives in it.
    bool submit(QThreadPool& pool, std::function<void()> page, std::shared_ptr<void> owner);

private:
    static constexpr int kMaxWaiting = 16;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_waiting;
    bool m_running = false;
};

struct SessionState {
    explicit SessionState(QString sessionId) : id(std::move(sessionId)) {}

    const QString id;
    SessionQueue queue;
    // Lower-case name -> [name, value]; touched only by the session's page
    // running, which its queue makes one at a time.
    QVariantMap values;
    std::atomic<int> timeoutMinutes = 20;
};

class SessionStore {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    // maxSessions: how many live at once; past it the one idle longest goes.
    // now: the clock idle times are measured by (a test sets the time itself).
    explicit SessionStore(int maxSessions = 10000, Now now = &Clock::now);

    // The name of the session cookie, "ASPSESSIONID" and eight letters.
    QString cookieName() const { return m_cookieName; }

    // The live session of an id, marked as used now; null when there is none
    // or it timed out.
    std::shared_ptr<SessionState> find(const QString& id);
    std::shared_ptr<SessionState> create();
    // Marks a session as used now: its idle time counts from here.
    void touch(const QString& id);
    void remove(const QString& id);
    int count() const;

private:
    struct Entry {
        std::shared_ptr<SessionState> session;
        Clock::time_point lastUsed;
        std::list<QString>::iterator place; // in m_byUse
    };
    static QString randomLetters(int count);
    static bool expired(const Entry& entry, Clock::time_point now);
    // Drops the sessions idle longest while they timed out, or while there
    // are too many: the oldest are at the front, so no other is looked at.
    void dropOldest(Clock::time_point now);
    void markUsed(Entry& entry, Clock::time_point now);

    const int m_maxSessions;
    const Now m_now;
    mutable std::mutex m_mutex;
    QHash<QString, Entry> m_sessions;
    std::list<QString> m_byUse; // least recently used first
    QString m_cookieName;
};

// Application("name"): values shared by every page, and Application.Lock.
class ApplicationState {
public:
    QVariant value(const QString& name) const;
    void setValue(const QString& name, const QVariant& value);
    void remove(const QString& name);
    void clear();
    QStringList names() const;

    std::recursive_mutex& lock() { return m_pageLock; }

private:
    mutable std::mutex m_mutex;
    QVariantMap m_values;            // lower-case name -> value
    QHash<QString, QString> m_names; // lower-case name -> name as first set
    QStringList m_order;
    std::recursive_mutex m_pageLock;
};

} // namespace ordwick::preview
