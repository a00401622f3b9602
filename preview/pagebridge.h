// The host's side of the ASP objects (aspobjects.js): what a page's script
// cannot do by itself — ending the page, data connections, paths, shared state.
#pragma once

#include "preview/database.h"

#include <QJSValue>
#include <QObject>
#include <QVariant>
#include <map>
#include <memory>
#include <mutex>

class QJSEngine;

namespace ordwick::preview {

class ScriptRuntime;
class Site;

class PageBridge : public QObject {
    Q_OBJECT

public:
    PageBridge(QJSEngine& engine, ScriptRuntime& runtime);
    ~PageBridge() override;

    // Around each request.
    void begin(Site& site, quint64 watch);
    void finish();
    bool endRequested() const { return m_ended; }
    // Stops the statements the page is running; from any thread.
    void stopStatements();

    Q_INVOKABLE void end();
    // Response.Flush: false when the client no longer reads.
    Q_INVOKABLE bool flush(const QJSValue& state, const QString& body);
    Q_INVOKABLE void setScriptTimeout(int seconds);
    Q_INVOKABLE void log(const QString& entry);
    Q_INVOKABLE QVariantMap mapPath(const QString& path, const QString& currentPage);
    Q_INVOKABLE QJSValue execute(const QString& path, const QString& currentPage, bool transfer);
    Q_INVOKABLE QString newGuid();

    Q_INVOKABLE QVariantMap openConnection(const QString& connectionString);
    Q_INVOKABLE QVariantMap query(int handle, const QString& sql, const QVariantList& parameters);
    // Rows of a forward-only read, a batch at a time: stream is 0 once the
    // rows handed over are the last.
    Q_INVOKABLE QVariantMap openRows(int handle, const QString& sql, const QVariantList& parameters,
                                     int batch);
    Q_INVOKABLE QVariantMap nextRows(int stream, int batch);
    Q_INVOKABLE void closeRows(int stream);
    Q_INVOKABLE QVariantMap transaction(int handle, const QString& step);
    Q_INVOKABLE void closeConnection(int handle);

    Q_INVOKABLE QVariant applicationValue(const QString& name);
    Q_INVOKABLE void setApplicationValue(const QString& name, const QVariant& value);
    Q_INVOKABLE void removeApplicationValue(const QString& name);
    Q_INVOKABLE void removeAllApplicationValues();
    Q_INVOKABLE QStringList applicationNames();
    Q_INVOKABLE void lockApplication();
    Q_INVOKABLE void unlockApplication();

private:
    QJSEngine& m_engine;
    ScriptRuntime& m_runtime;
    Site* m_site = nullptr;
    quint64 m_watch = 0;
    bool m_ended = false;
    int m_applicationLocks = 0;
    int m_nextHandle = 1;
    struct OpenConnection {
        QString connectionString;
        std::unique_ptr<DataConnection> connection;
    };
    // Hands a connection back to the site's pool once its reads are closed.
    void release(std::map<int, OpenConnection>::iterator it);
    std::map<int, OpenConnection> m_connections;
    // Guards m_connections against stopStatements() on the watchdog's thread;
    // the page's own thread reads it without.
    std::mutex m_connectionsMutex;
    struct OpenRows {
        int connection = 0;
        std::unique_ptr<RowStream> rows;
    };
    // Declared after the connections, so they go first.
    std::map<int, OpenRows> m_streams;
};

} // namespace ordwick::preview
