#include "preview/pagebridge.h"

#include "preview/scriptruntime.h"
#include "preview/site.h"

#include <QJSEngine>
#include <QUuid>
#include <cstdio>

namespace ordwick::preview {

namespace {

// A value from a page as a value a database or another thread can hold.
QVariant plainValue(const QVariant& value) {
    if (value.metaType().id() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

QList<QueryParameter> queryParameters(const QVariantList& parameters) {
    QList<QueryParameter> list;
    list.reserve(parameters.size());
    for (const QVariant& p : parameters) {
        const QVariantMap map = plainValue(p).toMap();
        list.append({map.value(QStringLiteral("type")).toInt(),
                     plainValue(map.value(QStringLiteral("value")))});
    }
    return list;
}

QVariantList rowValues(QList<QVariantList>& rows) {
    QVariantList values;
    values.reserve(rows.size());
    for (QVariantList& row : rows)
        values.append(QVariant(std::move(row)));
    return values;
}

QVariantMap resultHead(const QueryResult& result) {
    QVariantList types;
    for (const int type : std::as_const(result.types))
        types.append(type);
    return {{QStringLiteral("columns"), result.columns},
            {QStringLiteral("types"), types},
            {QStringLiteral("affected"), result.affected}};
}

} // namespace

PageBridge::PageBridge(QJSEngine& engine, ScriptRuntime& runtime)
    : m_engine(engine), m_runtime(runtime) {}

PageBridge::~PageBridge() = default;

void PageBridge::begin(Site& site, quint64 watch) {
    m_site = &site;
    m_watch = watch;
    m_ended = false;
}

void PageBridge::finish() {
    m_streams.clear();
    while (!m_connections.empty())
        release(m_connections.begin());
    while (m_applicationLocks > 0) {
        m_site->application().lock().unlock();
        --m_applicationLocks;
    }
    m_site = nullptr;
}

void PageBridge::end() {
    m_ended = true;
    // Interrupting stops the script where it stands; no catch block runs.
    m_engine.setInterrupted(true);
}

bool PageBridge::flush(const QJSValue& state, const QString& body) {
    return m_runtime.flush(state, body);
}

void PageBridge::setScriptTimeout(int seconds) {
    m_site->watchdog().extend(m_watch, seconds);
}

void PageBridge::log(const QString& entry) {
    std::fprintf(stderr, "ordwick-preview: %s\n", qPrintable(entry));
}

QVariantMap PageBridge::mapPath(const QString& path, const QString& currentPage) {
    QString code;
    QString error;
    const QString file = m_site->mapPath(path, currentPage, code, error);
    if (file.isEmpty())
        return {{QStringLiteral("error"), error}, {QStringLiteral("code"), code}};
    return {{QStringLiteral("path"), file}};
}

QJSValue PageBridge::execute(const QString& path, const QString& currentPage, bool transfer) {
    return m_runtime.executeNested(*m_site, path, currentPage, transfer);
}

QString PageBridge::newGuid() {
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QVariantMap PageBridge::openConnection(const QString& connectionString) {
    QString error;
    std::unique_ptr<DataConnection> connection = m_site->connections().take(connectionString);
    if (!connection)
        connection = openDataConnection(connectionString, m_site->sourceCopies(), error);
    if (!connection)
        return {{QStringLiteral("error"), error}};
    const int handle = m_nextHandle++;
    const std::lock_guard lock(m_connectionsMutex);
    m_connections[handle] = {connectionString, std::move(connection)};
    return {{QStringLiteral("handle"), handle}};
}

QVariantMap PageBridge::query(int handle, const QString& sql, const QVariantList& parameters) {
    const auto it = m_connections.find(handle);
    if (it == m_connections.end())
        return {{QStringLiteral("error"), QStringLiteral("The connection is closed.")}};
    QueryResult result = it->second.connection->execute(sql, queryParameters(parameters));
    if (!result.error.isEmpty())
        return {{QStringLiteral("error"), result.error}};
    QVariantMap answer = resultHead(result);
    answer.insert(QStringLiteral("rows"), rowValues(result.rows));
    return answer;
}

QVariantMap PageBridge::openRows(int handle, const QString& sql, const QVariantList& parameters,
                                 int batch) {
    const auto it = m_connections.find(handle);
    if (it == m_connections.end())
        return {{QStringLiteral("error"), QStringLiteral("The connection is closed.")}};
    QueryResult head;
    std::unique_ptr<RowStream> stream =
        it->second.connection->stream(sql, queryParameters(parameters), head);
    if (!head.error.isEmpty())
        return {{QStringLiteral("error"), head.error}};
    QVariantMap answer = resultHead(head);
    int id = 0;
    if (stream) {
        QString error;
        QList<QVariantList> rows = stream->next(batch, error);
        if (!error.isEmpty())
            return {{QStringLiteral("error"), error}};
        head.rows = std::move(rows);
        if (head.rows.size() == batch) {
            id = m_nextHandle++;
            m_streams[id] = {handle, std::move(stream)};
        }
    }
    answer.insert(QStringLiteral("rows"), rowValues(head.rows));
    answer.insert(QStringLiteral("stream"), id);
    return answer;
}

QVariantMap PageBridge::nextRows(int stream, int batch) {
    const auto it = m_streams.find(stream);
    if (it == m_streams.end())
        return {{QStringLiteral("rows"), QVariantList()}};
    QString error;
    QList<QVariantList> rows = it->second.rows->next(batch, error);
    if (!error.isEmpty()) {
        m_streams.erase(it);
        return {{QStringLiteral("error"), error}};
    }
    if (rows.size() < batch)
        m_streams.erase(it);
    return {{QStringLiteral("rows"), rowValues(rows)}};
}

void PageBridge::closeRows(int stream) {
    m_streams.erase(stream);
}

QVariantMap PageBridge::transaction(int handle, const QString& step) {
    const auto it = m_connections.find(handle);
    if (it == m_connections.end())
        return {{QStringLiteral("error"), QStringLiteral("The connection is closed.")}};
    const QString error = it->second.connection->transaction(step);
    if (!error.isEmpty())
        return {{QStringLiteral("error"), error}};
    return {};
}

void PageBridge::closeConnection(int handle) {
    const auto it = m_connections.find(handle);
    if (it != m_connections.end())
        release(it);
}

void PageBridge::release(std::map<int, OpenConnection>::iterator it) {
    const int handle = it->first;
    std::erase_if(m_streams,
                  [handle](const auto& entry) { return entry.second.connection == handle; });
    OpenConnection open;
    {
        const std::lock_guard lock(m_connectionsMutex);
        open = std::move(it->second);
        m_connections.erase(it);
    }
    m_site->connections().giveBack(open.connectionString, std::move(open.connection));
}

void PageBridge::stopStatements() {
    const std::lock_guard lock(m_connectionsMutex);
    for (const auto& [handle, open] : m_connections) {
        if (open.connection)
            open.connection->interrupt();
    }
}

QVariant PageBridge::applicationValue(const QString& name) {
    const QVariant value = m_site->application().value(name);
    return value.isValid() ? value : QVariant();
}

void PageBridge::setApplicationValue(const QString& name, const QVariant& value) {
    m_site->application().setValue(name, plainValue(value));
}

void PageBridge::removeApplicationValue(const QString& name) {
    m_site->application().remove(name);
}

void PageBridge::removeAllApplicationValues() {
    m_site->application().clear();
}

QStringList PageBridge::applicationNames() {
    return m_site->application().names();
}

void PageBridge::lockApplication() {
    m_site->application().lock().lock();
    ++m_applicationLocks;
}

void PageBridge::unlockApplication() {
    if (m_applicationLocks == 0)
        return;
    m_site->application().lock().unlock();
    --m_applicationLocks;
}

} // namespace ordwick::preview
