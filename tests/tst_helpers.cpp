#include "foundation/convert.h"
#include "foundation/paths.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"
#include "support/testenvironment.h"

#include <QtTest>

using namespace ordwick;
using ordwick::test::TestEnvironment;

class HelpersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void qualifiedPaths() {
        TestEnvironment env;
        QCOMPARE(QualityPath(QStringLiteral("/srv/web")), QStringLiteral("/srv/web/"));
        QCOMPARE(QualityPath(QStringLiteral("/srv/web/")), QStringLiteral("/srv/web/"));
        QCOMPARE(QualityPath(QStringLiteral("/srv//")), QStringLiteral("/srv//"));
        QCOMPARE(QualityPath(QString()), QStringLiteral("/"));
        QCOMPARE(UnQualifyPath(QStringLiteral("/srv/web/")), QStringLiteral("/srv/web"));
        QCOMPARE(UnQualifyPath(QStringLiteral("/srv/web//")), QStringLiteral("/srv/web/"));
        QCOMPARE(UnQualifyPath(QStringLiteral("/")), QString());
        QCOMPARE(UnQualifyPath(QString()), QString());
    }

    void folderOfAFile() {
        TestEnvironment env;
        QCOMPARE(GetFolderPath(QStringLiteral("/data/shop.mdb")), QStringLiteral("/data"));
        QCOMPARE(GetFolderPath(QStringLiteral("/shop.mdb")), QString());
        QCOMPARE(GetFolderPath(QStringLiteral("shop.mdb")), QString());
        QCOMPARE(GetFolderPath(QStringLiteral("/a/b/")), QStringLiteral("/a/b"));
        // Deep paths do not overflow a position counter.
        const QString deep = QString(40000, u'd') + QStringLiteral("/f.db");
        QCOMPARE(GetFolderPath(deep), QString(40000, u'd'));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void trimAtNull() {
        QCOMPARE(TrimAtNull(QStringLiteral("abc")), QStringLiteral("abc"));
        QCOMPARE(TrimAtNull(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("junk")),
                 QStringLiteral("ab"));
    }

    void desktopFolder() {
        TestEnvironment env;
        const QString home = env.path(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/Desktop")));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.toUtf8());
        qunsetenv("XDG_DESKTOP_DIR");
        QCOMPARE(GetSpecialFolderLocation(CSIDL_DESKTOP), home + QStringLiteral("/Desktop"));
        QVERIFY(QDir(home + QStringLiteral("/Desktop")).removeRecursively());
        QCOMPARE(GetSpecialFolderLocation(CSIDL_DESKTOP), QString());
        QCOMPARE(GetSpecialFolderLocation(5), QString());
        qputenv("HOME", oldHome);
    }

    void columnNames() {
        QString name = QStringLiteral(" Price ");
        QVERIFY(IsValidColumn(name));
        QCOMPARE(name, QStringLiteral("Price"));
        name = QStringLiteral(" Unit Price ");
        QVERIFY(IsValidColumn(name));
        QCOMPARE(name, QStringLiteral("Unit Price"));
        QVERIFY(!IsValidColumn1(name));
        QCOMPARE(name, QStringLiteral("Unit Price"));
        for (const QString& refused :
             {QStringLiteral("a(b"), QStringLiteral("a)b"), QStringLiteral("[a"),
              QStringLiteral("a]"), QStringLiteral("{a"), QStringLiteral("a}"),
              QStringLiteral("a:b"), QStringLiteral("a-b"), QStringLiteral("a;b"),
              QStringLiteral("a\\b"), QStringLiteral("a'b"), QStringLiteral("a\"b"),
              QStringLiteral("   "), QString()}) {
            QString first = refused;
            QString second = refused;
            QVERIFY2(!IsValidColumn(first), qPrintable(refused));
            QVERIFY2(!IsValidColumn1(second), qPrintable(refused));
        }
        for (const QString& onlyBracketed :
             {QStringLiteral("a b"), QStringLiteral("a&b"), QStringLiteral("a$b")}) {
            QString first = onlyBracketed;
            QString second = onlyBracketed;
            QVERIFY(IsValidColumn(first));
            QVERIFY(!IsValidColumn1(second));
        }
        QString bare = QStringLiteral("Order_ID2");
        QVERIFY(IsValidColumn1(bare));
        // Only the blank counts as surrounding white space.
        QString tabbed = QStringLiteral("\tID");
        QVERIFY(IsValidColumn(tabbed));
        QCOMPARE(tabbed, QStringLiteral("\tID"));
    }

    void conversions() {
        QCOMPARE(toInt16(QStringLiteral("-32768")), std::int16_t(-32768));
        QCOMPARE(toInt32(QStringLiteral(" 70000 ")), 70000);
        QVERIFY(toBool(QStringLiteral("True")));
        QVERIFY(!toBool(QStringLiteral("false")));
        QVERIFY(toBool(QStringLiteral("-1")));
        QVERIFY(!toBool(QStringLiteral("0")));
        const auto number = [](auto convert, const QString& text) {
            try {
                convert(text);
            } catch (const RuntimeError& error) {
                return error.number();
            }
            return 0;
        };
        QCOMPARE(number(toInt16, QStringLiteral("32768")), 6);
        QCOMPARE(number(toInt32, QStringLiteral("99999999999999999999")), 6);
        QCOMPARE(number(toInt32, QString()), 13);
        QCOMPARE(number(toInt32, QStringLiteral("12abc")), 13);
        QCOMPARE(number(toBool, QStringLiteral("Yes")), 13);
        QCOMPARE(number(toBool, QString()), 13);
    }

    void textDecoding() {
        QCOMPARE(decodeText("\xEF\xBB\xBFplain"), QStringLiteral("plain"));
        QCOMPARE(decodeText("caf\xC3\xA9"), QStringLiteral("café"));
        QCOMPARE(decodeText("caf\xE9 \x93q\x94"), QStringLiteral("café “q”"));
        QCOMPARE(decodeWindows1252("\x81\x9F"), QStringLiteral("\u0081Ÿ"));
    }
};

QTEST_GUILESS_MAIN(HelpersTest)
#include "tst_helpers.moc"
