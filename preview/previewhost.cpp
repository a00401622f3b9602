#include "preview/previewhost.h"

#include "preview/httpfront.h"
#include "preview/site.h"
#include "preview/siteserver.h"

#include <QFileInfo>
#include <QThread>

namespace ordwick {

using namespace preview;

namespace {
// Threads that run pages, each with its own script engine.
int pageThreads() {
    return qBound(8, QThread::idealThreadCount() * 2, 16);
}

// Threads of the HTTP server. A connection holds its thread while its request
// arrives, while its page runs or waits for its session's turn, and while it
// is kept alive (a browser opens six to one host): far more than the pages
// that run at once, so that a few slow or waiting clients leave the others
// answered. They cost little while they wait.
constexpr int kConnectionThreads = 64;
} // namespace

struct PreviewHost::Running {
    explicit Running(const QString& folder)
        : site(folder), server(site, pageThreads()),
          front([this](const HttpRequest& request) { return server.handle(request); },
                site.limits().maxBodyBytes, kConnectionThreads) {}

    Site site;
    SiteServer server;
    HttpFront front;
    QUrl address;
};

PreviewHost::PreviewHost(QObject* parent) : QObject(parent) {}

PreviewHost::~PreviewHost() {
    stop();
}

PreviewHost::Started PreviewHost::start(const QString& siteFolder, quint16 port) {
    stop();
    const QFileInfo folder(siteFolder);
    if (!folder.isDir())
        return {{}, QStringLiteral("The site folder %1 does not exist.").arg(siteFolder)};
    const QString index = SiteServer::indexPage(folder.canonicalFilePath());
    if (index.isEmpty())
        return {{},
                QStringLiteral("The folder %1 holds no page to preview (no .asp or default "
                               "document).")
                    .arg(siteFolder)};
    auto running = std::make_unique<Running>(folder.canonicalFilePath());
    QString error;
    const int bound = running->front.listen(port, error);
    if (bound == 0)
        return {{}, error};
    running->address = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(bound));
    const QUrl url = running->address.resolved(QUrl(index));
    m_running = std::move(running);
    return {url, {}};
}

void PreviewHost::stop() {
    if (!m_running)
        return;
    // Pages still running, and their statements, are stopped first: the
    // port closes only once every request was answered.
    m_running->site.watchdog().stopAll();
    m_running->front.stop();
    m_running.reset();
}

bool PreviewHost::running() const {
    return m_running != nullptr;
}

QUrl PreviewHost::address() const {
    return m_running ? m_running->address : QUrl();
}

QString PreviewHost::siteFolder() const {
    return m_running ? m_running->site.root() : QString();
}

} // namespace ordwick
