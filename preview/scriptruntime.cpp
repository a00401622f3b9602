#include "preview/scriptruntime.h"

#include "preview/pagebridge.h"
#include "preview/responseoutlet.h"
#include "preview/site.h"

#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringEncoder>
#include <malloc.h>
#include <mutex>
#include <optional>

namespace ordwick::preview {

namespace {

constexpr int kUtf8CodePage = 65001;
constexpr qsizetype kCompiledPagesKept = 128;

QString htmlEscaped(const QString& text) {
    return text.toHtmlEscaped();
}

QByteArray httpDate(const QDateTime& when) {
    return QLocale::c()
        .toString(when.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

// The reason phrase goes; the code stays ("302 Object moved" -> 302).
int statusCode(const QString& status) {
    const int code = status.left(3).toInt();
    return code >= 100 && code <= 999 ? code : 200;
}

QByteArray encodeBody(const QString& body, int codePage) {
    if (codePage == 1252 || codePage == 28591)
        return body.toLatin1();
    return body.toUtf8();
}

// Text from a page that goes into a header: no line breaks.
QByteArray headerText(const QString& text) {
    QString clean = text;
    clean.remove(QLatin1Char('\r'));
    clean.remove(QLatin1Char('\n'));
    return clean.toUtf8();
}

QByteArray cookieLine(const QJSValue& cookie) {
    QByteArray line = headerText(cookie.property(QStringLiteral("name")).toString()) + '=' +
                      headerText(cookie.property(QStringLiteral("value")).toString());
    const QJSValue expires = cookie.property(QStringLiteral("expires"));
    if (expires.isDate())
        line += "; expires=" + httpDate(expires.toDateTime());
    const QString domain = cookie.property(QStringLiteral("domain")).toString();
    if (!domain.isEmpty())
        line += "; domain=" + headerText(domain);
    line += "; path=" + headerText(cookie.property(QStringLiteral("path")).toString());
    if (cookie.property(QStringLiteral("secure")).toBool())
        line += "; secure";
    if (cookie.property(QStringLiteral("httpOnly")).toBool())
        line += "; HttpOnly";
    return line;
}

// JScript's own wording of the engine's messages.
void jscriptWording(const QString& name, const QString& message, ScriptError& error) {
    static const QRegularExpression undefinedName(QStringLiteral("^(.+) is not defined$"));
    static const QRegularExpression notMethod(
        QStringLiteral("^Property '(.+)' of object .* is not a function$"));
    static const QRegularExpression notFunction(QStringLiteral("^(.+) is not a function$"));
    static const QRegularExpression nullProperty(
        QStringLiteral("^Cannot read property '(.+)' of (null|undefined)$"));
    QRegularExpressionMatch m;
    if (name == QLatin1String("ReferenceError") && (m = undefinedName.match(message)).hasMatch()) {
        error.code = QStringLiteral("800a1391");
        error.description = QStringLiteral("'%1' is undefined").arg(m.captured(1));
    } else if (name == QLatin1String("TypeError") && notMethod.match(message).hasMatch()) {
        error.code = QStringLiteral("800a01b6");
        error.description = QStringLiteral("Object doesn't support this property or method");
    } else if (name == QLatin1String("TypeError") && notFunction.match(message).hasMatch()) {
        error.code = QStringLiteral("800a138a");
        error.description = QStringLiteral("Function expected");
    } else if (name == QLatin1String("TypeError") && (m = nullProperty.match(message)).hasMatch()) {
        error.code = QStringLiteral("800a138f");
        error.description =
            QStringLiteral("Unable to get value of the property '%1': object is null or undefined")
                .arg(m.captured(1));
    } else if (name == QLatin1String("SyntaxError")) {
        error.source = QStringLiteral("JScript compilation");
        error.code = QStringLiteral("800a03ea");
        error.description = QStringLiteral("Syntax error (%1)").arg(message);
    } else if (name == QLatin1String("RangeError") && message.contains(QLatin1String("stack"))) {
        error.code = QStringLiteral("800a001c");
        error.description = QStringLiteral("Out of stack space");
    } else {
        error.code = QStringLiteral("800a139e");
        error.description = message;
    }
}

} // namespace

QString ScriptError::html() const {
    QString text = QStringLiteral("<font face=\"Arial\" size=2>\n<p>%1 </font> <font "
                                  "face=\"Arial\" size=2>error '%2'</font>\n<p>\n<font "
                                  "face=\"Arial\" size=2>%3</font>\n<p>\n")
                       .arg(htmlEscaped(source), htmlEscaped(code), htmlEscaped(description));
    if (!file.isEmpty()) {
        text += QStringLiteral("<font face=\"Arial\" size=2>%1</font>").arg(htmlEscaped(file));
        if (line > 0)
            text += QStringLiteral("<font face=\"Arial\" size=2>, line %1</font>").arg(line);
        text += QLatin1Char('\n');
    }
    return text;
}

ScriptRuntime::ScriptRuntime() : m_bridge(std::make_unique<PageBridge>(m_engine, *this)) {
    // The engine's compiler notes a page's variables used before their
    // declaration; in classic ASP pages that is ordinary, not worth a line.
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qml.compiler.warning=false"));
    });
    QFile file(QStringLiteral(":/preview/aspobjects.js"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The preview's ASP objects are missing from the program.");
    const QJSValue setup =
        m_engine.evaluate(QString::fromUtf8(file.readAll()), QStringLiteral("aspobjects.js"));
    if (setup.isError())
        qFatal("The preview's ASP objects do not load: %s", qPrintable(setup.toString()));
    const QJSValue api = setup.call({m_engine.newQObject(m_bridge.get())});
    if (api.isError())
        qFatal("The preview's ASP objects do not start: %s", qPrintable(api.toString()));
    QJSEngine::setObjectOwnership(m_bridge.get(), QJSEngine::CppOwnership);
    m_begin = api.property(QStringLiteral("begin"));
    m_run = api.property(QStringLiteral("run"));
    m_enter = api.property(QStringLiteral("enter"));
    m_leave = api.property(QStringLiteral("leave"));
    m_finish = api.property(QStringLiteral("finish"));
    m_cleanup = api.property(QStringLiteral("cleanup"));
}

ScriptRuntime::~ScriptRuntime() = default;

ScriptRuntime& ScriptRuntime::forThisThread() {
    thread_local std::unique_ptr<ScriptRuntime> runtime;
    if (!runtime)
        runtime = std::make_unique<ScriptRuntime>();
    return *runtime;
}

QJSValue ScriptRuntime::function(const std::shared_ptr<const TranslatedPage>& page,
                                 QJSValue& error) {
    const auto it = m_compiled.constFind(page->serial);
    if (it != m_compiled.cend())
        return it->function;
    const QString path = page->sources.isEmpty() ? QString() : page->sources.first().path;
    const auto old = m_serialOfPage.constFind(path);
    if (old != m_serialOfPage.cend())
        m_compiled.remove(*old);
    if (m_compiled.size() >= kCompiledPagesKept)
        m_compiled.clear();
    const QJSValue compiled =
        m_engine.evaluate(page->script, QStringLiteral("page-%1").arg(page->serial), 1);
    // The compilation unit's lines map to the page even when it does not compile.
    m_compiled.insert(page->serial, {page, compiled.isCallable() ? compiled : QJSValue()});
    m_serialOfPage.insert(path, page->serial);
    if (!compiled.isCallable()) {
        error = compiled;
        return {};
    }
    return compiled;
}

QJSValue ScriptRuntime::errorObject(const QString& source, const QString& code,
                                    const QString& text) {
    QJSValue error = m_engine.newErrorObject(QJSValue::GenericError, text);
    error.setProperty(QStringLiteral("aspSource"), source);
    error.setProperty(QStringLiteral("aspCode"), code);
    error.setProperty(QStringLiteral("description"), text);
    QJSValue wrapped = m_engine.newObject();
    wrapped.setProperty(QStringLiteral("error"), error);
    return wrapped;
}

ScriptError ScriptRuntime::describe(const QJSValue& thrown) const {
    ScriptError error;
    if (!thrown.isObject()) {
        error.code = QStringLiteral("800a139e");
        error.description = QStringLiteral("Exception thrown and not caught");
        return error;
    }
    const QJSValue aspSource = thrown.property(QStringLiteral("aspSource"));
    if (aspSource.isString()) {
        error.source = aspSource.toString();
        error.code = thrown.property(QStringLiteral("aspCode")).toString();
        error.description = thrown.property(QStringLiteral("description")).toString();
    } else if (thrown.isError()) {
        jscriptWording(thrown.property(QStringLiteral("name")).toString(),
                       thrown.property(QStringLiteral("message")).toString(), error);
        const QJSValue number = thrown.property(QStringLiteral("number"));
        if (number.isNumber() && error.code == QLatin1String("800a139e"))
            error.code = QString::number(static_cast<quint32>(number.toInt()), 16);
        const QJSValue description = thrown.property(QStringLiteral("description"));
        if (description.isString() &&
            thrown.property(QStringLiteral("name")).toString() == QLatin1String("Error"))
            error.description = description.toString();
    } else {
        error.code = QStringLiteral("800a139e");
        error.description = QStringLiteral("Exception thrown and not caught");
        return error;
    }
    // The innermost frame in a page names the line; frames in the ASP
    // objects themselves are the server's, not the page's.
    static const QRegularExpression frame(QStringLiteral(R"re(file:page-(\d+):(\d+))re"));
    QString where = thrown.property(QStringLiteral("stack")).toString();
    QRegularExpressionMatch m = frame.match(where);
    if (!m.hasMatch()) {
        where = thrown.property(QStringLiteral("fileName")).toString() + QLatin1Char(':') +
                thrown.property(QStringLiteral("lineNumber")).toString();
        m = frame.match(where);
    }
    if (m.hasMatch()) {
        const auto it = m_compiled.constFind(m.captured(1).toULongLong());
        if (it != m_compiled.cend()) {
            const SourceLine origin = it->page->origin(m.captured(2).toInt());
            error.file = origin.file;
            error.line = origin.line;
        }
    }
    return error;
}

HttpResponse ScriptRuntime::headOf(const QJSValue& state, const AspRequest& request) const {
    HttpResponse response;
    response.status = statusCode(state.property(QStringLiteral("status")).toString());
    QString contentType = state.property(QStringLiteral("contentType")).toString();
    const QString charset = state.property(QStringLiteral("charset")).toString();
    if (!charset.isEmpty())
        contentType += QStringLiteral("; charset=") + charset;
    response.headers.append({"Content-Type", headerText(contentType)});
    response.headers.append(
        {"Cache-Control", headerText(state.property(QStringLiteral("cacheControl")).toString())});
    const QJSValue expires = state.property(QStringLiteral("expires"));
    const QJSValue expiresAbsolute = state.property(QStringLiteral("expiresAbsolute"));
    if (expires.isNumber())
        response.headers.append({"Expires", httpDate(QDateTime::currentDateTimeUtc().addSecs(
                                                static_cast<qint64>(expires.toNumber() * 60)))});
    else if (expiresAbsolute.isDate())
        response.headers.append({"Expires", httpDate(expiresAbsolute.toDateTime())});
    const QString location = state.property(QStringLiteral("location")).toString();
    if (!location.isEmpty())
        response.headers.append({"Location", headerText(location)});
    const QJSValue headers = state.property(QStringLiteral("headers"));
    const int headerCount = headers.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < headerCount; ++i) {
        const QJSValue pair = headers.property(static_cast<quint32>(i));
        response.headers.append(
            {headerText(pair.property(0).toString()), headerText(pair.property(1).toString())});
    }
    const QJSValue cookies = state.property(QStringLiteral("cookies"));
    const int cookieCount = cookies.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < cookieCount; ++i)
        response.headers.append(
            {"Set-Cookie", cookieLine(cookies.property(static_cast<quint32>(i)))});
    response.headers.append(request.extraHeaders);
    return response;
}

bool ScriptRuntime::flush(const QJSValue& state, const QString& body) {
    if (!m_outlet)
        return true;
    HttpResponse part = m_outlet->flushed() ? HttpResponse() : headOf(state, *m_request);
    part.body = encodeBody(body, state.property(QStringLiteral("codePage")).toInt());
    return m_outlet->flush(std::move(part));
}

HttpResponse ScriptRuntime::run(Site& site, const std::shared_ptr<const TranslatedPage>& page,
                                const AspRequest& request, ResponseOutlet& outlet) {
    m_engine.setInterrupted(false);
    const auto failure = [&](const ScriptError& error, const QByteArray& before) {
        HttpResponse response;
        response.status = 500;
        response.headers = request.extraHeaders;
        response.setHeader("Content-Type", "text/html; charset=utf-8");
        response.setHeader("Cache-Control", "private");
        response.body = before + error.html().toUtf8();
        return response;
    };
    if (page->failed()) {
        ScriptError error;
        error.source = QStringLiteral("Active Server Pages");
        error.code = page->errorCode;
        error.description = page->errorText;
        error.file = page->errorAt.file.isEmpty() ? request.sitePath : page->errorAt.file;
        error.line = page->errorAt.line;
        return failure(error, {});
    }
    QJSValue compileError;
    const QJSValue pageFunction = function(page, compileError);
    if (!pageFunction.isCallable())
        return failure(describe(compileError), {});

    QVariantMap info = request.info;
    info.insert(QStringLiteral("path"), request.sitePath);
    info.insert(QStringLiteral("codePage"), page->codePage > 0 ? page->codePage : kUtf8CodePage);
    info.insert(QStringLiteral("scriptTimeout"), site.limits().scriptTimeoutSeconds);
    if (request.session) {
        info.insert(QStringLiteral("session"),
                    QVariantMap{{QStringLiteral("id"), request.session->id},
                                {QStringLiteral("timeout"), request.session->timeoutMinutes.load()},
                                {QStringLiteral("values"), request.session->values}});
    }
    m_begin.call({m_engine.toScriptValue(info)});
    const quint64 watch =
        site.watchdog().watch(&m_engine, site.limits().scriptTimeoutSeconds,
                              [bridge = m_bridge.get()] { bridge->stopStatements(); });
    m_bridge->begin(site, watch);
    m_request = &request;
    m_outlet = &outlet;
    const QJSValue outcome = m_run.call({pageFunction});
    m_request = nullptr;
    m_outlet = nullptr;
    const Watchdog::Stop stopped = site.watchdog().release(watch);
    m_engine.setInterrupted(false);

    std::optional<ScriptError> error;
    if (stopped == Watchdog::Stop::Memory) {
        // As JScript reports a script that runs out of memory on the server.
        ScriptError e;
        e.source = QStringLiteral("Microsoft JScript runtime");
        e.code = QStringLiteral("800a0007");
        e.description = QStringLiteral("Out of memory");
        e.file = request.sitePath;
        error = e;
    } else if (stopped == Watchdog::Stop::Timeout) {
        ScriptError e;
        e.source = QStringLiteral("Active Server Pages");
        e.code = QStringLiteral("ASP 0113");
        e.description = QStringLiteral(
            "Script timed out: the maximum amount of time for a script to execute was exceeded. "
            "You can change this limit by specifying a new value for the property "
            "Server.ScriptTimeout.");
        e.file = request.sitePath;
        error = e;
    } else if (outcome.isError() && !m_bridge->endRequested()) {
        error = describe(outcome);
    } else if (outcome.isObject() && !outcome.isError()) {
        error = describe(outcome.property(QStringLiteral("error")));
    }

    const QJSValue finished = m_finish.call();
    m_bridge->finish();
    m_cleanup.call();
    if (stopped == Watchdog::Stop::Memory) {
        // What the page held goes now, and back to the system, not at some
        // later collection.
        m_engine.collectGarbage();
        malloc_trim(0);
    }

    const int codePage = finished.property(QStringLiteral("codePage")).toInt();
    const QByteArray body =
        encodeBody(finished.property(QStringLiteral("body")).toString(), codePage);
    if (request.session) {
        const QJSValue session = finished.property(QStringLiteral("session"));
        if (session.property(QStringLiteral("abandoned")).toBool()) {
            site.sessions().remove(request.session->id);
        } else {
            request.session->values =
                session.property(QStringLiteral("values")).toVariant().toMap();
            request.session->timeoutMinutes =
                qMax(1, session.property(QStringLiteral("timeout")).toInt());
        }
    }
    if (error)
        return failure(*error, body);

    HttpResponse response = headOf(finished, request);
    response.body = body;
    return response;
}

QJSValue ScriptRuntime::executeNested(Site& site, const QString& path, const QString& currentPage,
                                      bool transfer) {
    const QString source =
        transfer ? QStringLiteral("Server.Transfer") : QStringLiteral("Server.Execute");
    QString target = path.section(QLatin1Char('?'), 0, 0);
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!target.startsWith(QLatin1Char('/')))
        target = currentPage.left(currentPage.lastIndexOf(QLatin1Char('/')) + 1) + target;
    const QString file = site.filePath(target);
    if (file.isEmpty() || !target.endsWith(QLatin1String(".asp"), Qt::CaseInsensitive) ||
        !QFile::exists(file))
        return errorObject(
            QStringLiteral("Server object"), QStringLiteral("ASP 0228"),
            QStringLiteral("%1 failed: the page '%2' cannot be loaded.").arg(source, path));
    const std::shared_ptr<const TranslatedPage> page = site.pages().page(file);
    if (page->failed())
        return errorObject(QStringLiteral("Active Server Pages"), page->errorCode,
                           QStringLiteral("%1, line %2: %3")
                               .arg(page->errorAt.file)
                               .arg(page->errorAt.line)
                               .arg(page->errorText));
    QJSValue compileError;
    const QJSValue pageFunction = function(page, compileError);
    if (!pageFunction.isCallable()) {
        QJSValue wrapped = m_engine.newObject();
        wrapped.setProperty(QStringLiteral("error"), compileError);
        return wrapped;
    }
    m_enter.call({target});
    const QJSValue outcome = m_run.call({pageFunction});
    m_leave.call();
    return outcome;
}

} // namespace ordwick::preview
