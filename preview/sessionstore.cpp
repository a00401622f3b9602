#include "preview/sessionstore.h"

#include <QRandomGenerator>

namespace ordwick::preview {

SessionStore::SessionStore() : m_cookieName(QStringLiteral("ASPSESSIONID") + randomLetters(8)) {}

QString SessionStore::randomLetters(int count) {
    QString letters;
    for (int i = 0; i < count; ++i)
        letters += QChar(u'A' + static_cast<char16_t>(QRandomGenerator::system()->bounded(26)));
    return letters;
}

std::shared_ptr<SessionState> SessionStore::find(const QString& id) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return nullptr;
    const std::shared_ptr<SessionState> session = *it;
    const auto idle = std::chrono::steady_clock::now() - session->lastUsed;
    if (idle > std::chrono::minutes(session->timeoutMinutes)) {
        m_sessions.erase(it);
        return nullptr;
    }
    return session;
}

std::shared_ptr<SessionState> SessionStore::create() {
    const std::lock_guard lock(m_mutex);
    // Sessions past their time go when new ones come.
    const auto now = std::chrono::steady_clock::now();
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (now - (*it)->lastUsed > std::chrono::minutes((*it)->timeoutMinutes))
            it = m_sessions.erase(it);
        else
            ++it;
    }
    QString id;
    do {
        id = randomLetters(24);
    } while (m_sessions.contains(id));
    auto session = std::make_shared<SessionState>(id);
    m_sessions.insert(id, session);
    return session;
}

void SessionStore::remove(const QString& id) {
    const std::lock_guard lock(m_mutex);
    m_sessions.remove(id);
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
