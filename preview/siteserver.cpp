#include "preview/siteserver.h"

#include "preview/responseoutlet.h"
#include "preview/scriptruntime.h"
#include "preview/site.h"
#include "preview/sitepaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUrl>

namespace ordwick::preview {

namespace {

const QStringList kDefaultDocuments = {
    QStringLiteral("default.asp"),  QStringLiteral("index.asp"), QStringLiteral("default.htm"),
    QStringLiteral("default.html"), QStringLiteral("index.htm"), QStringLiteral("index.html")};

// The types of the static files the site may hand out; a file of any other
// kind is not served, as IIS serves only the types it knows.
QByteArray mimeType(const QString& suffix) {
    static const QHash<QString, QByteArray> types = {
        {QStringLiteral("htm"), "text/html"},
        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("css"), "text/css"},
        {QStringLiteral("js"), "application/javascript"},
        {QStringLiteral("png"), "image/png"},
        {QStringLiteral("gif"), "image/gif"},
        {QStringLiteral("jpg"), "image/jpeg"},
        {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("ico"), "image/x-icon"},
        {QStringLiteral("svg"), "image/svg+xml"},
        {QStringLiteral("webp"), "image/webp"},
        {QStringLiteral("bmp"), "image/bmp"},
        {QStringLiteral("txt"), "text/plain"},
        {QStringLiteral("xml"), "text/xml"},
        {QStringLiteral("json"), "application/json"},
        {QStringLiteral("pdf"), "application/pdf"},
        {QStringLiteral("csv"), "text/csv"},
        {QStringLiteral("woff"), "font/woff"},
        {QStringLiteral("woff2"), "font/woff2"},
        {QStringLiteral("ttf"), "font/ttf"},
        {QStringLiteral("zip"), "application/zip"},
    };
    return types.value(suffix.toLower());
}

QByteArray httpDate(const QDateTime& when) {
    return QLocale::c()
        .toString(when.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

QDateTime parseHttpDate(const QByteArray& text) {
    QDateTime when = QLocale::c().toDateTime(QString::fromLatin1(text).trimmed(),
                                             QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    when.setTimeSpec(Qt::UTC);
    return when;
}

// IIS's server variables for the request.
QVariantList serverVariables(const HttpRequest& request, const QString& sitePath,
                             const QString& file, const QString& root) {
    QVariantList list;
    const auto add = [&](const char* name, const QString& value) {
        list.append(QVariant(QVariantList{QString::fromLatin1(name), value}));
    };
    const QString host = QString::fromLatin1(request.header("Host"));
    add("REQUEST_METHOD", QString::fromLatin1(request.method));
    add("QUERY_STRING", QString::fromLatin1(request.rawQuery()));
    add("SCRIPT_NAME", sitePath);
    add("PATH_INFO", sitePath);
    add("URL", sitePath);
    add("PATH_TRANSLATED", file);
    add("APPL_PHYSICAL_PATH", root + QLatin1Char('/'));
    add("APPL_MD_PATH", QStringLiteral("/LM/W3SVC/1/ROOT"));
    add("SERVER_NAME", host.section(QLatin1Char(':'), 0, 0).isEmpty()
                           ? QStringLiteral("127.0.0.1")
                           : host.section(QLatin1Char(':'), 0, 0));
    add("SERVER_PORT", QString::number(request.localPort));
    add("SERVER_PORT_SECURE", QStringLiteral("0"));
    add("SERVER_PROTOCOL", QString::fromLatin1(request.version));
    add("SERVER_SOFTWARE", QStringLiteral("ordwick-preview"));
    add("GATEWAY_INTERFACE", QStringLiteral("CGI/1.1"));
    add("HTTPS", QStringLiteral("off"));
    add("REMOTE_ADDR", request.remoteAddress);
    add("REMOTE_HOST", request.remoteAddress);
    add("REMOTE_PORT", QString::number(request.remotePort));
    add("LOCAL_ADDR", QStringLiteral("127.0.0.1"));
    add("AUTH_TYPE", QString());
    add("AUTH_USER", QString());
    add("LOGON_USER", QString());
    add("REMOTE_USER", QString());
    add("CONTENT_TYPE", QString::fromLatin1(request.header("Content-Type")));
    add("CONTENT_LENGTH", QString::number(request.body.size()));
    QString allHttp;
    QString allRaw;
    for (const auto& [name, value] : request.headers) {
        const QString key =
            QStringLiteral("HTTP_") + QString::fromLatin1(name).toUpper().replace(u'-', u'_');
        add(key.toLatin1().constData(), decodeText(value));
        allHttp += key + QLatin1Char(':') + decodeText(value) + QLatin1Char('\n');
        allRaw += QString::fromLatin1(name) + QStringLiteral(": ") + decodeText(value) +
                  QLatin1Char('\n');
    }
    add("ALL_HTTP", allHttp);
    add("ALL_RAW", allRaw);
    return list;
}

// Whether the request names this preview as its host: the loopback address or
// "localhost" with the port it listens on. A page elsewhere that rebinds its
// own host name to 127.0.0.1 sends that name, and is refused, so it cannot
// read the preview (and through it the user's database).
bool namesThisHost(const HttpRequest& request) {
    QByteArrayList hosts;
    for (const auto& [name, value] : request.headers) {
        if (name.compare("Host", Qt::CaseInsensitive) == 0)
            hosts.append(value.trimmed().toLower());
    }
    if (hosts.isEmpty())
        return request.version == "HTTP/1.0"; // sent before browsers named hosts
    const QByteArray port = ':' + QByteArray::number(request.localPort);
    return hosts.size() == 1 &&
           (hosts.first() == "127.0.0.1" + port || hosts.first() == "localhost" + port);
}

// Compares every byte whatever differs first, so that the time an answer
// takes does not tell how much of a guessed key was right.
bool sameKey(const QByteArray& offered, const QByteArray& key) {
    if (offered.size() != key.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < key.size(); ++i)
        difference |= static_cast<unsigned char>(offered.at(i) ^ key.at(i));
    return difference == 0;
}

const char* const kPrivatePreview =
    "This preview answers only the browser it was opened in. Open it with the wizard's "
    "Preview button, or with the whole address ordwick-preview printed: that address "
    "carries the preview's token.";

QVariantList pairList(const QList<QPair<QString, QString>>& pairs) {
    QVariantList list;
    list.reserve(pairs.size());
    for (const auto& [name, value] : pairs)
        list.append(QVariant(QVariantList{name, value}));
    return list;
}

} // namespace

SiteServer::SiteServer(Site& site, int pageThreads, QString accessKey)
    : m_site(site), m_accessKey(std::move(accessKey)) {
    m_pageThreads.setMaxThreadCount(pageThreads);
    // A thread that ended would take its compiled pages with it.
    m_pageThreads.setExpiryTimeout(-1);
}

SiteServer::~SiteServer() {
    m_pageThreads.waitForDone();
}

HttpResponse SiteServer::errorResponse(int status, const QString& text) {
    HttpResponse response;
    response.status = status;
    response.setHeader("Content-Type", "text/html; charset=utf-8");
    response.setHeader("Cache-Control", "private");
    response.body = QStringLiteral("<!DOCTYPE html>\n<html><head><title>%1</title></head>"
                                   "<body><h1>%1</h1><p>%2</p></body></html>\n")
                        .arg(status)
                        .arg(text.toHtmlEscaped())
                        .toUtf8();
    return response;
}

QString SiteServer::indexPage(const QString& siteFolder) {
    const QDir dir(siteFolder);
    for (const QString& name : kDefaultDocuments) {
        if (QFileInfo(dir.filePath(name)).isFile())
            return name;
    }
    // The generated pages name their list page in the variable page.
    static const QRegularExpression pages(
        QStringLiteral(R"re(var OW_PAGES = \{\s*index:\s*"([^"]+)")re"));
    const QDir include(dir.filePath(QStringLiteral("include")));
    for (const QString& name : include.entryList({QStringLiteral("*.asp")}, QDir::Files)) {
        QFile file(include.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QRegularExpressionMatch m = pages.match(QString::fromUtf8(file.readAll()));
        if (m.hasMatch() &&
            QFileInfo(dir.filePath(QUrl::fromPercentEncoding(m.captured(1).toUtf8()))).isFile())
            return m.captured(1);
    }
    const QStringList lists = dir.entryList({QStringLiteral("*_index.asp")}, QDir::Files);
    if (!lists.isEmpty())
        return lists.first();
    const QStringList any = dir.entryList({QStringLiteral("*.asp")}, QDir::Files);
    return any.isEmpty() ? QString() : any.first();
}

HttpResponse SiteServer::handle(const HttpRequest& request) {
    if (!namesThisHost(request))
        return errorResponse(400, QStringLiteral("Bad Request: invalid host name. The preview "
                                                 "answers only at 127.0.0.1 or localhost with "
                                                 "its own port."));
    if (std::optional<HttpResponse> answer = keyCheck(request))
        return *answer;
    QString sitePath;
    const int refused = decodeRequestPath(request.rawPath(), sitePath);
    if (refused == 400)
        return errorResponse(400, QStringLiteral("Bad Request: the path of the request is not "
                                                 "allowed."));
    if (refused != 0 || closedPlace(m_site.root(), sitePath))
        return errorResponse(404, QStringLiteral("The page cannot be found."));
    QString file = m_site.filePath(sitePath);
    if (file.isEmpty())
        return errorResponse(400, QStringLiteral("Bad Request: the path leaves the site."));
    QFileInfo info(file);
    if (info.isDir()) {
        if (!sitePath.endsWith(QLatin1Char('/'))) {
            HttpResponse moved = errorResponse(301, QStringLiteral("Object moved."));
            moved.setHeader("Location", QUrl::toPercentEncoding(sitePath + QLatin1Char('/'), "/"));
            return moved;
        }
        QString found;
        for (const QString& name : kDefaultDocuments) {
            if (QFileInfo(QDir(file).filePath(name)).isFile()) {
                found = name;
                break;
            }
        }
        if (found.isEmpty())
            return errorResponse(403, QStringLiteral("Directory listing is denied."));
        sitePath += found;
        file = QDir(file).filePath(found);
        info = QFileInfo(file);
    }
    if (!info.isFile() || sitePath.endsWith(QLatin1Char('/')))
        return errorResponse(404, QStringLiteral("The page cannot be found."));
    // A link may lead neither out of the site's folder nor into a place the
    // site never hands out, and the file it leads to decides how it is served:
    // a link named .txt to a page must not hand out the page's source, so a
    // link that changes the kind of file is not followed.
    const QString real = realSitePath(m_site.root(), file);
    const QString suffix = info.suffix().toLower();
    if (real.isEmpty() || closedPlace(m_site.root(), real) ||
        QFileInfo(real).suffix().toLower() != suffix)
        return errorResponse(404, QStringLiteral("The page cannot be found."));
    if (suffix == QLatin1String("asp")) {
        if (request.method != "GET" && request.method != "HEAD" && request.method != "POST")
            return errorResponse(405, QStringLiteral("The method is not allowed for this page."));
        return servePage(request, sitePath, file);
    }
    const QByteArray type = mimeType(suffix);
    if (type.isEmpty())
        return errorResponse(404, QStringLiteral("The page cannot be found."));
    if (request.method != "GET" && request.method != "HEAD")
        return errorResponse(405, QStringLiteral("The method is not allowed for this file."));
    return serveStatic(request, file, type);
}

QByteArray SiteServer::keyCookieName(const HttpRequest& request) const {
    // Browsers keep cookies per host name, not per port: each preview names
    // its own, so that two previews open at once do not shut each other out.
    return "ordwick_preview_" + QByteArray::number(request.localPort);
}

std::optional<HttpResponse> SiteServer::keyCheck(const HttpRequest& request) const {
    if (m_accessKey.isEmpty())
        return std::nullopt;
    const QByteArray key = m_accessKey.toLatin1();
    const QByteArray parameter = kKeyParameter.toLatin1() + '=';
    const QByteArray cookieName = keyCookieName(request);
    std::optional<QByteArray> offered;
    QByteArrayList rest;
    for (const QByteArray& item : request.rawQuery().split('&')) {
        if (item.startsWith(parameter))
            offered = item.mid(parameter.size());
        else if (!item.isEmpty())
            rest.append(item);
    }
    if (offered) {
        if (!sameKey(*offered, key))
            return errorResponse(403, QString::fromLatin1(kPrivatePreview));
        // The key goes into a cookie and out of the address bar.
        HttpResponse moved = errorResponse(302, QStringLiteral("Object moved."));
        moved.setHeader("Location",
                        request.rawPath() + (rest.isEmpty() ? QByteArray() : '?' + rest.join('&')));
        moved.setHeader("Set-Cookie",
                        cookieName + '=' + key + "; path=/; HttpOnly; SameSite=Strict");
        return moved;
    }
    for (const auto& [name, value] : parseCookieHeader(request.header("Cookie"))) {
        if (name.toLatin1() == cookieName && sameKey(value.toLatin1(), key))
            return std::nullopt;
    }
    return errorResponse(403, QString::fromLatin1(kPrivatePreview));
}

HttpResponse SiteServer::serveStatic(const HttpRequest& request, const QString& file,
                                     const QByteArray& type) {
    const QFileInfo info(file);
    const QDateTime modified = info.lastModified().toUTC();
    const QByteArray etag = '"' + QByteArray::number(modified.toMSecsSinceEpoch(), 16) + '-' +
                            QByteArray::number(info.size(), 16) + '"';
    HttpResponse response;
    response.setHeader("Content-Type", type);
    response.setHeader("Last-Modified", httpDate(modified));
    response.setHeader("ETag", etag);
    // The files of a preview change under it: browsers ask again each time and
    // get 304 while nothing changed.
    response.setHeader("Cache-Control", "no-cache");
    response.setHeader("X-Content-Type-Options", "nosniff");
    const QByteArray ifNoneMatch = request.header("If-None-Match");
    const QByteArray ifModifiedSince = request.header("If-Modified-Since");
    bool unchanged = false;
    if (!ifNoneMatch.isEmpty()) {
        for (const QByteArray& tag : ifNoneMatch.split(','))
            unchanged = unchanged || tag.trimmed() == etag || tag.trimmed() == "*";
    } else if (!ifModifiedSince.isEmpty()) {
        const QDateTime since = parseHttpDate(ifModifiedSince);
        unchanged = since.isValid() && modified.toSecsSinceEpoch() <= since.toSecsSinceEpoch();
    }
    if (unchanged) {
        response.status = 304;
        return response;
    }
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return errorResponse(403, QStringLiteral("The file cannot be read."));
    response.body = input.readAll();
    return response;
}

HttpResponse SiteServer::servePage(const HttpRequest& request, const QString& sitePath,
                                   const QString& file) {
    const std::shared_ptr<const TranslatedPage> page = m_site.pages().page(file);
    AspRequest asp;
    asp.sitePath = sitePath;
    const QByteArray query = request.rawQuery();
    const QByteArray contentType = request.header("Content-Type").toLower();
    const bool formBody =
        request.method == "POST" && contentType.startsWith("application/x-www-form-urlencoded");
    // The preview's own key is none of the page's business.
    QList<QPair<QString, QString>> cookies = parseCookieHeader(request.header("Cookie"));
    const QString keyCookie = QString::fromLatin1(keyCookieName(request));
    cookies.removeIf([&keyCookie](const auto& cookie) { return cookie.first == keyCookie; });
    asp.info.insert(QStringLiteral("query"), pairList(parseFormText(query)));
    asp.info.insert(QStringLiteral("form"), pairList(formBody ? parseFormText(request.body)
                                                              : QList<QPair<QString, QString>>()));
    asp.info.insert(QStringLiteral("cookies"), pairList(cookies));
    asp.info.insert(QStringLiteral("variables"),
                    serverVariables(request, sitePath, file, m_site.root()));
    asp.info.insert(QStringLiteral("rawQuery"), QString::fromLatin1(query));
    asp.info.insert(QStringLiteral("rawForm"),
                    formBody ? QString::fromLatin1(request.body) : QString());
    asp.info.insert(QStringLiteral("totalBytes"), request.body.size());

    std::shared_ptr<SessionState> session;
    if (page->sessionState) {
        SessionStore& sessions = m_site.sessions();
        const QString cookieName = sessions.cookieName();
        for (const auto& [name, value] : cookies) {
            if (name.compare(cookieName, Qt::CaseInsensitive) == 0) {
                session = sessions.find(value);
                if (session)
                    break;
            }
        }
        if (!session) {
            session = sessions.create();
            asp.extraHeaders.append(
                {"Set-Cookie",
                 (cookieName + QLatin1Char('=') + session->id).toLatin1() + "; path=/; HttpOnly"});
        }
        asp.session = session;
    }

    auto outlet = std::make_shared<ResponseOutlet>();
    std::future<HttpResponse> head = outlet->head();
    auto run = [this, page, asp = std::move(asp), outlet] {
        ScriptRuntime& runtime = ScriptRuntime::forThisThread();
        if (asp.session)
            m_site.sessions().touch(asp.session->id);
        HttpResponse last = runtime.run(m_site, page, asp, *outlet);
        if (asp.session)
            m_site.sessions().touch(asp.session->id);
        outlet->finish(std::move(last));
    };
    if (!session)
        m_pageThreads.start(std::move(run));
    else if (!session->queue.submit(m_pageThreads, std::move(run), session))
        return errorResponse(503, QStringLiteral("Server Too Busy: too many requests of this "
                                                 "session wait for the page it runs."));
    return head.get();
}

} // namespace ordwick::preview
