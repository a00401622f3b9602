// Classic ASP in JScript as the server runs it: the language of JScript 5.8,
// the request and response objects, sessions, includes, ADO over the sample
// database, script time limits, and the server's error text.
#include "preview/connectionpool.h"
#include "preview/previewhost.h"
#include "preview/sessionstore.h"
#include "preview/sqliteconnection.h"
#include "previewtesting.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>
#include <unistd.h>

using namespace previewtest;

class PreviewAspTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    ordwick::PreviewHost m_host;
    quint16 m_port = 0;

    bool write(const QString& name, const QByteArray& text) {
        const QString path = m_root.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(text) == text.size();
    }

    Reply get(const QString& target) { return Browser(m_port).get(target); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        QVERIFY(write(QStringLiteral("default.asp"), "<%@ Language=\"JScript\" %>home"));
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("db"))));
        QVERIFY(QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE),
                            m_root.filePath(QStringLiteral("db/shop.db"))));
        const ordwick::PreviewHost::Started started =
            m_host.start(m_root.path(), 0, ordwick::PreviewHost::Access::Open);
        QVERIFY2(started.ok(), qPrintable(started.error));
        QCOMPARE(started.url.path(), QStringLiteral("/default.asp"));
        m_port = static_cast<quint16>(started.url.port());
    }

    void builtInsJScriptLacksFailAsOnTheServer_data() {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QString>("error");
        QTest::newRow("Array indexOf") << QByteArray("[1, 2].indexOf(2)")
                                       << "error '800a01b6'</font>\n<p>\n<font face=\"Arial\" "
                                          "size=2>Object doesn't support this property or method";
        QTest::newRow("Array forEach") << QByteArray("[1].forEach(function () {})")
                                       << "Object doesn't support this property or method";
        QTest::newRow("Array map")
            << QByteArray("[1].map(String)") << "Object doesn't support this property or method";
        QTest::newRow("String trim")
            << QByteArray("\" a \".trim()") << "Object doesn't support this property or method";
        QTest::newRow("Object keys")
            << QByteArray("Object.keys({})") << "Object doesn't support this property or method";
        QTest::newRow("Function bind") << QByteArray("(function () {}).bind(null)")
                                       << "Object doesn't support this property or method";
        QTest::newRow("Date now") << QByteArray("Date.now()")
                                  << "Object doesn't support this property or method";
        QTest::newRow("JSON") << QByteArray("JSON.stringify({})")
                              << "error '800a1391'</font>\n<p>\n<font face=\"Arial\" "
                                 "size=2>'JSON' is undefined";
        QTest::newRow("Map") << QByteArray("new Map()") << "'Map' is undefined";
    }

    void builtInsJScriptLacksFailAsOnTheServer() {
        QFETCH(QByteArray, expression);
        QFETCH(QString, error);
        QVERIFY(write(QStringLiteral("lacks.asp"),
                      "<%@ Language=\"JScript\" %>\nbefore\n<%\nvar x = 1;\nResponse.Write(" +
                          expression + ");\n%>\nafter"));
        const Reply reply = get(QStringLiteral("/lacks.asp"));
        QCOMPARE(reply.status, 500);
        QVERIFY2(reply.text().contains(error), qPrintable(reply.text()));
        QVERIFY2(reply.text().contains(QLatin1String(
                     "<font face=\"Arial\" size=2>/lacks.asp</font><font face=\"Arial\" "
                     "size=2>, line 5</font>")),
                 qPrintable(reply.text()));
        QVERIFY(reply.text().startsWith(QLatin1String("\nbefore\n")));
        QVERIFY(!reply.text().contains(QLatin1String("after")));
    }

    void whatJScriptHasWorks() {
        QVERIFY(
            write(QStringLiteral("has.asp"),
                  "<%@ Language=\"JScript\" %><%\n"
                  "var a = [3, 1, 2]; a.sort();\n"
                  "Response.Write(a.join(\"-\") + \"|\" + \"a,b\".split(\",\").length + \"|\" +\n"
                  "  \"x1y2\".replace(/\\d/g, \"#\") + \"|\" + Math.max(4, 9) + \"|\" +\n"
                  "  (12.5).toFixed(1) + \"|\" + encodeURIComponent(\"a b\") + \"|\" +\n"
                  "  ScriptEngine() + ScriptEngineMajorVersion() + \".\" + "
                  "ScriptEngineMinorVersion() + \"|\" +\n"
                  "  new Date(2024, 2, 31).getVarDate().getDate());\n"
                  "%>"));
        const Reply reply = get(QStringLiteral("/has.asp"));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.text(), QStringLiteral("1-2-3|2|x#y#|9|12.5|a%20b|JScript5.8|31"));
    }

    void missingKeysGiveWhatJScriptGives() {
        QVERIFY(
            write(QStringLiteral("missing.asp"),
                  "<%@ Language=\"JScript\" %><%\n"
                  "var f = Request.Form(\"nothing\");\n"
                  "Response.Write(String(f) + \"|\" + f.Count + \"|\" + typeof f + \"|\" + (f + "
                  "\"\") + \"|\" + (f == \"\") + \"|\");\n"
                  "Response.Write(Request.QueryString(\"none\"));\n"
                  "Response.Write(\"|\" + Request(\"none\").Count + \"|\" + "
                  "String(Request.Cookies(\"none\")) + \"|\" + Session(\"none\"));\n"
                  "%>"));
        const Reply reply = get(QStringLiteral("/missing.asp"));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.text(),
                 QStringLiteral("undefined|0|function|undefined|false||0||undefined"));
    }

    void fieldsWithSeveralValues() {
        QVERIFY(
            write(QStringLiteral("multi.asp"),
                  "<%@ Language=\"JScript\" %><%\n"
                  "var a = Request.Form(\"a\");\n"
                  "Response.Write(a + \"|\" + a.Count + \"|\" + a.Item(1) + \"|\" + a.Item() + "
                  "\"|\" + a.Item(2) + \"|\");\n"
                  "Response.Write(Request.QueryString(\"q\") + \"|\" + "
                  "Request.QueryString(\"q\").Count + \"|\" + Request(\"x\") + \"|\" + "
                  "Request.Form.Count + \"|\" + Request.Form.Key(1) + \"|\" + "
                  "Request.ServerVariables(\"REQUEST_METHOD\") + \"|\" + Request.Form(\"e\"));\n"
                  "var names = []; for (var e = new Enumerator(Request.Form); !e.atEnd(); "
                  "e.moveNext()) names.push(e.item());\n"
                  "Response.Write(\"|\" + names.join(\",\"));\n"
                  "%>"));
        Browser browser(m_port);
        const Reply reply =
            browser.postRaw(QStringLiteral("/multi.asp?q=1&q=two+words&x=from%20query"),
                            "application/x-www-form-urlencoded",
                            "a=first&b=x&a=second&x=from+form&e=%C3%A9t%C3%A9");
        QVERIFY2(reply.status == 200, qPrintable(reply.text()));
        QCOMPARE(reply.text(),
                 QStringLiteral("first, second|2|first|first, second|second|1, two words|2|"
                                "from query|4|a|POST|été|a,b,x,e"));
    }

    void listsAreCalledWithAnIndex() {
        QVERIFY(write(QStringLiteral("called.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "Response.Write(Request.Form(\"a\")(2) + \"|\" + Request.Form(\"a\")(1) + "
                      "\"|\" + Request.QueryString(\"q\")(1) + \"|\" + Request(\"a\")(2) + \"|\" + "
                      "Request(\"q\")(2) + \"|\" + Request.Form(\"a\")() + \"|\" + "
                      "Request.Form(\"a\").Count + \"|\" + (Request.Form(\"a\") instanceof "
                      "Object) + \"|\" + String(Request.Form(\"none\")) + \"|\");\n"
                      "try { Request.Form(\"a\")(3); } catch (e) { "
                      "Response.Write(e.description); }\n"
                      "%>"));
        Browser browser(m_port);
        const Reply reply =
            browser.postRaw(QStringLiteral("/called.asp?q=x&q=y"),
                            "application/x-www-form-urlencoded", "a=first&a=second");
        QVERIFY2(reply.status == 200, qPrintable(reply.text()));
        QCOMPARE(reply.text(), QStringLiteral("second|first|x|second|y|first, second|2|true|"
                                              "undefined|An array index is out of range."));
    }

    void indexOutOfRangeIsTheServersError() {
        QVERIFY(write(QStringLiteral("range.asp"),
                      "<%@ Language=\"JScript\" %><% "
                      "Response.Write(Request.QueryString(\"a\").Item(3)); %>"));
        const Reply reply = get(QStringLiteral("/range.asp?a=1"));
        QCOMPARE(reply.status, 500);
        QVERIFY2(reply.text().contains(QLatin1String("Request object </font> <font face=\"Arial\" "
                                                     "size=2>error 'ASP 0105'")),
                 qPrintable(reply.text()));
    }

    void responseEndAndRedirectStopThePage() {
        QVERIFY(write(QStringLiteral("end.asp"),
                      "<%@ Language=\"JScript\" %>a<%\n"
                      "try { Response.End(); } catch (e) { Response.Write(\"caught\"); }\n"
                      "Application(\"after end\") = \"ran\";\n"
                      "Response.Write(\"b\");\n"
                      "%>tail"));
        const Reply ended = get(QStringLiteral("/end.asp"));
        QCOMPARE(ended.status, 200);
        QCOMPARE(ended.text(), QStringLiteral("a"));

        QVERIFY(write(QStringLiteral("redirect.asp"),
                      "<%@ Language=\"JScript\" %>text before<%\n"
                      "Response.AddHeader(\"X-Before\", \"1\");\n"
                      "Response.Redirect(\"default.asp?from=redirect\");\n"
                      "Application(\"after redirect\") = \"ran\";\n"
                      "%>tail"));
        const Reply moved = get(QStringLiteral("/redirect.asp"));
        QCOMPARE(moved.status, 302);
        QCOMPARE(moved.header("Location"), QByteArray("default.asp?from=redirect"));
        QCOMPARE(moved.header("X-Before"), QByteArray("1"));
        QVERIFY(moved.text().contains(QLatin1String("Object Moved")));
        QVERIFY(!moved.text().contains(QLatin1String("text before")));
        QVERIFY(!moved.text().contains(QLatin1String("tail")));

        QVERIFY(write(QStringLiteral("after.asp"),
                      "<%@ Language=\"JScript\" %><%= Application(\"after end\") + \"|\" + "
                      "Application(\"after redirect\") %>"));
        QCOMPARE(get(QStringLiteral("/after.asp")).text(), QStringLiteral("undefined|undefined"));
    }

    void responseHeadersStatusAndCookies() {
        QVERIFY(write(QStringLiteral("headers.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "Response.Status = \"404 Not Here\";\n"
                      "Response.ContentType = \"text/plain\";\n"
                      "Response.CharSet = \"utf-8\";\n"
                      "Response.CacheControl = \"no-cache\";\n"
                      "Response.Cookies(\"taste\") = \"sweet & sour\";\n"
                      "Response.Cookies(\"taste\").Path = \"/shop\";\n"
                      "Response.Write(\"x\"); Response.Clear(); Response.Write(\"y\");\n"
                      "%>"));
        const Reply reply = get(QStringLiteral("/headers.asp"));
        QCOMPARE(reply.status, 404);
        QCOMPARE(reply.header("Content-Type"), QByteArray("text/plain; charset=utf-8"));
        QCOMPARE(reply.header("Cache-Control"), QByteArray("no-cache"));
        QVERIFY(reply.headerValues("Set-Cookie")
                    .contains(QByteArray("taste=sweet+%26+sour; path=/shop")));
        QCOMPARE(reply.text(), QStringLiteral("y"));

        QVERIFY(write(QStringLiteral("late.asp"), "<%@ Language=\"JScript\" %><%\n"
                                                  "Response.Buffer = false;\n"
                                                  "Response.Write(\"sent\");\n"
                                                  "Response.AddHeader(\"X-Late\", \"1\");\n"
                                                  "%>"));
        // Unbuffered, the head left with the first write: the error can only
        // follow the text already sent.
        const Reply late = get(QStringLiteral("/late.asp"));
        QCOMPARE(late.status, 200);
        QVERIFY2(late.text().startsWith(QLatin1String("sent")), qPrintable(late.text()));
        QVERIFY2(late.text().contains(QLatin1String("error 'ASP 0156'")), qPrintable(late.text()));
        QVERIFY(late.text().contains(
            QLatin1String("/late.asp</font><font face=\"Arial\" size=2>, line 4")));
    }

    void sessionsAreKeptApart() {
        QVERIFY(write(QStringLiteral("count.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "Session(\"Visits\") = (Session(\"visits\") || 0) + 1;\n"
                      "Response.Write(Session(\"VISITS\") + \"|\" + Session.Contents.Count);\n"
                      "%>"));
        Browser first(m_port);
        Browser second(m_port);
        QCOMPARE(first.get(QStringLiteral("/count.asp")).text(), QStringLiteral("1|1"));
        QCOMPARE(first.get(QStringLiteral("/count.asp")).text(), QStringLiteral("2|1"));
        QCOMPARE(second.get(QStringLiteral("/count.asp")).text(), QStringLiteral("1|1"));
        QCOMPARE(first.get(QStringLiteral("/count.asp")).text(), QStringLiteral("3|1"));
        QCOMPARE(first.cookies().size(), 1);
        QVERIFY(first.cookies().firstKey().startsWith("ASPSESSIONID"));
        QVERIFY(first.cookies().first() != second.cookies().first());

        QVERIFY(write(QStringLiteral("abandon.asp"),
                      "<%@ Language=\"JScript\" %><% Session.Abandon(); %>gone"));
        QCOMPARE(first.get(QStringLiteral("/abandon.asp")).text(), QStringLiteral("gone"));
        QCOMPARE(first.get(QStringLiteral("/count.asp")).text(), QStringLiteral("1|1"));
    }

    void scriptTimeoutStopsARunawayPage() {
        QVERIFY(write(QStringLiteral("forever.asp"),
                      "<%@ Language=\"JScript\" %>start<%\n"
                      "Server.ScriptTimeout = 1;\n"
                      "while (true) { try { for (;;) {} } catch (e) {} }\n"
                      "%>"));
        const Reply reply = get(QStringLiteral("/forever.asp"));
        QCOMPARE(reply.status, 500);
        QVERIFY2(reply.text().contains(QLatin1String("error 'ASP 0113'")),
                 qPrintable(reply.text()));
        QVERIFY(reply.text().contains(QLatin1String("Script timed out")));
        QVERIFY(reply.text().contains(QLatin1String("/forever.asp")));
        // The engine that ran it serves the next pages as before.
        for (int i = 0; i < 8; ++i)
            QCOMPARE(get(QStringLiteral("/default.asp")).text(), QStringLiteral("home"));
    }

    // A statement that would run for ever is stopped with its page.
    void scriptTimeoutStopsAStatement_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("statement");
        QTest::newRow("SQLite") << QStringLiteral("\"Driver={SQLite3}; Database=\" + "
                                                  "Server.MapPath(\"db/loop.db\")")
                                << QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                                  "SELECT i + 1 FROM n) SELECT count(*) FROM n");
        const QString login = QStringLiteral(";UID=%1;PWD=%2")
                                  .arg(qEnvironmentVariable("TESSALINE_TEST_USER"),
                                       qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        if (qEnvironmentVariableIsSet("TESSALINE_TEST_PG_DRIVER")) {
            QTest::newRow("PostgreSQL through ODBC")
                << QLatin1Char('"') + qEnvironmentVariable("TESSALINE_TEST_PG_DRIVER") + login +
                       QLatin1Char('"')
                << QStringLiteral("SELECT pg_sleep(3600)");
            QTest::newRow("MariaDB through ODBC")
                << QLatin1Char('"') + qEnvironmentVariable("TESSALINE_TEST_MARIA_DRIVER") + login +
                       QLatin1Char('"')
                << QStringLiteral("SELECT SLEEP(3600)");
        }
    }

    void scriptTimeoutStopsAStatement() {
        QFETCH(QString, connection);
        QFETCH(QString, statement);
        QVERIFY(write(QStringLiteral("db/loop.db"), QByteArray()));
        const QString page = QStringLiteral("<%@ Language=\"JScript\" %><%\n"
                                            "Server.ScriptTimeout = 1;\n"
                                            "var c = Server.CreateObject(\"ADODB.Connection\");\n"
                                            "c.Open(%1);\n"
                                            "c.Execute(\"%2\");\n"
                                            "Response.Write(\"never\");\n%>")
                                 .arg(connection, statement);
        QVERIFY(write(QStringLiteral("statement.asp"), page.toUtf8()));
        const Reply reply = get(QStringLiteral("/statement.asp"));
        QVERIFY2(reply.text().contains(QLatin1String("error 'ASP 0113'")),
                 qPrintable(reply.text()));
        QVERIFY(!reply.text().contains(QLatin1String("never")));
        QCOMPARE(get(QStringLiteral("/default.asp")).text(), QStringLiteral("home"));
    }

    void includesAndServerScriptBlocks() {
        QVERIFY(write(QStringLiteral("lib/helpers.inc"),
                      "<%\nfunction twice(s) {\n  return s + s;\n}\nfunction broken() {\n  return "
                      "undefinedThing;\n}\n%>"));
        QVERIFY(write(QStringLiteral("lib/more.inc"),
                      "<!-- #include file=\"helpers.inc\" -->\n<% var fromMore = \"more\"; %>"));
        QVERIFY(write(QStringLiteral("pages/uses.asp"),
                      "<%@ Language=\"JScript\" %>\n<!-- #include virtual=\"/lib/more.inc\" -->\n"
                      "<%= twice(\"ab\") + \"|\" + fromMore + \"|\" + late() %>\n"
                      "<% if (Request.QueryString(\"fail\") == \"1\") broken(); %>\n"
                      "<script runat=\"server\" language=\"JScript\">\nfunction late() { return "
                      "\"declared later\"; }\n</script>\n"));
        const Reply reply = get(QStringLiteral("/pages/uses.asp"));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.text().trimmed(), QStringLiteral("abab|more|declared later"));

        const Reply failing = get(QStringLiteral("/pages/uses.asp?fail=1"));
        QCOMPARE(failing.status, 500);
        QVERIFY2(failing.text().contains(QLatin1String("'undefinedThing' is undefined")),
                 qPrintable(failing.text()));
        QVERIFY2(failing.text().contains(
                     QLatin1String("/lib/helpers.inc</font><font face=\"Arial\" size=2>, line 6")),
                 qPrintable(failing.text()));

        QVERIFY(write(QStringLiteral("noinclude.asp"),
                      "<%@ Language=\"JScript\" %>\n\n<!-- #include file=\"nowhere.inc\" -->"));
        const Reply missing = get(QStringLiteral("/noinclude.asp"));
        QCOMPARE(missing.status, 500);
        QVERIFY(missing.text().contains(QLatin1String("error 'ASP 0126'")));
        QVERIFY(missing.text().contains(
            QLatin1String("/noinclude.asp</font><font face=\"Arial\" size=2>, line 3")));

        QVERIFY(
            write(QStringLiteral("vb.asp"), "<%@ Language=\"VBScript\" %><% Response.Write 1 %>"));
        const Reply vb = get(QStringLiteral("/vb.asp"));
        QCOMPARE(vb.status, 500);
        QVERIFY(vb.text().contains(QLatin1String("JScript pages only")));

        QVERIFY(
            write(QStringLiteral("syntax.asp"), "<%@ Language=\"JScript\" %>\n<%\nvar a = ;\n%>"));
        const Reply syntax = get(QStringLiteral("/syntax.asp"));
        QCOMPARE(syntax.status, 500);
        QVERIFY(syntax.text().contains(QLatin1String(
            "JScript compilation </font> <font face=\"Arial\" size=2>error '800a03ea'")));
        QVERIFY(syntax.text().contains(
            QLatin1String("/syntax.asp</font><font face=\"Arial\" size=2>, line 3")));
    }

    void serverObject() {
        QVERIFY(write(QStringLiteral("sub/server.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "Response.Write(Server.MapPath(\"x.txt\") + \"|\" + "
                      "Server.MapPath(\"/db/shop.db\") + \"|\");\n"
                      "Response.Write(Server.HTMLEncode(\"<a href='x'>\\\"&\\\"</a>\") + \"|\" + "
                      "Server.URLEncode(\"a b&c/d.e\") + \"|\");\n"
                      "Server.Execute(\"part.asp\");\n"
                      "Response.Write(\"|\" + "
                      "String(Server.CreateObject(\"Scriptlet.TypeLib\").Guid).length);\n"
                      "%>"));
        QVERIFY(
            write(QStringLiteral("sub/part.asp"),
                  "<%@ Language=\"JScript\" %>part of <%= Request.ServerVariables(\"URL\") %>"));
        const Reply reply = get(QStringLiteral("/sub/server.asp"));
        QCOMPARE(reply.status, 200);
        const QString root = QFileInfo(m_root.path()).canonicalFilePath();
        QCOMPARE(reply.text(),
                 root + QStringLiteral("/sub/x.txt|") + root +
                     QStringLiteral("/db/shop.db|&lt;a href='x'&gt;&quot;&amp;&quot;&lt;/a&gt;|"
                                    "a+b%26c%2Fd%2Ee|part of /sub/server.asp|38"));

        QVERIFY(write(
            QStringLiteral("transfer.asp"),
            "<%@ Language=\"JScript\" %>before <% Server.Transfer(\"sub/part.asp\"); %> after"));
        QCOMPARE(get(QStringLiteral("/transfer.asp")).text(),
                 QStringLiteral("before part of /transfer.asp"));

        QVERIFY(write(QStringLiteral("mappath.asp"),
                      "<%@ Language=\"JScript\" %><%= Server.MapPath(\"../../etc/passwd\") %>"));
        const Reply parent = get(QStringLiteral("/mappath.asp"));
        QCOMPARE(parent.status, 500);
        QVERIFY(parent.text().contains(QLatin1String("error 'ASP 0175'")));

        QVERIFY(
            write(QStringLiteral("unknown.asp"),
                  "<%@ Language=\"JScript\" %><% Server.CreateObject(\"Word.Application\"); %>"));
        const Reply unknown = get(QStringLiteral("/unknown.asp"));
        QCOMPARE(unknown.status, 500);
        QVERIFY(unknown.text().contains(QLatin1String("Invalid class string")));
    }

    void adoOverTheSampleDatabase() {
        QVERIFY(write(
            QStringLiteral("ado.asp"),
            "<%@ Language=\"JScript\" %><%\n"
            "var conn = Server.CreateObject(\"ADODB.Connection\");\n"
            "conn.Open(\"Driver={SQLite3}; Database=\" + Server.MapPath(\"db/shop.db\"));\n"
            "var cmd = Server.CreateObject(\"ADODB.Command\");\n"
            "cmd.ActiveConnection = conn;\n"
            "cmd.CommandText = \"SELECT OrderID, OrderDate, Freight, ShipCity FROM Orders WHERE "
            "OrderID >= ? ORDER BY OrderID\";\n"
            "cmd.Parameters.Append(cmd.CreateParameter(\"from\", 3, 1, 0, 1002));\n"
            "var rs = Server.CreateObject(\"ADODB.Recordset\");\n"
            "rs.CursorLocation = 3;\n"
            "rs.Open(cmd);\n"
            "var d = new Date(rs(\"OrderDate\").Value);\n"
            "Response.Write(rs.RecordCount + \"|\" + rs.Fields.Count + \"|\" + rs.Fields(0).Name + "
            "\"|\" + "
            "rs(\"shipcity\") + \"|\" + (rs.Fields.Item(\"OrderDate\").Value instanceof Date) + "
            "\"|\" + d.getFullYear() + \"-\" + (d.getMonth() + 1) + \"-\" + d.getDate() + "
            "\"|\" + rs(\"Freight\").Value + \"|\");\n"
            "rs.PageSize = 2; rs.AbsolutePage = 2;\n"
            "Response.Write(rs(\"OrderID\") + \"|\" + rs.AbsolutePage + \"|\" + rs.PageCount + "
            "\"|\");\n"
            "var n = 0; while (!rs.EOF) { n++; rs.MoveNext(); }\n"
            "Response.Write(n + \"|\");\n"
            "var fwd = conn.Execute(\"SELECT COUNT(*) AS c FROM Customers\");\n"
            "Response.Write(fwd.RecordCount + \"|\" + fwd(\"c\") + \"|\");\n"
            "try { rs.MoveNext(); } catch (e) { Response.Write(e.number + \"|\" + e.description); "
            "}\n"
            "rs.Close(); conn.Close();\n"
            "%>"));
        const Reply reply = get(QStringLiteral("/ado.asp"));
        QCOMPARE(reply.status, 200);
        QCOMPARE(
            reply.text(),
            QStringLiteral(
                "13|4|OrderID|York|true|2024-3-3|6|1004|2|7|11|-1|10|-2146825267|Either BOF or "
                "EOF is True, or the current record has been deleted. Requested "
                "operation requires a current record."));

        QVERIFY(write(
            QStringLiteral("badsql.asp"),
            "<%@ Language=\"JScript\" %><%\nvar c = Server.CreateObject(\"ADODB.Connection\");\n"
            "c.Open(\"Driver={SQLite3}; Database=\" + Server.MapPath(\"db/shop.db\"));\n"
            "c.Execute(\"SELECT * FROM NoSuchTable\");\n%>"));
        const Reply bad = get(QStringLiteral("/badsql.asp"));
        QCOMPARE(bad.status, 500);
        QVERIFY(bad.text().contains(QLatin1String(
            "ADODB.Connection </font> <font face=\"Arial\" size=2>error '80004005'")));
        QVERIFY(bad.text().contains(QLatin1String("no such table: NoSuchTable")));
        QVERIFY(bad.text().contains(
            QLatin1String("/badsql.asp</font><font face=\"Arial\" size=2>, line 4")));

        QVERIFY(write(
            QStringLiteral("access.asp"),
            "<%@ Language=\"JScript\" %><%\nvar c = Server.CreateObject(\"ADODB.Connection\");\n"
            "c.Open(\"Driver={Microsoft Access Driver (*.mdb)}; DBQ=\" + "
            "Server.MapPath(\"db/x.mdb\"));\n%>"));
        const Reply access = get(QStringLiteral("/access.asp"));
        QCOMPARE(access.status, 500);
        QVERIFY2(access.text().contains(QLatin1String("x.mdb&quot; does not exist.")),
                 qPrintable(access.text()));

        QVERIFY(write(
            QStringLiteral("foxpro.asp"),
            "<%@ Language=\"JScript\" %><%\nvar c = Server.CreateObject(\"ADODB.Connection\");\n"
            "c.Open(\"Driver={Microsoft Visual FoxPro Driver}; SourceDB=\" + "
            "Server.MapPath(\"db\"));\n%>"));
        const Reply foxpro = get(QStringLiteral("/foxpro.asp"));
        QCOMPARE(foxpro.status, 500);
        QVERIFY2(foxpro.text().contains(QLatin1String(
                     "names a Windows desktop driver whose files the preview does not read")),
                 qPrintable(foxpro.text()));
    }

    // A forward-only read holds one batch of rows at a time; the page sees
    // every row, in order, as from one result.
    void forwardOnlyReadsComeInBatches() {
        QVERIFY(write(
            QStringLiteral("stream.asp"),
            "<%@ Language=\"JScript\" %><%\n"
            "var conn = Server.CreateObject(\"ADODB.Connection\");\n"
            "conn.Open(\"Driver={SQLite3}; Database=\" + Server.MapPath(\"db/shop.db\"));\n"
            "var sql = \"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
            "1234) SELECT i, 'row ' || i AS t FROM n\";\n"
            "var rs = Server.CreateObject(\"ADODB.Recordset\");\n"
            "rs.Open(sql, conn);\n"
            "var n = 0, sum = 0, inOrder = true, held = 0;\n"
            "while (!rs.EOF) {\n"
            "    n++; sum += rs(\"i\").Value; if (rs(\"i\").Value != n || rs(\"t\").Value != "
            "\"row \" + n) inOrder = false;\n"
            "    held = Math.max(held, rs.__rows.length);\n"
            "    if (n == 700) Response.Write(rs.AbsolutePosition + \"|\" + "
            "conn.Execute(\"SELECT COUNT(*) FROM Orders\").Fields(0).Value + \"|\");\n"
            "    rs.MoveNext();\n"
            "}\n"
            "Response.Write(n + \"|\" + sum + \"|\" + inOrder + \"|\" + (held <= 500) + \"|\" + "
            "rs.RecordCount + \"|\");\n"
            "try { rs.MoveFirst(); } catch (e) { Response.Write(e.number + \"|\"); }\n"
            "rs.Close();\n"
            "var capped = Server.CreateObject(\"ADODB.Recordset\");\n"
            "capped.MaxRecords = 777;\n"
            "capped.Open(sql, conn);\n"
            "var m = 0; while (!capped.EOF) { m++; capped.MoveNext(); }\n"
            "Response.Write(m + \"|\");\n"
            "var left = Server.CreateObject(\"ADODB.Recordset\");\n"
            "left.Open(sql, conn);\n"
            "left.MoveNext(); left.Close();\n"
            "var again = Server.CreateObject(\"ADODB.Recordset\");\n"
            "again.Open(sql, conn);\n"
            "Response.Write(again(\"t\") + \"|\" + again.GetString(2, -1, \",\", "
            "\";\").split(\";\").length);\n"
            "again.Close(); conn.Close();\n"
            "%>"));
        const Reply reply = get(QStringLiteral("/stream.asp"));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.text(),
                 QStringLiteral("700|14|1234|761995|true|true|-1|-2147217884|777|row 1|1235"));
    }

    // A page that closes its connection, or ends with it open, leaves it for
    // the next page with the same connection string: as a new one, with
    // whatever it left uncommitted undone, and never onto a replaced file.
    void connectionsAreKeptForTheNextPage() {
        const QByteArray open = "var c = Server.CreateObject(\"ADODB.Connection\");\n"
                                "c.Open(\"Driver={SQLite3}; Database=\" + "
                                "Server.MapPath(\"db/shop.db\"));\n";
        QVERIFY(write(QStringLiteral("seen.asp"),
                      "<%@ Language=\"JScript\" %><%\n" + open +
                          "c.Execute(\"CREATE TEMP TABLE IF NOT EXISTS seen (x)\");\n"
                          "c.Execute(\"INSERT INTO seen VALUES (1)\");\n"
                          "Response.Write(c.Execute(\"SELECT COUNT(*) FROM seen\")(0).Value);\n"
                          "c.Close();\n%>"));
        QCOMPARE(get(QStringLiteral("/seen.asp")).text(), QStringLiteral("1"));
        QCOMPARE(get(QStringLiteral("/seen.asp")).text(), QStringLiteral("2"));

        QVERIFY(write(QStringLiteral("leftopen.asp"),
                      "<%@ Language=\"JScript\" %><%\n" + open +
                          "c.BeginTrans();\n"
                          "c.Execute(\"UPDATE Customers SET CompanyName = 'Left open'\");\n"
                          "if (Request.QueryString(\"how\") == \"fail\") c.Execute(\"SELECT * "
                          "FROM NoSuchTable\");\n"
                          "if (Request.QueryString(\"how\") == \"end\") Response.End();\n"
                          "Response.Write(\"done\");\n%>"));
        QVERIFY(write(QStringLiteral("leftcount.asp"),
                      "<%@ Language=\"JScript\" %><%\n" + open +
                          "Response.Write(c.Execute(\"SELECT COUNT(*) FROM Customers WHERE "
                          "CompanyName = 'Left open'\")(0).Value);\nc.Close();\n%>"));
        QCOMPARE(get(QStringLiteral("/leftopen.asp")).text(), QStringLiteral("done"));
        QCOMPARE(get(QStringLiteral("/leftcount.asp")).text(), QStringLiteral("0"));
        QCOMPARE(get(QStringLiteral("/leftopen.asp?how=fail")).status, 500);
        QCOMPARE(get(QStringLiteral("/leftcount.asp")).text(), QStringLiteral("0"));
        QCOMPARE(get(QStringLiteral("/leftopen.asp?how=end")).status, 200);
        QCOMPARE(get(QStringLiteral("/leftcount.asp")).text(), QStringLiteral("0"));

        // A site generated again replaces its database file.
        QVERIFY(write(QStringLiteral("replaced.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "var c = Server.CreateObject(\"ADODB.Connection\");\n"
                      "c.Open(\"Driver={SQLite3}; Database=\" + Server.MapPath(\"db/one.db\"));\n"
                      "Response.Write(c.Execute(\"SELECT COUNT(*) FROM Customers\")(0).Value);\n"
                      "c.Close();\n%>"));
        const QString one = m_root.filePath(QStringLiteral("db/one.db"));
        QVERIFY(QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE), one));
        QCOMPARE(get(QStringLiteral("/replaced.asp")).text(), QStringLiteral("10"));
        const QString changed = m_root.filePath(QStringLiteral("changed.db"));
        QVERIFY(QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE), changed));
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(changed.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "DELETE FROM Customers WHERE CustomerID > 3", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(QFile::remove(one));
        QVERIFY(QFile::rename(changed, one));
        QCOMPARE(get(QStringLiteral("/replaced.asp")).text(), QStringLiteral("3"));
    }

    // Response.Flush sends the head and what the page wrote so far while the
    // page runs on; a client that goes away lets the page know.
    void flushedPartsReachTheClientWhileThePageRuns() {
        QVERIFY(write(QStringLiteral("flushing.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "Response.Cookies(\"kept\") = \"yes\";\n"
                      "Response.Write(\"first|\"); Response.Flush();\n"
                      "var until = new Date().getTime() + 120000;\n"
                      "while (Application(\"go\") != 1 && new Date().getTime() < until) {}\n"
                      "try { Response.AddHeader(\"X-Late\", \"1\"); } catch (e) { "
                      "Response.Write(e.number + \"|\"); }\n"
                      "Response.Write(Application(\"go\") == 1 ? \"last\" : \"never let go\");\n"
                      "%>"));
        QVERIFY(write(QStringLiteral("go.asp"),
                      "<%@ Language=\"JScript\" %><% Application(\"go\") = 1; %>ok"));
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        QVERIFY(socket.waitForConnected(5000));
        socket.write("GET /flushing.asp HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
                     "\r\nConnection: close\r\n\r\n");
        QByteArray data;
        while (!data.contains("first|") && socket.waitForReadyRead(60000))
            data += socket.readAll();
        QVERIFY2(data.contains("first|"), data.constData());
        QCOMPARE(get(QStringLiteral("/go.asp")).text(), QStringLiteral("ok"));
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(60000))
            data += socket.readAll();
        data += socket.readAll();
        const Reply reply = parseAnswer(data);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.text(), QStringLiteral("first|-2147467259|last"));
        QVERIFY(reply.chunks >= 2);
        QVERIFY(reply.headerValues("Set-Cookie").contains(QByteArray("kept=yes; path=/")));

        QVERIFY(write(QStringLiteral("endless.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "var part = new Array(8193).join(\"x\"), i = 0;\n"
                      "while (Response.IsClientConnected && i < 100000) {\n"
                      "    Response.Write(part); Response.Flush(); i++;\n"
                      "}\n"
                      "Application(\"stopped after\") = i;\n%>"));
        QVERIFY(write(QStringLiteral("stopped.asp"),
                      "<%@ Language=\"JScript\" %><%= Application(\"stopped after\") %>"));
        QTcpSocket reader;
        reader.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        QVERIFY(reader.waitForConnected(5000));
        reader.write("GET /endless.asp HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
                     "\r\n\r\n");
        qint64 received = 0;
        while (received < 100000 && reader.waitForReadyRead(60000))
            received += reader.readAll().size();
        QVERIFY(received >= 100000);
        reader.abort();
        // The page notices at its next write that nobody reads any more.
        QString stopped;
        QTRY_VERIFY_WITH_TIMEOUT(!(stopped = get(QStringLiteral("/stopped.asp")).text()).isEmpty(),
                                 120000);
        QVERIFY2(stopped.toInt() < 100000, qPrintable(stopped));
    }

    // Connections wait a while and only so many at a time.
    void thePoolClosesWhatWaitsTooLong() {
        const QString file = m_root.filePath(QStringLiteral("db/shop.db"));
        const QString key = QStringLiteral("Driver={SQLite3}; Database=") + file;
        const auto opened = [&file] {
            QString error;
            std::unique_ptr<ordwick::preview::DataConnection> c =
                ordwick::preview::SqliteConnection::open(file, error);
            return c;
        };
        // The pool's clock is the test's, so a slow machine cannot age a connection.
        ordwick::preview::ConnectionPool::Clock::time_point now{};
        ordwick::preview::ConnectionPool brief(std::chrono::milliseconds(40), 2,
                                               [&now] { return now; });
        brief.giveBack(key, opened());
        QVERIFY(brief.take(QStringLiteral("Driver={SQLite3}; Database=other.db")) == nullptr);
        QVERIFY(brief.take(key) != nullptr);
        QCOMPARE(brief.idleCount(), 0);
        for (int i = 0; i < 3; ++i)
            brief.giveBack(key, opened());
        QCOMPARE(brief.idleCount(), 2);
        // One waited its whole limit and is still good; one waited past it.
        now += std::chrono::milliseconds(40);
        QVERIFY(brief.take(key) != nullptr);
        QCOMPARE(brief.idleCount(), 1);
        now += std::chrono::milliseconds(1);
        QVERIFY(brief.take(key) == nullptr);
        QCOMPARE(brief.idleCount(), 0);
    }

    // A page that allocates without end is stopped once the host passes its
    // memory limit, and what it took is given back.
    void aPagePastTheMemoryLimitIsStopped() {
        const auto resident = [] {
            QFile statm(QStringLiteral("/proc/self/statm"));
            if (!statm.open(QIODevice::ReadOnly))
                return qint64(0);
            return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
        };
        QVERIFY(write(QStringLiteral("greedy.asp"),
                      "<%@ Language=\"JScript\" %><%\n"
                      "var kept = [], part = new Array(100001).join(\"x\");\n"
                      "while (true) kept.push(part + kept.length);\n%>"));
        const qint64 before = resident();
        const qint64 allowance = qint64(300) << 20;
        ordwick::PreviewHost host;
        host.setMemoryLimit(before + allowance);
        const ordwick::PreviewHost::Started started =
            host.start(m_root.path(), 0, ordwick::PreviewHost::Access::Open);
        QVERIFY2(started.ok(), qPrintable(started.error));
        Browser client(static_cast<quint16>(started.url.port()));
        const Reply reply = client.get(QStringLiteral("/greedy.asp"));
        QCOMPARE(reply.status, 500);
        QVERIFY2(reply.text().contains(QLatin1String("error '800a0007'")),
                 qPrintable(reply.text().left(600)));
        QVERIFY(reply.text().contains(QLatin1String("Out of memory")));
        QVERIFY2(
            resident() < before + allowance / 2,
            qPrintable(QString::number((resident() - before) >> 20) + QStringLiteral(" MB kept")));
        QCOMPARE(client.get(QStringLiteral("/default.asp")).text(), QStringLiteral("home"));
    }

    // Sessions live only so long and only so many at once; the one idle
    // longest goes first.
    void theSessionsIdleLongestGoFirst() {
        using ordwick::preview::SessionStore;
        using std::chrono::minutes;
        SessionStore::Clock::time_point now{};
        SessionStore store(3, [&now] { return now; });
        const QString first = store.create()->id;
        now += minutes(1);
        const QString second = store.create()->id;
        now += minutes(1);
        const QString third = store.create()->id;
        now += minutes(1);
        QVERIFY(store.find(first) != nullptr);
        store.create();
        QCOMPARE(store.count(), 3);
        QVERIFY(store.find(second) == nullptr);
        QVERIFY(store.find(third) != nullptr);
        now += minutes(20);
        QVERIFY(store.find(third) != nullptr); // idle just its 20 minutes
        now += std::chrono::seconds(1);
        QVERIFY(store.find(first) == nullptr); // idle a second longer
        QCOMPARE(store.count(), 1);            // the fourth timed out as well
    }

    // Requests that wait for their session's page hold no thread that
    // another client needs.
    void aSessionsWaitingRequestsLeaveOthersAnswered() {
        QVERIFY(write(QStringLiteral("hold.asp"), "<%@ Language=\"JScript\" %><%\n"
                                                  "Application(\"holding\") = 1;\n"
                                                  "while (Application(\"release\") != 1) {}\n"
                                                  "Response.Write(\"held\");\n%>"));
        QVERIFY(write(QStringLiteral("holding.asp"),
                      "<%@ Language=\"JScript\" EnableSessionState=False %>"
                      "<%= Application(\"holding\") %>"));
        QVERIFY(write(QStringLiteral("release.asp"),
                      "<%@ Language=\"JScript\" EnableSessionState=False %>"
                      "<% Application(\"release\") = 1; %>released"));
        QVERIFY(write(QStringLiteral("plain.txt"), "plain"));
        Browser visitor(m_port);
        QCOMPARE(visitor.get(QStringLiteral("/default.asp")).status, 200);
        QByteArray cookies;
        for (auto it = visitor.cookies().cbegin(); it != visitor.cookies().cend(); ++it)
            cookies += it.key() + '=' + it.value() + "; ";
        const QByteArray request =
            "GET /hold.asp HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
            "\r\nCookie: " + cookies + "\r\nConnection: close\r\n\r\n";
        std::vector<std::unique_ptr<QTcpSocket>> waiting;
        const auto send = [&] {
            auto socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(QStringLiteral("127.0.0.1"), m_port);
            QVERIFY(socket->waitForConnected(60000));
            socket->write(request);
            QVERIFY(socket->waitForBytesWritten(60000));
            waiting.push_back(std::move(socket));
        };
        send();
        QTRY_COMPARE_WITH_TIMEOUT(get(QStringLiteral("/holding.asp")).text(), QStringLiteral("1"),
                                  60000);
        for (int i = 0; i < 16; ++i)
            send();
        // Another client, a page and a file, while the session's pages wait.
        QCOMPARE(get(QStringLiteral("/plain.txt")).text(), QStringLiteral("plain"));
        QCOMPARE(get(QStringLiteral("/default.asp")).text(), QStringLiteral("home"));
        QCOMPARE(get(QStringLiteral("/release.asp")).text(), QStringLiteral("released"));
        for (const auto& socket : waiting) {
            QByteArray data;
            while (socket->state() == QAbstractSocket::ConnectedState &&
                   socket->waitForReadyRead(60000))
                data += socket->readAll();
            data += socket->readAll();
            const Reply reply = parseAnswer(data);
            QCOMPARE(reply.status, 200);
            QCOMPARE(reply.text(), QStringLiteral("held"));
        }
    }

    void cleanupTestCase() { m_host.stop(); }
};

QTEST_MAIN(PreviewAspTest)
#include "tst_preview_asp.moc"
