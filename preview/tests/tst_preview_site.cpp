// Generated sites served by the preview host: every page type answers, and a
// record added, edited and deleted through the pages' own forms reaches the
// database, on the sample SQLite database and on PostgreSQL.
#include "preview/previewhost.h"
#include "previewtesting.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

using namespace previewtest;

namespace {

QString sqliteText(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    QString result = QStringLiteral("<none>");
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(statement); ++i)
                cells.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
            result = cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

// A few statements on the PostgreSQL test server, and single values back.
class OdbcSession {
public:
    explicit OdbcSession(const QString& connectionString) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        QByteArray text = connectionString.toUtf8();
        m_ok = SQL_SUCCEEDED(SQLDriverConnect(
            m_dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
            static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    }
    ~OdbcSession() {
        if (m_ok)
            SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    bool ok() const { return m_ok; }

    bool run(const QString& sql) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &statement);
        QByteArray text = sql.toUtf8();
        const SQLRETURN rc = SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()),
                                           static_cast<SQLINTEGER>(text.size()));
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    }

    QString value(const QString& sql) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &statement);
        QByteArray text = sql.toUtf8();
        QString result = QStringLiteral("<none>");
        if (SQL_SUCCEEDED(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()),
                                        static_cast<SQLINTEGER>(text.size()))) &&
            SQL_SUCCEEDED(SQLFetch(statement))) {
            char buffer[512] = {};
            SQLLEN length = 0;
            SQLGetData(statement, 1, SQL_C_CHAR, buffer, sizeof buffer, &length);
            result = length == SQL_NULL_DATA ? QStringLiteral("<null>") : QString::fromUtf8(buffer);
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return result;
    }

private:
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    bool m_ok = false;
};

QString pgConnection() {
    return qEnvironmentVariable("TESSALINE_TEST_PG_DRIVER") + QStringLiteral(";UID=") +
           qEnvironmentVariable("TESSALINE_TEST_USER") + QStringLiteral(";PWD=") +
           qEnvironmentVariable("TESSALINE_TEST_PASSWORD");
}

} // namespace

class PreviewSiteTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    ordwick::PreviewHost m_host;
    QString m_site;
    quint16 m_port = 0;

    QString generate(const QString& name, SiteRecipe recipe) {
        return generateSite(QStringLiteral(ORDWICK_GENERATE), QStringLiteral(ORDWICK_TEMPLATE_DIR),
                            m_root.filePath(name + QStringLiteral(".pjx")), recipe);
    }

    QString siteDb() const { return m_site + QStringLiteral("/db/shop.db"); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        const QString database = m_root.filePath(QStringLiteral("shop.db"));
        QVERIFY(QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE), database));
        m_site = m_root.filePath(QStringLiteral("customers"));
        const QString failure =
            generate(QStringLiteral("customers"), customersRecipe(database, m_site));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(QFile::exists(siteDb()));
        // 25 customers: two pages of 20.
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(siteDb().toUtf8().constData(), &db), SQLITE_OK);
        for (int i = 1; i <= 15; ++i) {
            const QByteArray sql = QStringLiteral("INSERT INTO Customers (CompanyName, "
                                                  "CountryCode, CreatedAt) VALUES ('Extra "
                                                  "Customer %1', 'GB', '2024-01-01')")
                                       .arg(i)
                                       .toUtf8();
            QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        }
        sqlite3_close(db);
        const ordwick::PreviewHost::Started started =
            m_host.start(m_site, 0, ordwick::PreviewHost::Access::Open);
        QVERIFY2(started.ok(), qPrintable(started.error));
        QCOMPARE(started.url.host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(started.url.path(), QStringLiteral("/customers_index.asp"));
        QVERIFY(m_host.running());
        m_port = static_cast<quint16>(started.url.port());
    }

    void everyPageTypeAnswers_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("list") << "/customers_index.asp" << QByteArray("text/html; charset=utf-8")
                              << "<td class=\"ow-left\">Harbour Lights Trading</td>";
        QTest::newRow("list, second page of five")
            << "/customers_index.asp?p=2" << QByteArray("text/html; charset=utf-8")
            << "<span>Page 2 of 2</span>";
        QTest::newRow("list, last row of the second page")
            << "/customers_index.asp?p=2" << QByteArray("text/html; charset=utf-8")
            << "<td class=\"ow-left\">Extra Customer 15</td>";
        QTest::newRow("basic search")
            << "/customers_index.asp?q=Bluebell" << QByteArray("text/html; charset=utf-8")
            << "<td class=\"ow-left\">Bluebell Tea Rooms</td>";
        QTest::newRow("add form") << "/customers_edit.asp" << QByteArray("text/html; charset=utf-8")
                                  << "<input type=\"hidden\" name=\"ow_mode\" value=\"add\">";
        QTest::newRow("edit form")
            << "/customers_edit.asp?k0=2" << QByteArray("text/html; charset=utf-8")
            << "value=\"Bluebell Tea Rooms\"";
        QTest::newRow("advanced search")
            << "/customers_search.asp" << QByteArray("text/html; charset=utf-8") << "<form";
        QTest::newRow("print") << "/customers_print.asp" << QByteArray("text/html; charset=utf-8")
                               << "Nordwind Outdoor GmbH";
        QTest::newRow("export csv")
            << "/customers_export.asp?f=csv" << QByteArray("text/csv; charset=utf-8")
            << "\"1\",\"Harbour Lights Trading\",\"Maren Holt\",\"NO\",\"15000.00\"";
        QTest::newRow("export spreadsheet")
            << "/customers_export.asp?f=xls"
            << QByteArray("application/vnd.ms-excel; charset=utf-8") << "Harbour Lights Trading";
        QTest::newRow("style sheet") << "/include/style.css" << QByteArray("text/css") << ".ow-";
        QTest::newRow("browser script")
            << "/include/site.js" << QByteArray("application/javascript") << "function";
    }

    void everyPageTypeAnswers() {
        QFETCH(QString, target);
        QFETCH(QByteArray, type);
        QFETCH(QString, expected);
        Browser browser(m_port);
        const Reply reply = browser.get(target);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.header("Content-Type"), type);
        QVERIFY2(reply.text().contains(expected), qPrintable(reply.text().left(3000)));
        QVERIFY2(!reply.text().contains(QLatin1String("error '")), qPrintable(reply.text()));
    }

    void imagesAreServedWithTheirType() {
        Browser browser(m_port);
        const Reply reply = browser.get(QStringLiteral("/images/add.png"));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.header("Content-Type"), QByteArray("image/png"));
        QVERIFY(reply.body.startsWith("\x89PNG"));
        QCOMPARE(reply.header("Cache-Control"), QByteArray("no-cache"));
        QVERIFY(!reply.header("ETag").isEmpty());
        QVERIFY(!reply.header("Last-Modified").isEmpty());
        const Reply again = browser.get(QStringLiteral("/images/add.png"),
                                        {{"If-None-Match", reply.header("ETag")}});
        QCOMPARE(again.status, 304);
        QVERIFY(again.body.isEmpty());
    }

    void recordAddedEditedAndDeletedThroughTheForms() {
        Browser browser(m_port);
        const Reply form = browser.get(QStringLiteral("/customers_edit.asp"));
        const QString token = hiddenValue(form.text(), QStringLiteral("ow_token"));
        QCOMPARE(token.size(), 32);

        // Added.
        Reply added = browser.post(QStringLiteral("/customers_edit.asp"),
                                   {{QStringLiteral("ow_token"), token},
                                    {QStringLiteral("ow_mode"), QStringLiteral("add")},
                                    {QStringLiteral("f1"), QStringLiteral("Fjord & Sons Café")},
                                    {QStringLiteral("f2"), QStringLiteral("Ingrid Berg")},
                                    {QStringLiteral("f3"), QStringLiteral("NO")},
                                    {QStringLiteral("f4"), QStringLiteral("2500")},
                                    {QStringLiteral("f5"), QStringLiteral("2024-05-06")}});
        QCOMPARE(added.status, 302);
        QCOMPARE(added.header("Location"), QByteArray("customers_index.asp?m=added"));
        const QString id = sqliteText(
            siteDb(), QStringLiteral("SELECT CustomerID FROM Customers WHERE CompanyName = "
                                     "'Fjord & Sons Café'"));
        QVERIFY2(id != QLatin1String("<none>"), "the record was not added");
        QCOMPARE(sqliteText(siteDb(), QStringLiteral("SELECT ContactName, CountryCode, "
                                                     "CreditLimit, CreatedAt FROM Customers "
                                                     "WHERE CustomerID = ") +
                                          id),
                 QStringLiteral("Ingrid Berg|NO|2500|2024-05-06"));
        QVERIFY(browser.get(QStringLiteral("/customers_index.asp?q=Fjord"))
                    .text()
                    .contains(QStringLiteral("Fjord &amp; Sons Café")));

        // Edited.
        const Reply edit = browser.get(QStringLiteral("/customers_edit.asp?k0=") + id);
        QCOMPARE(hiddenValue(edit.text(), QStringLiteral("ow_token")), token);
        const Reply saved = browser.post(QStringLiteral("/customers_edit.asp"),
                                         {{QStringLiteral("ow_token"), token},
                                          {QStringLiteral("ow_mode"), QStringLiteral("edit")},
                                          {QStringLiteral("k0"), id},
                                          {QStringLiteral("f1"), QStringLiteral("Fjord Sons")},
                                          {QStringLiteral("f2"), QString()},
                                          {QStringLiteral("f3"), QStringLiteral("SE")},
                                          {QStringLiteral("f4"), QStringLiteral("3100.50")},
                                          {QStringLiteral("f5"), QStringLiteral("2024-06-01")}});
        QCOMPARE(saved.status, 302);
        QCOMPARE(saved.header("Location"), QByteArray("customers_index.asp?m=saved"));
        QCOMPARE(sqliteText(siteDb(), QStringLiteral("SELECT CompanyName, ContactName IS NULL, "
                                                     "CountryCode, CreditLimit, CreatedAt FROM "
                                                     "Customers WHERE CustomerID = ") +
                                          id),
                 QStringLiteral("Fjord Sons|1|SE|3100.5|2024-06-01"));

        // A change without the session's token is refused and changes nothing.
        Browser stranger(m_port);
        const Reply forged = stranger.post(QStringLiteral("/customers_index.asp"),
                                           {{QStringLiteral("ow_token"), token},
                                            {QStringLiteral("ow_action"), QStringLiteral("delete")},
                                            {QStringLiteral("k0"), id}});
        QCOMPARE(forged.status, 403);
        QCOMPARE(sqliteText(siteDb(), QStringLiteral("SELECT COUNT(*) FROM Customers WHERE "
                                                     "CustomerID = ") +
                                          id),
                 QStringLiteral("1"));

        // Deleted.
        const Reply deleted = browser.post(QStringLiteral("/customers_index.asp"),
                                           {{QStringLiteral("ow_token"), token},
                                            {QStringLiteral("ow_action"), QStringLiteral("delete")},
                                            {QStringLiteral("k0"), id}});
        QCOMPARE(deleted.status, 302);
        QCOMPARE(deleted.header("Location"), QByteArray("customers_index.asp?m=deleted"));
        QCOMPARE(sqliteText(siteDb(), QStringLiteral("SELECT COUNT(*) FROM Customers WHERE "
                                                     "CustomerID = ") +
                                          id),
                 QStringLiteral("0"));
    }

    void pageChangesShowAtTheNextRequest() {
        const QString page = m_site + QStringLiteral("/hello.asp");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<%@ Language=\"JScript\" %><% Response.Write(\"one\"); %>");
        file.close();
        Browser browser(m_port);
        QCOMPARE(browser.get(QStringLiteral("/hello.asp")).text(), QStringLiteral("one"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("<%@ Language=\"JScript\" %><% Response.Write(\"two, changed\"); %>");
        file.close();
        // A later modification time, whatever the file system's resolution.
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(browser.get(QStringLiteral("/hello.asp")).text(), QStringLiteral("two, changed"));
    }

    void postgresSiteWorksThroughOdbc() {
        if (!qEnvironmentVariableIsSet("TESSALINE_TEST_SERVICES"))
            QSKIP("The test database servers are not running (scripts/test-services.sh).");
        OdbcSession pg(pgConnection());
        QVERIFY2(pg.ok(), "PostgreSQL does not answer through ODBC");
        QVERIFY(pg.run(QStringLiteral("DROP TABLE IF EXISTS preview_items")));
        QVERIFY(pg.run(QStringLiteral("CREATE TABLE preview_items (id SERIAL PRIMARY KEY, name "
                                      "VARCHAR(60) NOT NULL, price NUMERIC(10,2), added DATE)")));
        QVERIFY(pg.run(QStringLiteral("INSERT INTO preview_items (name, price, added) VALUES "
                                      "('Anchor rope', 12.50, '2024-02-01'), ('Brass bell', "
                                      "40.00, '2024-02-02')")));
        SiteRecipe recipe;
        recipe.datasourceStatus = 3;
        recipe.datasourceType = 0;
        recipe.connectionString = pgConnection();
        recipe.table = QStringLiteral("preview_items");
        recipe.destination = m_root.filePath(QStringLiteral("pg"));
        recipe.copyDatabase = false;
        recipe.uniqueKey = {QStringLiteral("id")};
        recipe.columns = {{QStringLiteral("id"), 1, 9, 0, false, {}},
                          {QStringLiteral("name"), 4, 1, 0, true, {}},
                          {QStringLiteral("price"), 7, 1, 2, false, {}},
                          {QStringLiteral("added"), 8, 7, 0, false, QStringLiteral("0")}};
        const QString failure = generate(QStringLiteral("pg"), recipe);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        ordwick::PreviewHost host;
        const ordwick::PreviewHost::Started started =
            host.start(recipe.destination, 0, ordwick::PreviewHost::Access::Open);
        QVERIFY2(started.ok(), qPrintable(started.error));
        Browser browser(static_cast<quint16>(started.url.port()));
        const Reply list = browser.get(started.url.path());
        QCOMPARE(list.status, 200);
        QVERIFY2(list.text().contains(QLatin1String("<td class=\"ow-left\">Brass bell</td>")),
                 qPrintable(list.text()));
        QVERIFY(list.text().contains(QLatin1String("2024-02-01")));

        const QString token =
            hiddenValue(browser.get(QStringLiteral("/preview_items_edit.asp")).text(),
                        QStringLiteral("ow_token"));
        QCOMPARE(token.size(), 32);
        const Reply added = browser.post(QStringLiteral("/preview_items_edit.asp"),
                                         {{QStringLiteral("ow_token"), token},
                                          {QStringLiteral("ow_mode"), QStringLiteral("add")},
                                          {QStringLiteral("f1"), QStringLiteral("Compass")},
                                          {QStringLiteral("f2"), QStringLiteral("75.25")},
                                          {QStringLiteral("f3"), QStringLiteral("2024-03-04")}});
        QCOMPARE(added.status, 302);
        const QString id =
            pg.value(QStringLiteral("SELECT id FROM preview_items WHERE name = 'Compass'"));
        QCOMPARE(pg.value(QStringLiteral("SELECT price || ' ' || added FROM preview_items WHERE "
                                         "name = 'Compass'")),
                 QStringLiteral("75.25 2024-03-04"));
        const Reply saved = browser.post(QStringLiteral("/preview_items_edit.asp"),
                                         {{QStringLiteral("ow_token"), token},
                                          {QStringLiteral("ow_mode"), QStringLiteral("edit")},
                                          {QStringLiteral("k0"), id},
                                          {QStringLiteral("f1"), QStringLiteral("Compass, brass")},
                                          {QStringLiteral("f2"), QStringLiteral("80")},
                                          {QStringLiteral("f3"), QString()}});
        QCOMPARE(saved.status, 302);
        QCOMPARE(pg.value(QStringLiteral("SELECT name || ' ' || price || ' ' || (added IS NULL) "
                                         "FROM preview_items WHERE id = ") +
                          id),
                 QStringLiteral("Compass, brass 80.00 true"));
        const Reply deleted = browser.post(QStringLiteral("/preview_items_index.asp"),
                                           {{QStringLiteral("ow_token"), token},
                                            {QStringLiteral("ow_action"), QStringLiteral("delete")},
                                            {QStringLiteral("k0"), id}});
        QCOMPARE(deleted.status, 302);
        QCOMPARE(pg.value(QStringLiteral("SELECT COUNT(*) FROM preview_items WHERE id = ") + id),
                 QStringLiteral("0"));
        host.stop();
        QVERIFY(!host.running());
        pg.run(QStringLiteral("DROP TABLE preview_items"));
    }

    void cleanupTestCase() {
        m_host.stop();
        QVERIFY(!m_host.running());
    }
};

QTEST_MAIN(PreviewSiteTest)
#include "tst_preview_site.moc"
