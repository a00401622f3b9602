// Sites over the Windows desktop drivers' sources (an Access database, an
// Excel workbook, folders of dBase and text tables) served by the preview
// host: list, paging, sorting, searches, print and export work on a copy of
// the tables, and a page that tries to change data is refused with nothing
// written to the file.
#include "preview/previewhost.h"
#include "previewtesting.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <memory>

using namespace previewtest;

namespace {

QString fixturesFolder() {
    const QString shared = qEnvironmentVariable("TESSALINE_SHARED_DIR");
    const QString fixtures = QDir(shared).filePath(QStringLiteral("fixtures"));
    return !shared.isEmpty() && QDir(fixtures).exists() ? fixtures : QString();
}

QByteArray checksum(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

Column column(const char* name, int dataType, int validation = 0) {
    return {QString::fromLatin1(name), dataType, 1, validation, false, {}};
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool setModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

#define REQUIRE_FIXTURES()                                                                         \
    if (m_fixtures.isEmpty())                                                                      \
        QSKIP("The shared sample files (../shared/fixtures) are not present.");

class PreviewDesktopTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_fixtures;
    std::map<QString, std::unique_ptr<ordwick::PreviewHost>> m_hosts;
    std::map<QString, quint16> m_ports;
    std::map<QString, QString> m_stems; // "/products" of "/products_index.asp"

    // Generates the site into its own folder and serves it; the generator's
    // or the host's complaint, empty on success.
    QString serve(const QString& name, SiteRecipe recipe) {
        recipe.destination = m_root.filePath(name);
        const QString failure =
            generateSite(QStringLiteral(ORDWICK_GENERATE), QStringLiteral(ORDWICK_TEMPLATE_DIR),
                         m_root.filePath(name + QStringLiteral(".pjx")), recipe);
        if (!failure.isEmpty())
            return failure;
        auto host = std::make_unique<ordwick::PreviewHost>();
        const ordwick::PreviewHost::Started started =
            host->start(recipe.destination, 0, ordwick::PreviewHost::Access::Open);
        if (!started.ok())
            return started.error;
        m_ports[name] = static_cast<quint16>(started.url.port());
        m_stems[name] = QString::fromLatin1(QUrl::toPercentEncoding(
            started.url.path().chopped(QStringLiteral("_index.asp").size()), "/"));
        m_hosts[name] = std::move(host);
        return {};
    }

    // "%1" in the target stands for the site's page names ("/products").
    Reply get(const QString& site, const QString& target) {
        return Browser(m_ports[site])
            .get(QString(target).replace(QLatin1String("%1"), m_stems[site]));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_fixtures = fixturesFolder();
        if (m_fixtures.isEmpty())
            return;
        const QString access = m_root.filePath(QStringLiteral("nwind.mdb"));
        QVERIFY(QFile::copy(m_fixtures + QStringLiteral("/access/nwind.mdb"), access));
        const QString accessString =
            QStringLiteral("Driver={Microsoft Access Driver (*.mdb)}; DBQ=") + access;

        SiteRecipe products;
        products.datasourceType = 1;
        products.databaseName = access;
        products.connectionString = accessString;
        products.table = QStringLiteral("Products");
        products.uniqueKey = {QStringLiteral("ProductID")};
        products.columns = {column("ProductID", 1), column("ProductName", 4),
                            column("UnitPrice", 7, 2), column("Discontinued", 6)};
        products.sorting = true;
        QString failure = serve(QStringLiteral("products"), products);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        SiteRecipe orders = products;
        orders.table = QStringLiteral("Orders");
        orders.uniqueKey = {QStringLiteral("OrderID")};
        orders.columns = {column("OrderID", 1),
                          column("CustomerID", 4),
                          {QStringLiteral("OrderDate"), 8, 7, 0, false, QStringLiteral("0")},
                          column("Freight", 7, 2)};
        failure = serve(QStringLiteral("orders"), orders);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        const QString workbook = m_root.filePath(QStringLiteral("profiles.xls"));
        QVERIFY(QFile::copy(m_fixtures + QStringLiteral("/excel/profiles.xls"), workbook));
        SiteRecipe sheet;
        sheet.datasourceType = 2;
        sheet.databaseName = workbook;
        sheet.connectionString =
            QStringLiteral("Driver={Microsoft Excel Driver (*.xls)}; DBQ=") + workbook;
        sheet.table = QStringLiteral("PROFILEDEF$");
        sheet.uniqueKey = {QStringLiteral("PROFIL")};
        sheet.columns = {column("PROFIL", 4), column("a", 3), column("l", 3)};
        sheet.copyDatabase = false;
        failure = serve(QStringLiteral("sheet"), sheet);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        const QString dbase = m_root.filePath(QStringLiteral("dbase"));
        QVERIFY(QDir().mkpath(dbase));
        for (const char* name : {"memotest.dbf", "memotest.FPT"})
            QVERIFY(QFile::copy(m_fixtures + QStringLiteral("/dbase/") + QLatin1String(name),
                                dbase + u'/' + QLatin1String(name)));
        SiteRecipe people;
        people.datasourceType = 4;
        people.databaseName = dbase;
        people.connectionString =
            QStringLiteral("Driver={Microsoft dBASE Driver (*.dbf)}; DBQ=") + dbase;
        people.table = QStringLiteral("memotest");
        people.uniqueKey = {QStringLiteral("NAME")};
        people.columns = {column("NAME", 4),
                          {QStringLiteral("BIRTHDATE"), 8, 7, 0, false, QStringLiteral("0")},
                          column("MEMO", 5)};
        people.copyDatabase = false;
        failure = serve(QStringLiteral("people"), people);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        const QString text = m_root.filePath(QStringLiteral("text"));
        QVERIFY(QDir().mkpath(text));
        QVERIFY(writeFile(text + QStringLiteral("/prices.csv"),
                          "id,name,price\r\n1,Anchor rope,12.5\r\n2,Brass bell,40\r\n"
                          "3,\"Cleat, 50% off\",7.25\r\n"));
        SiteRecipe prices;
        prices.datasourceType = 3;
        prices.databaseName = text;
        prices.connectionString =
            QStringLiteral("Driver={Microsoft Text Driver (*.txt; *.csv)}; DBQ=") + text;
        prices.table = QStringLiteral("prices#csv");
        prices.uniqueKey = {QStringLiteral("id")};
        prices.columns = {column("id", 1), column("name", 4), column("price", 3)};
        prices.copyDatabase = false;
        failure = serve(QStringLiteral("prices"), prices);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void accessPagesWork_data() {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("absent");
        const auto row = [](const char* name) {
            return QStringLiteral("<td class=\"ow-left\">%1</td>").arg(QString::fromUtf8(name));
        };
        QTest::newRow("list, first page")
            << "products"
            << "/products_index.asp"
            << QStringList{row("Chai"), row("18.00"), row("No"), QStringLiteral("Page 1 of 4"),
                           QStringLiteral("77 records")}
            << QStringList{row("Sir Rodney&#39;s Scones")};
        QTest::newRow("list, second page")
            << "products"
            << "/products_index.asp?p=2"
            << QStringList{row("Sir Rodney&#39;s Scones"), row("Boston Crab Meat"),
                           QStringLiteral("Page 2 of 4")}
            << QStringList{row("Chai"), row("Ipoh Coffee")};
        QTest::newRow("list, last page")
            << "products"
            << "/products_index.asp?p=4"
            << QStringList{row("Original Frankfurter grüne Soße"), QStringLiteral("Page 4 of 4")}
            << QStringList{row("Boston Crab Meat")};
        QTest::newRow("sorted by price, highest first")
            << "products"
            << "/products_index.asp?s=2&d=desc&n=10"
            << QStringList{row("Côte de Blaye"), row("263.50"), row("Thüringer Rostbratwurst")}
            << QStringList{row("Chai")};
        QTest::newRow("basic search, any letter case")
            << "products"
            << "/products_index.asp?q=CHEF"
            << QStringList{row("Chef Anton&#39;s Cajun Seasoning"),
                           row("Chef Anton&#39;s Gumbo Mix"), QStringLiteral("2 records")}
            << QStringList{row("Chai")};
        QTest::newRow("basic search for a wildcard finds only itself")
            << "products"
            << "/products_index.asp?q=%25" << QStringList{QStringLiteral("No records found.")}
            << QStringList{row("Chai")};
        QTest::newRow("basic search for a bracket finds only itself")
            << "products"
            << "/products_index.asp?q=%5B" << QStringList{QStringLiteral("No records found.")}
            << QStringList{row("Chai")};
        QTest::newRow("basic search, an apostrophe")
            << "products"
            << "/products_index.asp?q=Rodney%27s"
            << QStringList{row("Sir Rodney&#39;s Scones"), row("Sir Rodney&#39;s Marmalade"),
                           QStringLiteral("2 records")}
            << QStringList{row("Chai")};
        QTest::newRow("advanced search on a price")
            << "products"
            << "/products_index.asp?a2o=gt&a2v=100"
            << QStringList{row("Thüringer Rostbratwurst"), row("Côte de Blaye"),
                           QStringLiteral("2 records")}
            << QStringList{row("Chai")};
        QTest::newRow("advanced search on a yes/no column")
            << "products"
            << "/products_index.asp?a3o=eq&a3v=yes&n=50"
            << QStringList{row("Chef Anton&#39;s Gumbo Mix"), row("Yes"),
                           QStringLiteral("8 records")}
            << QStringList{row("No")};
        QTest::newRow("edit form reads one record")
            << "products"
            << "/products_edit.asp?k0=38"
            << QStringList{QStringLiteral("value=\"Côte de Blaye\""),
                           QStringLiteral("value=\"263.5\"")}
            << QStringList{};
        // The printer-friendly page shows the page of the list the visitor is on.
        QTest::newRow("print") << "products"
                               << "/products_print.asp" << QStringList{row("Chai"), row("18.00")}
                               << QStringList{row("Sir Rodney&#39;s Scones"),
                                              row("Original Frankfurter grüne Soße")};
        QTest::newRow("print, last page")
            << "products"
            << "/products_print.asp?p=4" << QStringList{row("Original Frankfurter grüne Soße")}
            << QStringList{row("Chai")};
        QTest::newRow("export")
            << "products"
            << "/products_export.asp?f=csv"
            << QStringList{QStringLiteral("\"ProductID\",\"ProductName\",\"UnitPrice\","
                                          "\"Discontinued\""),
                           QStringLiteral("\"5\",\"Chef Anton's Gumbo Mix\",\"21.35\",\"Yes\"")}
            << QStringList{};
        QTest::newRow("dates") << "orders"
                               << "/orders_index.asp?s=0&n=10"
                               << QStringList{row("10248"), row("VINET"), row("1994-08-04"),
                                              row("32.38")}
                               << QStringList{};
        QTest::newRow("advanced search on a day")
            << "orders"
            << "/orders_index.asp?a2o=eq&a2v=1994-11-16"
            << QStringList{row("10330"), row("10331"), QStringLiteral("2 records")}
            << QStringList{row("10248")};
        QTest::newRow("advanced search before a day")
            << "orders"
            << "/orders_index.asp?a2o=lt&a2v=1994-08-05"
            << QStringList{row("10248"), QStringLiteral("1 record<")} << QStringList{row("10249")};
    }

    void accessPagesWork() {
        REQUIRE_FIXTURES();
        QFETCH(QString, site);
        QFETCH(QString, target);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        const Reply reply = get(site, target);
        QCOMPARE(reply.status, 200);
        for (const QString& text : expected)
            QVERIFY2(reply.text().contains(text), qPrintable(text + u'\n' + reply.text()));
        for (const QString& text : absent)
            QVERIFY2(!reply.text().contains(text), qPrintable(text));
    }

    void otherDesktopSourcesWork_data() {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("absent");
        const auto row = [](const char* name) {
            return QStringLiteral("<td class=\"ow-left\">%1</td>").arg(QString::fromUtf8(name));
        };
        QTest::newRow("worksheet")
            << "sheet"
            << "%1_index.asp"
            << QStringList{row("P8.2"), row("100"), row("111"), QStringLiteral("14 records")}
            << QStringList{};
        QTest::newRow("worksheet, search on a number")
            << "sheet"
            << "%1_index.asp?a1o=eq&a1v=112"
            << QStringList{row("P8.3"), QStringLiteral("1 record<")} << QStringList{row("P8.2")};
        QTest::newRow("dBase table with memo file, deleted record left out")
            << "people"
            << "%1_index.asp"
            << QStringList{row("Alice"), row("1987-03-01"), row("Alice memo"), row("Bob"),
                           QStringLiteral("2 records")}
            << QStringList{QStringLiteral("Deleted Guy")};
        QTest::newRow("dBase table, search in a memo")
            << "people"
            << "%1_index.asp?q=bob+memo" << QStringList{row("Bob"), QStringLiteral("1 record<")}
            << QStringList{row("Alice")};
        QTest::newRow("text table")
            << "prices"
            << "%1_index.asp"
            << QStringList{row("Anchor rope"), row("Cleat, 50% off"), QStringLiteral("3 records")}
            << QStringList{};
        QTest::newRow("text table, a literal percent sign")
            << "prices"
            << "%1_index.asp?q=50%25"
            << QStringList{row("Cleat, 50% off"), QStringLiteral("1 record<")}
            << QStringList{row("Anchor rope")};
        QTest::newRow("text table, export")
            << "prices"
            << "%1_export.asp?f=csv" << QStringList{QStringLiteral("\"2\",\"Brass bell\",\"40\"")}
            << QStringList{};
    }

    void otherDesktopSourcesWork() {
        REQUIRE_FIXTURES();
        QFETCH(QString, site);
        QFETCH(QString, target);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        const Reply reply = get(site, target);
        QCOMPARE(reply.status, 200);
        for (const QString& text : expected)
            QVERIFY2(reply.text().contains(text), qPrintable(text + u'\n' + reply.text()));
        for (const QString& text : absent)
            QVERIFY2(!reply.text().contains(text), qPrintable(text));
    }

    void changesAreRefusedAndNothingIsWritten() {
        REQUIRE_FIXTURES();
        const QString file = m_root.filePath(QStringLiteral("products/db/nwind.mdb"));
        const QByteArray before = checksum(file);
        QVERIFY(!before.isEmpty());
        Browser browser(m_ports[QStringLiteral("products")]);
        const QString token =
            hiddenValue(browser.get(QStringLiteral("/products_edit.asp?k0=5")).text(),
                        QStringLiteral("ow_token"));
        QCOMPARE(token.size(), 32);
        const Reply deleted = browser.post(QStringLiteral("/products_index.asp"),
                                           {{QStringLiteral("ow_token"), token},
                                            {QStringLiteral("ow_action"), QStringLiteral("delete")},
                                            {QStringLiteral("k0"), QStringLiteral("5")}});
        QCOMPARE(deleted.status, 500);
        QVERIFY2(deleted.text().contains(QLatin1String("read-only, and this page tried to change "
                                                       "it (DELETE). Nothing was written.")),
                 qPrintable(deleted.text()));
        const Reply edited = browser.post(QStringLiteral("/products_edit.asp"),
                                          {{QStringLiteral("ow_token"), token},
                                           {QStringLiteral("ow_mode"), QStringLiteral("edit")},
                                           {QStringLiteral("k0"), QStringLiteral("5")},
                                           {QStringLiteral("f1"), QStringLiteral("Renamed")},
                                           {QStringLiteral("f2"), QStringLiteral("1")},
                                           {QStringLiteral("f3"), QStringLiteral("1")}});
        QCOMPARE(edited.status, 500);
        QVERIFY2(edited.text().contains(QLatin1String("(UPDATE). Nothing was written.")),
                 qPrintable(edited.text()));
        const Reply added = browser.post(QStringLiteral("/products_edit.asp"),
                                         {{QStringLiteral("ow_token"), token},
                                          {QStringLiteral("ow_mode"), QStringLiteral("add")},
                                          {QStringLiteral("f1"), QStringLiteral("New")},
                                          {QStringLiteral("f2"), QStringLiteral("1")},
                                          {QStringLiteral("f3"), QStringLiteral("1")}});
        QCOMPARE(added.status, 500);
        QVERIFY2(added.text().contains(QLatin1String("(INSERT). Nothing was written.")),
                 qPrintable(added.text()));
        QCOMPARE(checksum(file), before);
        QVERIFY(get(QStringLiteral("products"), QStringLiteral("/products_index.asp"))
                    .text()
                    .contains(QLatin1String("Chef Anton&#39;s Gumbo Mix")));
    }

    void tablesAreReadAgainOnlyWhenTheFileChanges() {
        REQUIRE_FIXTURES();
        const QString file = m_root.filePath(QStringLiteral("text/prices.csv"));
        const QDateTime modified = QFileInfo(file).lastModified();
        QVERIFY(get(QStringLiteral("prices"), QStringLiteral("%1_index.asp"))
                    .text()
                    .contains(QLatin1String("Brass bell")));
        // The same size and time: the copy already read is used.
        QVERIFY(writeFile(file, "id,name,price\r\n1,Anchor rope,12.5\r\n2,Brass gong,40\r\n"
                                "3,\"Cleat, 50% off\",7.25\r\n"));
        QVERIFY(setModified(file, modified));
        const QString cached = get(QStringLiteral("prices"), QStringLiteral("%1_index.asp")).text();
        QVERIFY2(cached.contains(QLatin1String("Brass bell")), qPrintable(cached));
        // A later time: the table is read again.
        QVERIFY(setModified(file, modified.addSecs(5)));
        const QString fresh = get(QStringLiteral("prices"), QStringLiteral("%1_index.asp")).text();
        QVERIFY2(fresh.contains(QLatin1String("Brass gong")), qPrintable(fresh));
        QVERIFY(!fresh.contains(QLatin1String("Brass bell")));
    }

    void cleanupTestCase() {
        for (auto& [name, host] : m_hosts)
            host->stop();
    }
};

QTEST_MAIN(PreviewDesktopTest)
#include "tst_preview_desktop.moc"
