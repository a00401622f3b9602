// The preview host under hostile requests sent on a raw socket: traversal,
// source and data requests, oversize and malformed requests. Each is refused
// with the right status and the host keeps answering.
#include "preview/previewhost.h"
#include "previewtesting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace previewtest;

namespace {
const QByteArray kSecret = "secret-source-text";
}

class PreviewSafetyTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_outside; // holds the site and, beside it, a file it must not reach
    ordwick::PreviewHost m_host;
    quint16 m_port = 0;

    bool write(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(text) == text.size();
    }

    QString site() const { return m_outside.filePath(QStringLiteral("site")); }

    Reply raw(const QByteArray& bytes) { return rawExchange(m_port, bytes); }

    // The Host line a browser sends to the preview.
    QByteArray hostLine() const { return "Host: 127.0.0.1:" + QByteArray::number(m_port) + "\r\n"; }

    Reply getRaw(const QByteArray& target) {
        return raw("GET " + target + " HTTP/1.1\r\n" + hostLine() + "Connection: close\r\n\r\n");
    }

    void stillAnswers() {
        const Reply reply = getRaw("/page.asp");
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.text(), QStringLiteral("page ran"));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_outside.isValid());
        QVERIFY(write(m_outside.filePath(QStringLiteral("outside.txt")), kSecret));
        QVERIFY(
            write(site() + QStringLiteral("/page.asp"),
                  "<%@ Language=\"JScript\" %><% var hidden = \"" + kSecret + "\"; %>page ran"));
        QVERIFY(write(site() + QStringLiteral("/include/lib.inc"),
                      "<% var x = \"" + kSecret + "\"; %>"));
        QVERIFY(write(site() + QStringLiteral("/global.asa"), kSecret));
        QVERIFY(write(site() + QStringLiteral("/web.config"), kSecret));
        QVERIFY(write(site() + QStringLiteral("/notes.txt"), "plain notes"));
        QVERIFY(write(site() + QStringLiteral("/db/shop.db"), kSecret));
        QVERIFY(write(site() + QStringLiteral("/db/readme.txt"), kSecret));
        QVERIFY(write(site() + QStringLiteral("/private/web.config"),
                      "<configuration><system.webServer><security><requestFiltering>"
                      "<fileExtensions allowUnlisted=\"false\" /></requestFiltering></security>"
                      "</system.webServer></configuration>"));
        QVERIFY(write(site() + QStringLiteral("/private/data.txt"), kSecret));
        QVERIFY(write(site() + QStringLiteral("/.git/config"), kSecret));
        QVERIFY(QFile::link(m_outside.filePath(QStringLiteral("outside.txt")),
                            site() + QStringLiteral("/link.txt")));
        // Links that read as harmless names inside the site.
        QVERIFY(QDir().mkpath(site() + QStringLiteral("/images")));
        QVERIFY(QFile::link(QStringLiteral("../db/readme.txt"),
                            site() + QStringLiteral("/images/readme.txt")));
        QVERIFY(QFile::link(QStringLiteral("../page.asp"),
                            site() + QStringLiteral("/images/page.txt")));
        QVERIFY(QFile::link(m_outside.filePath(QStringLiteral("outside.txt")),
                            site() + QStringLiteral("/include/outside.inc")));
        QVERIFY(QFile::link(QStringLiteral("../db/readme.txt"),
                            site() + QStringLiteral("/include/db.inc")));
        QVERIFY(write(site() + QStringLiteral("/includes-outside.asp"),
                      "<!--#include file=\"include/outside.inc\"-->"));
        QVERIFY(write(site() + QStringLiteral("/includes-db.asp"),
                      "<!--#include file=\"include/db.inc\"-->"));
        const ordwick::PreviewHost::Started started =
            m_host.start(site(), 0, ordwick::PreviewHost::Access::Open);
        QVERIFY2(started.ok(), qPrintable(started.error));
        m_port = static_cast<quint16>(started.url.port());
        QCOMPARE(m_host.address().host(), QStringLiteral("127.0.0.1"));
    }

    void listensOnLoopbackOnly() {
        bool tried = false;
        for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
            if (address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            tried = true;
            QTcpSocket socket;
            socket.connectToHost(address, m_port);
            QVERIFY2(
                !socket.waitForConnected(2000),
                qPrintable(QStringLiteral("the preview answers on %1").arg(address.toString())));
        }
        if (!tried)
            QSKIP("This machine has no network address besides loopback to try.");
    }

    void pathsLeavingTheSiteAreRefused_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("status");
        QTest::newRow("dot dot") << QByteArray("/../outside.txt") << 400;
        QTest::newRow("dot dot inside") << QByteArray("/include/../../outside.txt") << 400;
        QTest::newRow("encoded dots") << QByteArray("/%2e%2e/outside.txt") << 400;
        QTest::newRow("encoded slash") << QByteArray("/include%2f..%2f..%2foutside.txt") << 400;
        QTest::newRow("double encoded") << QByteArray("/%252e%252e/outside.txt") << 400;
        QTest::newRow("backslash") << QByteArray("/..\\outside.txt") << 400;
        QTest::newRow("encoded backslash") << QByteArray("/..%5coutside.txt") << 400;
        QTest::newRow("absolute") << QByteArray("//etc/passwd") << 400;
        QTest::newRow("drive") << QByteArray("/C:/Windows/win.ini") << 400;
        QTest::newRow("no leading slash") << QByteArray("outside.txt") << 400;
        QTest::newRow("full URL elsewhere")
            << QByteArray("http://example.com/../outside.txt") << 400;
        QTest::newRow("NUL") << QByteArray("/page.asp%00.txt") << 400;
        QTest::newRow("link out of the site") << QByteArray("/link.txt") << 404;
    }

    void pathsLeavingTheSiteAreRefused() {
        QFETCH(QByteArray, target);
        QFETCH(int, status);
        const Reply reply = getRaw(target);
        QCOMPARE(reply.status, status);
        QVERIFY(!reply.body.contains(kSecret));
        stillAnswers();
    }

    void sourcesAndDataAreNeverServed_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("status");
        QTest::newRow("include source") << QByteArray("/include/lib.inc") << 404;
        QTest::newRow("page with a stream name") << QByteArray("/page.asp::$DATA") << 400;
        QTest::newRow("page with a trailing dot") << QByteArray("/page.asp.") << 404;
        QTest::newRow("page as a folder") << QByteArray("/page.asp/") << 404;
        QTest::newRow("global.asa") << QByteArray("/global.asa") << 404;
        QTest::newRow("web.config") << QByteArray("/web.config") << 404;
        QTest::newRow("database") << QByteArray("/db/shop.db") << 404;
        QTest::newRow("database, another case") << QByteArray("/DB/shop.db") << 404;
        QTest::newRow("text in db") << QByteArray("/db/readme.txt") << 404;
        QTest::newRow("db folder") << QByteArray("/db/") << 404;
        QTest::newRow("folder its web.config closes") << QByteArray("/private/data.txt") << 404;
        QTest::newRow("hidden folder") << QByteArray("/.git/config") << 404;
        QTest::newRow("folder without default page") << QByteArray("/include/") << 403;
        QTest::newRow("link into db") << QByteArray("/images/readme.txt") << 404;
        QTest::newRow("page source through a link") << QByteArray("/images/page.txt") << 404;
        QTest::newRow("include linked out of the site")
            << QByteArray("/includes-outside.asp") << 500;
        QTest::newRow("include linked into db") << QByteArray("/includes-db.asp") << 500;
    }

    void sourcesAndDataAreNeverServed() {
        QFETCH(QByteArray, target);
        QFETCH(int, status);
        const Reply reply = getRaw(target);
        QCOMPARE(reply.status, status);
        QVERIFY(!reply.body.contains(kSecret));
        QVERIFY(!reply.body.contains("<%"));
    }

    void pagesRunAndStaticFilesKeepTheirType() {
        const Reply page = getRaw("/page.asp");
        QCOMPARE(page.status, 200);
        QCOMPARE(page.text(), QStringLiteral("page ran"));
        const Reply notes = getRaw("/notes.txt");
        QCOMPARE(notes.status, 200);
        QCOMPARE(notes.header("Content-Type"), QByteArray("text/plain"));
        QCOMPARE(notes.text(), QStringLiteral("plain notes"));
        const Reply head =
            raw("HEAD /notes.txt HTTP/1.1\r\n" + hostLine() + "Connection: close\r\n\r\n");
        QCOMPARE(head.status, 200);
        QVERIFY(head.body.isEmpty());
        const Reply folder = getRaw("/include");
        QCOMPARE(folder.status, 301);
        QCOMPARE(folder.header("Location"), QByteArray("/include/"));
    }

    void oversizeRequestsAreRefused() {
        const QByteArray body = "a=" + QByteArray(300000, 'x');
        const Reply big =
            raw("POST /page.asp HTTP/1.1\r\n" + hostLine() +
                "Connection: close\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                QByteArray::number(body.size()) + "\r\n\r\n" + body);
        QCOMPARE(big.status, 413);
        stillAnswers();

        const Reply longTarget = getRaw("/page.asp?q=" + QByteArray(20000, 'q'));
        QCOMPARE(longTarget.status, 414);
        stillAnswers();

        const QByteArray header = "X-Big: " + QByteArray(20000, 'h') + "\r\n";
        const Reply bigHeader =
            raw("GET /page.asp HTTP/1.1\r\n" + hostLine() + header + "Connection: close\r\n\r\n");
        QVERIFY(bigHeader.status == 400 || bigHeader.closedWithoutAnswer);
        stillAnswers();

        // Heads of many or large header lines, each line within its own limit.
        QByteArray many;
        for (int i = 0; i < 101; ++i)
            many += "X-Pad-" + QByteArray::number(i) + ": x\r\n";
        QByteArray large;
        for (int i = 0; i < 9; ++i)
            large += "X-Pad-" + QByteArray::number(i) + ": " + QByteArray(8000, 'p') + "\r\n";
        // Refused while they arrive: neither head ever ends.
        for (const QByteArray& pad : {many, large}) {
            const Reply padded = raw("GET /page.asp HTTP/1.1\r\n" + hostLine() + pad);
            QCOMPARE(padded.status, 431);
            stillAnswers();
        }
        QByteArray fewer;
        for (int i = 0; i < 90; ++i)
            fewer += "X-Pad-" + QByteArray::number(i) + ": x\r\n";
        QCOMPARE(
            raw("GET /page.asp HTTP/1.1\r\n" + hostLine() + fewer + "Connection: close\r\n\r\n")
                .status,
            200);

        // A form body well inside the limit reaches the page.
        const QByteArray fine = "a=" + QByteArray(100000, 'y');
        const Reply accepted = raw("POST /page.asp HTTP/1.1\r\n" + hostLine() +
                                   "Connection: close\r\n"
                                   "Content-Type: application/x-www-form-urlencoded\r\n"
                                   "Content-Length: " +
                                   QByteArray::number(fine.size()) + "\r\n\r\n" + fine);
        QCOMPARE(accepted.status, 200);
    }

    // A client sending its head a line at a time, each line well within the
    // read timeout, is cut off at the head's deadline; others are answered
    // meanwhile.
    void aHeadMustArriveWhole() {
        ordwick::PreviewHost host;
        host.setRequestHeadDeadline(std::chrono::seconds(2));
        const ordwick::PreviewHost::Started started =
            host.start(site(), 0, ordwick::PreviewHost::Access::Open);
        QVERIFY2(started.ok(), qPrintable(started.error));
        const auto port = static_cast<quint16>(started.url.port());
        QTcpSocket slow;
        slow.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(slow.waitForConnected(10000));
        slow.write("GET /page.asp HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                   "\r\n");
        QElapsedTimer sending;
        sending.start();
        QByteArray answer;
        for (int line = 0; answer.isEmpty() && slow.state() == QAbstractSocket::ConnectedState &&
                           sending.elapsed() < 30000;
             ++line) {
            slow.write("X-Slow-" + QByteArray::number(line) + ": x\r\n");
            slow.waitForBytesWritten(1000);
            if (line == 2) {
                const Reply other = rawExchange(
                    port, "GET /page.asp HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                              "\r\nConnection: close\r\n\r\n");
                QCOMPARE(other.status, 200);
            }
            if (slow.waitForReadyRead(300)) // the pace of the trickle
                answer += slow.readAll();
        }
        QVERIFY2(answer.startsWith("HTTP/1.1 408 Request Timeout\r\n"), answer.constData());
    }

    void malformedRequestsGetBadRequest_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("garbage") << QByteArray("GARBAGE\r\n\r\n");
        QTest::newRow("no version") << QByteArray("GET /page.asp\r\n\r\n");
        QTest::newRow("unknown method")
            << QByteArray("BREW /page.asp HTTP/1.1\r\n" + hostLine() + "\r\n");
        QTest::newRow("binary") << QByteArray("\x01\x02\x03\xff\xfe\r\n\r\n", 8);
        QTest::newRow("bad content length") << QByteArray(
            "POST /page.asp HTTP/1.1\r\n" + hostLine() + "Content-Length: banana\r\n\r\n");
    }

    void malformedRequestsGetBadRequest() {
        QFETCH(QByteArray, bytes);
        const Reply reply = raw(bytes);
        QVERIFY2(reply.status == 400 || reply.closedWithoutAnswer,
                 qPrintable(QString::number(reply.status)));
        stillAnswers();
    }

    void onlyThisHostsNamesAreAnswered_data() {
        QTest::addColumn<QByteArray>("hostLines");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<int>("status");
        const QByteArray port = QByteArray::number(m_port);
        QTest::newRow("rebound name")
            << QByteArray("Host: evil.example:" + port + "\r\n") << QByteArray("HTTP/1.1") << 400;
        QTest::newRow("no port") << QByteArray("Host: 127.0.0.1\r\n") << QByteArray("HTTP/1.1")
                                 << 400;
        QTest::newRow("another port")
            << QByteArray("Host: localhost:1\r\n") << QByteArray("HTTP/1.1") << 400;
        QTest::newRow("two hosts")
            << QByteArray("Host: 127.0.0.1:" + port + "\r\nHost: evil.example\r\n")
            << QByteArray("HTTP/1.1") << 400;
        QTest::newRow("no host, HTTP/1.1") << QByteArray() << QByteArray("HTTP/1.1") << 400;
        QTest::newRow("localhost")
            << QByteArray("Host: LocalHost:" + port + "\r\n") << QByteArray("HTTP/1.1") << 200;
        QTest::newRow("no host, HTTP/1.0") << QByteArray() << QByteArray("HTTP/1.0") << 200;
    }

    void onlyThisHostsNamesAreAnswered() {
        QFETCH(QByteArray, hostLines);
        QFETCH(QByteArray, version);
        QFETCH(int, status);
        const Reply reply =
            raw("GET /page.asp " + version + "\r\n" + hostLines + "Connection: close\r\n\r\n");
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.body.contains("page ran"), status == 200);
    }

    void aPreviewWithATokenAnswersOnlyItsHolder() {
        QVERIFY(write(site() + QStringLiteral("/cookies.asp"),
                      "<%@ Language=\"JScript\" %><%= Request.Cookies.Count %> cookies"));
        ordwick::PreviewHost keyed;
        const ordwick::PreviewHost::Started started = keyed.start(site());
        QVERIFY2(started.ok(), qPrintable(started.error));
        const quint16 port = static_cast<quint16>(started.url.port());
        const QByteArray token = started.url.query().toLatin1();
        QVERIFY(token.startsWith("preview_token="));
        QCOMPARE(token.size(), 14 + 32);
        const auto get = [port](const QByteArray& target, const QByteArray& more = {}) {
            return rawExchange(
                port, "GET " + target + " HTTP/1.1\r\nHost: localhost:" + QByteArray::number(port) +
                          "\r\n" + more + "Connection: close\r\n\r\n");
        };
        for (const QByteArray& refused :
             {QByteArray("/cookies.asp"), QByteArray("/notes.txt"),
              QByteArray("/cookies.asp?preview_token=") + QByteArray(32, '0')}) {
            const Reply reply = get(refused);
            QCOMPARE(reply.status, 403);
            QVERIFY(reply.text().contains(QLatin1String("carries the preview's token")));
        }
        const Reply handedOver = get("/cookies.asp?a=1&" + token + "&b=2");
        QCOMPARE(handedOver.status, 302);
        QCOMPARE(handedOver.header("Location"), QByteArray("/cookies.asp?a=1&b=2"));
        const QByteArray cookie = handedOver.header("Set-Cookie");
        QCOMPARE(cookie, "ordwick_preview_" + QByteArray::number(port) + '=' + token.mid(14) +
                             "; path=/; HttpOnly; SameSite=Strict");
        const QByteArray cookieLine = "Cookie: " + cookie.left(cookie.indexOf(';')) + "\r\n";
        QCOMPARE(get("/cookies.asp", cookieLine).text(), QStringLiteral("0 cookies"));
        QCOMPARE(get("/notes.txt", cookieLine).text(), QStringLiteral("plain notes"));
    }

    void methodsPagesDoNotTake() {
        const Reply put = raw("PUT /notes.txt HTTP/1.1\r\n" + hostLine() +
                              "Content-Length: 1\r\n"
                              "Connection: close\r\n\r\nx");
        QCOMPARE(put.status, 405);
        const Reply del =
            raw("DELETE /page.asp HTTP/1.1\r\n" + hostLine() + "Connection: close\r\n\r\n");
        QCOMPARE(del.status, 405);
        QFile notes(site() + QStringLiteral("/notes.txt"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll(), QByteArray("plain notes"));
    }

    void stopsAndStartsAgain() {
        const quint16 port = m_port;
        // A page in an endless statement, with all the time in the world, does
        // not hold the host up when it stops.
        QVERIFY(write(site() + QStringLiteral("/db/loop.db"), QByteArray()));
        QVERIFY(write(site() + QStringLiteral("/endless.asp"),
                      "<%@ Language=\"JScript\" %><%\nServer.ScriptTimeout = 86400;\n"
                      "var c = Server.CreateObject(\"ADODB.Connection\");\n"
                      "c.Open(\"Driver={SQLite3}; Database=\" + Server.MapPath(\"db/loop.db\"));\n"
                      "Application(\"endless\") = \"running\";\n"
                      "c.Execute(\"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                      "SELECT count(*) FROM n\");\n%>"));
        QVERIFY(write(site() + QStringLiteral("/endless-state.asp"),
                      "<%@ Language=\"JScript\" %><%= Application(\"endless\") %>"));
        QTcpSocket endless;
        endless.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(endless.waitForConnected(60000));
        endless.write("GET /endless.asp HTTP/1.1\r\n" + hostLine() + "\r\n");
        QVERIFY(endless.waitForBytesWritten(60000));
        QTRY_COMPARE_WITH_TIMEOUT(getRaw("/endless-state.asp").text(), QStringLiteral("running"),
                                  60000);
        m_host.stop();
        QVERIFY(!m_host.running());
        QVERIFY(rawExchange(port, "GET /page.asp HTTP/1.1\r\n\r\n", 2000).closedWithoutAnswer);
        const ordwick::PreviewHost::Started again =
            m_host.start(site(), port, ordwick::PreviewHost::Access::Open);
        QVERIFY2(again.ok(), qPrintable(again.error));
        QCOMPARE(again.url.port(), int(port));
        stillAnswers();
        ordwick::PreviewHost second;
        const ordwick::PreviewHost::Started taken = second.start(site(), port);
        QVERIFY(!taken.ok());
        QVERIFY(taken.error.contains(QString::number(port)));
        const ordwick::PreviewHost::Started missing =
            second.start(m_outside.filePath(QStringLiteral("nowhere")));
        QVERIFY(!missing.ok());
        QVERIFY(missing.error.contains(QLatin1String("does not exist")));
    }

    void cleanupTestCase() { m_host.stop(); }
};

QTEST_MAIN(PreviewSafetyTest)
#include "tst_preview_safety.moc"
