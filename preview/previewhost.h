// The local preview of a generated site: runs its classic ASP pages on
// 127.0.0.1 as IIS would, so the site can be tried in a browser.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>

namespace ordwick {

class PreviewHost : public QObject {
    Q_OBJECT

public:
    struct Started {
        QUrl url;      // the site's first page, empty when the host did not start
        QString error; // why it did not start

        bool ok() const { return error.isEmpty(); }
    };

    // Who may read the preview. Key: only a client that opened the address
    // start() gives, which carries a secret of this run (any local user, or a
    // page in the browser, could reach the port otherwise, and through it the
    // user's database). Open: any client on this machine, for scripts.
    enum class Access { Key, Open };

    explicit PreviewHost(QObject* parent = nullptr);
    ~PreviewHost() override; // stops the host

    // Serves siteFolder on 127.0.0.1:port (0: any free port). A running host
    // is stopped first. With Access::Key the url carries the key.
    Started start(const QString& siteFolder, quint16 port = 0, Access access = Access::Key);
    // Waits for the requests being answered, then closes the port.
    void stop();
    bool running() const;

    // The host's resident memory past which the page that has run longest is
    // stopped with an error page; for the next start (0: no limit).
    void setMemoryLimit(qint64 bytes) { m_memoryLimitBytes = bytes; }
    // The time a client has to send a request's head whole, past which it is
    // answered 408 and its connection closed; for the next start.
    void setRequestHeadDeadline(std::chrono::milliseconds deadline) {
        m_requestHeadDeadline = deadline;
    }

    // While running: the root of the site ("http://127.0.0.1:8123/") and its folder.
    QUrl address() const;
    QString siteFolder() const;

private:
    struct Running;
    std::unique_ptr<Running> m_running;
    qint64 m_memoryLimitBytes;
    std::chrono::milliseconds m_requestHeadDeadline;
};

} // namespace ordwick
