// The desktop drivers' SQL as the generated pages write it, in SQLite's
// words; statements that would change data; Jet's LIKE patterns.
#include "preview/jetsql.h"

#include <QtTest>

using namespace ordwick::preview;

class PreviewJetSqlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statementsInSqlitesWords_data() {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("plain select stays") << "SELECT [Product Name] FROM [Products]"
                                            << "SELECT [Product Name] FROM [Products]";
        QTest::newRow("top of a page")
            << "SELECT TOP 40 * FROM (SELECT [ID], [Name] FROM [Products]) WHERE [Name] LIKE ? "
               "ORDER BY [Name] ASC, [ID] ASC"
            << "SELECT * FROM (SELECT [ID], [Name] FROM [Products]) WHERE [Name] LIKE ? "
               "ORDER BY [Name] ASC, [ID] ASC LIMIT 40";
        QTest::newRow("top in a subquery")
            << "SELECT * FROM (SELECT DISTINCT TOP 5 [a] FROM [t] ORDER BY [a]) AS x"
            << "SELECT * FROM (SELECT DISTINCT [a] FROM [t] ORDER BY [a] LIMIT 5) AS x";
        QTest::newRow("trailing semicolon") << "select top 3 * from [t];"
                                            << "select * from [t] LIMIT 3;";
        QTest::newRow("top percent left to fail") << "SELECT TOP 10 PERCENT * FROM [t]"
                                                  << "SELECT TOP 10 PERCENT * FROM [t]";
        QTest::newRow("words inside quotes and brackets stay")
            << "SELECT [SELECT TOP 1], 'SELECT TOP 2' FROM [t]"
            << "SELECT [SELECT TOP 1], 'SELECT TOP 2' FROM [t]";
        QTest::newRow("distinctrow") << "SELECT DISTINCTROW [a] FROM [t]"
                                     << "SELECT DISTINCT [a] FROM [t]";
        QTest::newRow("date literals, month first")
            << "SELECT * FROM [Orders] WHERE [OrderDate] >= #7/4/1996# AND [OrderDate] < "
               "#1996-07-05 13:30:00#"
            << "SELECT * FROM [Orders] WHERE [OrderDate] >= '1996-07-04' AND [OrderDate] < "
               "'1996-07-05 13:30:00'";
        QTest::newRow("a hash in a bracketed name stays") << "SELECT * FROM [prices#csv]"
                                                          << "SELECT * FROM [prices#csv]";
    }

    void statementsInSqlitesWords() {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(jetsql::toSqlite(jet), sqlite);
    }

    void statementsThatChangeData_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("verb");
        QTest::newRow("select") << "SELECT * FROM [t] WHERE [a] = 'DELETE'"
                                << "";
        QTest::newRow("select in parentheses") << "  (SELECT COUNT(*) FROM [t])"
                                               << "";
        QTest::newRow("insert") << "INSERT INTO [t] ([a]) VALUES (?)"
                                << "INSERT";
        QTest::newRow("update") << "update [t] set [a] = 1"
                                << "UPDATE";
        QTest::newRow("delete") << "DELETE FROM [t] WHERE [id] = ?"
                                << "DELETE";
        QTest::newRow("select into") << "SELECT * INTO [copy] FROM [t]"
                                     << "SELECT INTO";
        QTest::newRow("drop") << "DROP TABLE [t]"
                              << "DROP";
        QTest::newRow("attach") << "ATTACH 'x.db' AS x"
                                << "ATTACH";
    }

    void statementsThatChangeData() {
        QFETCH(QString, sql);
        QFETCH(QString, verb);
        QCOMPARE(jetsql::changingVerb(sql), verb);
    }

    void likePatterns_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("contains") << "%chef%"
                                  << "Chef Anton's Gumbo Mix" << true;
        QTest::newRow("starts") << "Chai%"
                                << "Chai" << true;
        QTest::newRow("starts, other text") << "Chai%"
                                            << "Chang" << false;
        QTest::newRow("one character") << "Ch_i"
                                       << "Chai" << true;
        QTest::newRow("literal percent") << "%[%]%"
                                         << "50% off" << true;
        QTest::newRow("literal percent, none") << "%[%]%"
                                               << "half off" << false;
        QTest::newRow("literal underscore") << "a[_]b"
                                            << "a_b" << true;
        QTest::newRow("literal underscore, other") << "a[_]b"
                                                   << "axb" << false;
        QTest::newRow("literal bracket") << "%[[]x]%"
                                         << "see [x] here" << true;
        QTest::newRow("star, question mark and hash are themselves") << "%[*][?][#]%"
                                                                     << "a*?#b" << true;
        QTest::newRow("class") << "[a-c]at"
                               << "Bat" << true;
        QTest::newRow("negated class") << "[!a-c]at"
                                       << "bat" << false;
        QTest::newRow("negated class, other") << "[!a-c]at"
                                              << "rat" << true;
        QTest::newRow("regular expression characters are themselves") << "a.b(c)%"
                                                                      << "a.b(c) d" << true;
        QTest::newRow("dot is no wildcard") << "a.b"
                                            << "axb" << false;
        QTest::newRow("letters beyond ASCII ignore case") << "%ÄPFEL%"
                                                          << "Grüne äpfel" << true;
    }

    void likePatterns() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(jetsql::like(pattern, text), matches);
    }
};

QTEST_MAIN(PreviewJetSqlTest)
#include "tst_preview_jetsql.moc"
