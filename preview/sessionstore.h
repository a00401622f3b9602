// Session and Application state of a running site.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <chrono>
#include <memory>
#include <mutex>

namespace ordwick::preview {

struct SessionState {
    explicit SessionState(QString sessionId) : id(std::move(sessionId)) {}

    const QString id;
    // Held while a page of the session runs: the requests of one session are
    // served one at a time.
    std::mutex busy;
    // Lower-case name -> [name, value]; touched only by the page holding busy.
    QVariantMap values;
    int timeoutMinutes = 20;
    std::chrono::steady_clock::time_point lastUsed = std::chrono::steady_clock::now();
};

class SessionStore {
public:
    SessionStore();

    // The name of the session cookie, "ASPSESSIONID" and eight letters.
    QString cookieName() const { return m_cookieName; }

    // The live session of an id, or null when there is none or it timed out.
    std::shared_ptr<SessionState> find(const QString& id);
    std::shared_ptr<SessionState> create();
    void remove(const QString& id);

private:
    static QString randomLetters(int count);

    std::mutex m_mutex;
    QHash<QString, std::shared_ptr<SessionState>> m_sessions;
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
