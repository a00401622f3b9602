#include "preview/sessionstore.h"

#include <QRandomGenerator>

namespace ordwick::preview {

bool SessionQueue::submit(QThreadPool& pool, std::function<void()> page,
                          std::shared_ptr<void> owner) {
    const std::lock_guard lock(m_mutex);
    if (m_running && m_waiting.size() >= kMaxWaiting)
        return false;
    m_waiting.push_back(std::move(page));
    if (m_running)
        return true;
    m_running = true;
    // One thread runs the pages that wait, one after the other, and lets go
    // when none is left.
    pool.start([this, owner = std::move(owner)] {
        for (;;) {
            std::function<void()> next;
            {
                const std::lock_guard guard(m_mutex);
                if (m_waiting.empty()) {
                    m_running = false;
                    return;
                }
                next = std::move(m_waiting.front());
                m_waiting.pop_front();
            }
            next();
        }
    });
    return true;
}

SessionStore::SessionStore(int maxSessions, Now now)
    : m_maxSessions(qMax(1, maxSessions)), m_now(std::move(now)),
      m_cookieName(QStringLiteral("ASPSESSIONID") + randomLetters(8)) {}

QString SessionStore::randomLetters(int count) {
    QString letters;
    for (int i = 0; i < count; ++i)
        letters += QChar(u'A' + static_cast<char16_t>(QRandomGenerator::system()->bounded(26)));
    return letters;
}

bool SessionStore::expired(const Entry& entry, Clock::time_point now) {
    return now - entry.lastUsed > std::chrono::minutes(entry.session->timeoutMinutes.load());
}

void SessionStore::dropOldest(Clock::time_point now) {
    while (!m_byUse.empty()) {
        const auto oldest = m_sessions.find(m_byUse.front());
        if (qsizetype(m_sessions.size()) <= m_maxSessions && !expired(*oldest, now))
            return;
        m_sessions.erase(oldest);
        m_byUse.pop_front();
    }
}

void SessionStore::markUsed(Entry& entry, Clock::time_point now) {
    entry.lastUsed = now;
    m_byUse.splice(m_byUse.end(), m_byUse, entry.place);
}

std::shared_ptr<SessionState> SessionStore::find(const QString& id) {
    const std::lock_guard lock(m_mutex);
    const Clock::time_point now = m_now();
    dropOldest(now);
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return nullptr;
    if (expired(*it, now)) {
        m_byUse.erase(it->place);
        m_sessions.erase(it);
        return nullptr;
    }
    markUsed(*it, now);
    return it->session;
}

std::shared_ptr<SessionState> SessionStore::create() {
    const std::lock_guard lock(m_mutex);
    const Clock::time_point now = m_now();
    QString id;
    do {
        id = randomLetters(24);
    } while (m_sessions.contains(id));
    auto session = std::make_shared<SessionState>(id);
    m_byUse.push_back(id);
    m_sessions.insert(id, {session, now, std::prev(m_byUse.end())});
    dropOldest(now);
    return session;
}

void SessionStore::touch(const QString& id) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_sessions.find(id);
    if (it != m_sessions.end())
        markUsed(*it, m_now());
}

void SessionStore::remove(const QString& id) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return;
    m_byUse.erase(it->place);
    m_sessions.erase(it);
}

int SessionStore::count() const {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_sessions.size());
}

QVariant ApplicationState::value(const QString& name) const {
    const std::lock_guard lock(m_mutex);
    return m_values.value(name.toLower());
}

void ApplicationState::setValue(const QString& name, const QVariant& value) {
    const std::lock_guard lock(m_mutex);
    const QString key = name.toLower();
    if (!m_values.contains(key)) {
        m_names.insert(key, name);
        m_order.append(key);
    }
    m_values.insert(key, value);
}

void ApplicationState::remove(const QString& name) {
    const std::lock_guard lock(m_mutex);
    const QString key = name.toLower();
    m_values.remove(key);
    m_names.remove(key);
    m_order.removeAll(key);
}

void ApplicationState::clear() {
    const std::lock_guard lock(m_mutex);
    m_values.clear();
    m_names.clear();
    m_order.clear();
}

QStringList ApplicationState::names() const {
    const std::lock_guard lock(m_mutex);
    QStringList list;
    for (const QString& key : m_order)
        list.append(m_names.value(key));
    return list;
}

} // namespace ordwick::preview
