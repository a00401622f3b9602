// Answers the requests for one site as IIS would: pages run, static files
// sent with their types and validators, everything else refused.
#pragma once

#include "preview/requestdata.h"

#include <QString>
#include <QThreadPool>
#include <optional>

namespace ordwick::preview {

class Site;

class SiteServer {
public:
    // The query parameter that hands the access key over.
    static inline const QString kKeyParameter = QStringLiteral("preview_token");

    // pageThreads: how many pages run at once, each on a thread that keeps
    // its script engine from page to page. accessKey: when not empty, only
    // clients that have it are answered; the address with the key in its
    // query gets it as a cookie and is sent on without it.
    SiteServer(Site& site, int pageThreads, QString accessKey = {});
    ~SiteServer();

    // Safe to call from any thread of the HTTP server.
    HttpResponse handle(const HttpRequest& request);

    // The page a browser opens first, as a path from the site's root
    // ("clients.asp"): a default document, else the generated list page.
    static QString indexPage(const QString& siteFolder);

    // A refusal with a short HTML page.
    static HttpResponse errorResponse(int status, const QString& text);

private:
    // The answer to a request that does not hold the access key or that
    // hands it over; nothing when the request may go on.
    std::optional<HttpResponse> keyCheck(const HttpRequest& request) const;
    QByteArray keyCookieName(const HttpRequest& request) const;
    HttpResponse servePage(const HttpRequest& request, const QString& sitePath,
                           const QString& file);
    HttpResponse serveStatic(const HttpRequest& request, const QString& file,
                             const QByteArray& type);

    Site& m_site;
    const QString m_accessKey;
    // Pages run here, not on the thread that answers the request, so that a
    // page can send its head and go on writing while that thread sends.
    QThreadPool m_pageThreads;
};

} // namespace ordwick::preview
