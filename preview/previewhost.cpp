#include "preview/previewhost.h"

#include "preview/httpfront.h"
#include "preview/site.h"
#include "preview/siteserver.h"

#include <QFileInfo>
#include <QRandomGenerator>
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

HttpLimits httpLimits(const SiteLimits& site) {
    HttpLimits limits;
    limits.maxBodyBytes = site.maxBodyBytes;
    limits.head.deadline = site.requestHeadDeadline;
    return limits;
}

// A secret of 128 bits from the system's generator, as 32 hex digits.
QString newAccessKey() {
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(bytes.toHex());
}
} // namespace

struct PreviewHost::Running {
    Running(const QString& folder, const QString& accessKey, const SiteLimits& limits)
        : site(folder, limits), server(site, pageThreads(), accessKey),
          front([this](const HttpRequest& request) { return server.handle(request); },
                httpLimits(site.limits()), kConnectionThreads) {}

    Site site;
    SiteServer server;
    HttpFront front;
    QUrl address;
};

PreviewHost::PreviewHost(QObject* parent)
    : QObject(parent), m_memoryLimitBytes(SiteLimits().memoryLimitBytes),
      m_requestHeadDeadline(SiteLimits().requestHeadDeadline) {}

PreviewHost::~PreviewHost() {
    stop();
}

PreviewHost::Started PreviewHost::start(const QString& siteFolder, quint16 port, Access access) {
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
    const QString key = access == Access::Key ? newAccessKey() : QString();
    SiteLimits limits;
    limits.memoryLimitBytes = m_memoryLimitBytes;
    limits.requestHeadDeadline = m_requestHeadDeadline;
    auto running = std::make_unique<Running>(folder.canonicalFilePath(), key, limits);
    QString error;
    const int bound = running->front.listen(port, error);
    if (bound == 0)
        return {{}, error};
    running->address = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(bound));
    QUrl url = running->address.resolved(QUrl(index));
    if (!key.isEmpty())
        url.setQuery(SiteServer::kKeyParameter + QLatin1Char('=') + key);
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
