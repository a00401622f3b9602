// A script engine with the ASP objects, kept by one thread of the server and
// reused for the requests it serves.
#pragma once

#include "preview/asptranslator.h"
#include "preview/requestdata.h"

#include <QHash>
#include <QJSEngine>
#include <QJSValue>
#include <QVariantMap>
#include <memory>

namespace ordwick::preview {

class PageBridge;
class ResponseOutlet;
class Site;
struct SessionState;

struct AspRequest {
    QString sitePath; // "/customers_index.asp"
    // query, form, cookies and variables as [name, value] lists; rawQuery,
    // rawForm and totalBytes.
    QVariantMap info;
    // The page's session, whose queue runs this page alone; null when the
    // page turns session state off.
    std::shared_ptr<SessionState> session;
    // Headers the server adds to the page's own (a new session's cookie).
    HeaderList extraHeaders;
};

// Where and why a script failed, as the server's error page says it.
struct ScriptError {
    QString source = QStringLiteral("JScript runtime"); // "JScript runtime", "ADODB.Recordset"
    QString code;                                       // "800a01b6", "ASP 0113"
    QString description;
    QString file; // site path of the page or include
    int line = 0;

    QString html() const;
};

class ScriptRuntime {
public:
    ScriptRuntime();
    ~ScriptRuntime();
    ScriptRuntime(const ScriptRuntime&) = delete;
    ScriptRuntime& operator=(const ScriptRuntime&) = delete;

    // The runtime of the calling thread, made on first use.
    static ScriptRuntime& forThisThread();

    // Runs a page and returns its answer: a 500 with the error text when the
    // page fails or runs past its time. What the page flushed went to outlet
    // already; the answer returned is then the rest of the body.
    HttpResponse run(Site& site, const std::shared_ptr<const TranslatedPage>& page,
                     const AspRequest& request, ResponseOutlet& outlet);

    // Response.Flush: state is the response as the page has set it so far.
    // False when the client no longer reads.
    bool flush(const QJSValue& state, const QString& body);

    // Server.Execute and Server.Transfer: runs another page of the site
    // within the running request. Returns { error } when it fails.
    QJSValue executeNested(Site& site, const QString& path, const QString& currentPage,
                           bool transfer);

private:
    struct Compiled {
        std::shared_ptr<const TranslatedPage> page;
        QJSValue function;
    };

    QJSValue function(const std::shared_ptr<const TranslatedPage>& page, QJSValue& error);
    ScriptError describe(const QJSValue& error) const;
    QJSValue errorObject(const QString& source, const QString& code, const QString& text);
    // Status and headers of the response state the ASP objects keep, with
    // the ones the server adds to the request's answer.
    HttpResponse headOf(const QJSValue& state, const AspRequest& request) const;

    QJSEngine m_engine;
    std::unique_ptr<PageBridge> m_bridge;
    QJSValue m_begin;
    QJSValue m_run;
    QJSValue m_enter;
    QJSValue m_leave;
    QJSValue m_finish;
    QJSValue m_cleanup;
    QHash<quint64, Compiled> m_compiled; // by translation serial
    QHash<QString, quint64> m_serialOfPage;
    // Of the request running, while it runs.
    const AspRequest* m_request = nullptr;
    ResponseOutlet* m_outlet = nullptr;
};

} // namespace ordwick::preview
