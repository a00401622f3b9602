// Answers the requests for one site as IIS would: pages run, static files
// sent with their types and validators, everything else refused.
#pragma once

#include "preview/requestdata.h"

#include <QString>
#include <QThreadPool>

namespace ordwick::preview {

class Site;

class SiteServer {
public:
    // pageThreads: how many pages run at once, each on a thread that keeps
    // its script engine from page to page.
    SiteServer(Site& site, int pageThreads);
    ~SiteServer();

    // Safe to call from any thread of the HTTP server.
    HttpResponse handle(const HttpRequest& request);

    // The page a browser opens first, as a path from the site's root
    // ("clients.asp"): a default document, else the generated list page.
    static QString indexPage(const QString& siteFolder);

    // A refusal with a short HTML page.
    static HttpResponse errorResponse(int status, const QString& text);

private:
    HttpResponse servePage(const HttpRequest& request, const QString& sitePath,
                           const QString& file);
    HttpResponse serveStatic(const HttpRequest& request, const QString& file,
                             const QByteArray& type);

    Site& m_site;
    // Pages run here, not on the thread that answers the request, so that a
    // page can send its head and go on writing while that thread sends.
    QThreadPool m_pageThreads;
};

} // namespace ordwick::preview
