// Answers the requests for one site as IIS would: pages run, static files
// sent with their types and validators, everything else refused.
#pragma once

#include "preview/requestdata.h"

#include <QString>

namespace ordwick::preview {

class Site;

class SiteServer {
public:
    explicit SiteServer(Site& site) : m_site(site) {}

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
    bool deniedFolder(const QString& sitePath) const;

    Site& m_site;
};

} // namespace ordwick::preview
