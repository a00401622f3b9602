// What the requests of one running site share: its folder, translated pages,
// sessions, Application state and the watchdog of its scripts.
#pragma once

#include "preview/connectionpool.h"
#include "preview/pagecache.h"
#include "preview/sessionstore.h"
#include "preview/sourcecopy.h"
#include "preview/watchdog.h"

#include <QString>
#include <chrono>

namespace ordwick::preview {

struct SiteLimits {
    int scriptTimeoutSeconds = 90;   // Server.ScriptTimeout's default
    qsizetype maxBodyBytes = 200000; // the largest request body a page accepts
    // The host's resident memory past which the page that has run longest is
    // stopped (0: no limit).
    qint64 memoryLimitBytes = qint64(2) << 30;
    // The time a client has to send a request's head whole.
    std::chrono::milliseconds requestHeadDeadline{10000};
};

class Site {
public:
    explicit Site(const QString& root, SiteLimits limits = {});

    const QString& root() const { return m_root; }
    const SiteLimits& limits() const { return m_limits; }
    PageCache& pages() { return m_pages; }
    SessionStore& sessions() { return m_sessions; }
    ApplicationState& application() { return m_application; }
    Watchdog& watchdog() { return m_watchdog; }
    SourceCopies& sourceCopies() { return m_sourceCopies; }
    ConnectionPool& connections() { return m_connections; }

    // The file of a site path ("/include/a.asp"), or empty when the path
    // leaves the site's folder.
    QString filePath(const QString& sitePath) const;

    // Server.MapPath: a path relative to the page running, or from the site's
    // root when it starts with "/". error: the server's message when refused.
    QString mapPath(const QString& path, const QString& currentPage, QString& errorCode,
                    QString& error) const;

private:
    QString m_root;
    SiteLimits m_limits;
    PageCache m_pages;
    SessionStore m_sessions;
    ApplicationState m_application;
    Watchdog m_watchdog;
    SourceCopies m_sourceCopies;
    ConnectionPool m_connections;
};

} // namespace ordwick::preview
