#include "datasource/connectionbuilder.h"
#include "datasource/connectionstring.h"
#include "datasource/schemadiscovery.h"
#include "datasource/sqlnames.h"
#include "foundation/inifile.h"
#include "project/projectfile.h"
#include "project/projectsession.h"
#include "shell/mainwindow.h"
#include "support/testenvironment.h"
#include "wizard/connectionstringdialog.h"
#include "wizard/datasourcepage.h"
#include "wizard/datasourcestep.h"
#include "wizard/tablesourcepage.h"
#include "wizard/wizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWheelEvent>
#include <QtTest>
#include <sqlite3.h>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

const QString kSample = QStringLiteral(ORDWICK_SAMPLE_DATABASE);

Project fileProject(const QString& path, int family) {
    Project p;
    p.DatabaseName = path;
    p.DatasourceType = family;
    p.DBLogin = QStringLiteral("u");
    return p;
}

QStringList tableList(TableSourcePage& page) {
    QStringList items;
    for (int i = 0; i < page.icbTables()->count(); ++i)
        items << page.icbTables()->itemText(i) + QLatin1Char(' ') +
                     page.icbTables()->itemData(i).toString();
    return items;
}

QStringList gridRows(TableSourcePage& page) {
    QStringList rows;
    for (const ColumnRow& row : page.columns().rows())
        rows << QStringList{row.uniqueMarker, row.includeMarker, row.name,
                            row.typeIcon,     row.typeText,      row.length}
                    .join(QLatin1Char('|'));
    return rows;
}

// The main window on a private copy of the sample database, at the first step.
struct SampleWindow {
    explicit SampleWindow(TestEnvironment& env) : window(env.prompt) {
        database = env.path(QStringLiteral("shop.db"));
        QFile::copy(kSample, database);
        window.load({});
        window.wizard().dataSourcePage().txtDataSource()->setText(database);
    }
    TableSourcePage& tables() { return window.wizard().tableSourcePage(); }
    void next() { window.onNextClicked(); }

    MainWindow window;
    QString database;
};

} // namespace

class DataSourcesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_odbc;

private Q_SLOTS:
    void initTestCase() {
        // Data source names for the driver-family rules, unless the test
        // services already provide them (the driver manager reads this once).
        if (qEnvironmentVariableIsEmpty("ODBCSYSINI")) {
            QVERIFY(m_odbc.isValid());
            QFile ini(m_odbc.filePath(QStringLiteral("odbc.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[TessalineMySQL]\nDriver=MySQL ODBC 8.0 Unicode Driver\n"
                      "[TessalinePG]\nDriver=PostgreSQL Unicode\n");
            ini.close();
            QFile inst(m_odbc.filePath(QStringLiteral("odbcinst.ini")));
            QVERIFY(inst.open(QIODevice::WriteOnly));
            inst.close();
            qputenv("ODBCSYSINI", m_odbc.path().toUtf8());
        }
    }

    void connectionStringsAreExact() {
        QCOMPARE(BuildConnectionString(fileProject(QStringLiteral("/data/shop.mdb"), 1), 0, {}),
                 QStringLiteral("Driver={Microsoft Access Driver (*.mdb)}; DBQ=/data/shop.mdb; "
                                "DriverId=25; FIL=MS Access; MaxBufferSize=2048; PageTimeout=5; "
                                "UID=u; PWD="));
        QCOMPARE(BuildConnectionString(fileProject(QStringLiteral("/data/prices.csv"), 3), 0, {}),
                 QStringLiteral("Driver={Microsoft Text Driver (*.txt; *.csv)}; DBQ=/data; "
                                "MaxBufferSize=2048; PageTimeout=5; Extensions=asc,csv,tab,txt"));
        QCOMPARE(BuildConnectionString(fileProject(QStringLiteral("/data/book.xls"), 2), 0, {}),
                 QStringLiteral("Driver={Microsoft Excel Driver (*.xls)}; DriverId=790; "
                                "MaxBufferSize=2048; PageTimeout=5; DBQ=/data/book.xls; "
                                "DefaultDir=/data"));
        QCOMPARE(BuildConnectionString(fileProject(QStringLiteral("/data/people.dbf"), 4), 0, {}),
                 QStringLiteral("Driver={Microsoft dBASE Driver (*.dbf)}; DriverId=277; "
                                "MaxBufferSize=2048; PageTimeout=5; DBQ=/data"));
        QCOMPARE(BuildConnectionString(fileProject(QStringLiteral("/data/shop.db"), 7), 0, {}),
                 QStringLiteral("Driver={SQLite3}; Database=/data/shop.db"));
        QCOMPARE(BuildConnectionString(fileProject(QStringLiteral("/data/x.mdb"), 5), 0, {}),
                 QString());
        Project dsn;
        dsn.DatasourceStatus = DatasourceDsn;
        dsn.DatabaseName = QStringLiteral("Shop");
        dsn.DBLogin = QStringLiteral("sa");
        QCOMPARE(BuildConnectionString(dsn, 0, {}), QStringLiteral("DSN=Shop; UID=sa; PWD="));
        Project typed;
        typed.DatasourceStatus = DatasourceConnection;
        typed.DatabaseName = QStringLiteral("stored text");
        QCOMPARE(BuildConnectionString(typed, 0, QStringLiteral("  DRIVER={X};DATABASE=y  ")),
                 QStringLiteral("DRIVER={X};DATABASE=y"));
        // A project that read its tables before keeps that string; a new one rebuilds.
        dsn.ConnectionString = QStringLiteral("DSN=Old; UID=; PWD=");
        QCOMPARE(BuildConnectionString(dsn, OriginLoaded, {}), dsn.ConnectionString);
        QCOMPARE(BuildConnectionString(dsn, OriginSaving, {}), dsn.ConnectionString);
        QCOMPARE(BuildConnectionString(dsn, OriginNew, {}),
                 QStringLiteral("DSN=Shop; UID=sa; PWD="));
        QCOMPARE(
            jetKeyConnectionString(QStringLiteral("/d/a.mdb"), QStringLiteral("u"), QString()),
            QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0; Data Source=/d/a.mdb; User Id=u; "
                           "Password="));
    }

    void familiesByExtensionAndDriver() {
        QCOMPARE(classifyDataFile(QStringLiteral("/d/Shop.MdB"), 3), 1);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/a.xls"), 1), 2);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/a.DBF"), 1), 4);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/a.txt"), 1), 3);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/a.csv"), 1), 3);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/a.asc"), 4), 4);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/a.tab"), 2), 2);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/shop.sqlite"), 1), 7);
        QCOMPARE(classifyDataFile(QStringLiteral("/d/shop.DB"), 1), 7);
        const struct {
            const char* driver;
            int family;
        } drivers[] = {
            {"Microsoft Access Driver (*.mdb)", 1},
            {"Microsoft Access Driver (*.mdb, *.accdb)", 1},
            {"Microsoft Text Driver (*.txt; *.csv)", 3},
            {"Microsoft dBase Driver (*.dbf)", 4},
            {"Microsoft dBASE Driver (*.dbf)", 4},
            {"Microsoft Excel Driver (*.xls)", 2},
            {"SQL Server", 5},
            {"ODBC Driver 18 for SQL Server", 5},
            {"MySQL ODBC 8.0 Unicode Driver", 6},
            {"mysql odbc 8.0", 6},
            {"MariaDB Unicode", 6},
            {"SQLite3", 7},
            {"PostgreSQL Unicode", 8},
            {"psqlodbcw.so", 8},
            {"Oracle in OraClient19Home1", 9},
            {"Firebird/InterBase(r) driver", 10},
            {"", 10},
        };
        for (const auto& d : drivers)
            QCOMPARE(classifyDriver(QString::fromUtf8(d.driver)), d.family);
        // What a reached database calls itself.
        QCOMPARE(classifyDatabaseName(QStringLiteral("Microsoft SQL Server")), std::optional(5));
        QCOMPARE(classifyDatabaseName(QStringLiteral("Oracle")), std::optional(9));
        QCOMPARE(classifyDatabaseName(QStringLiteral("SQLite")), std::optional(7));
        QCOMPARE(classifyDatabaseName(QStringLiteral("ACCESS")), std::optional(1));
        QCOMPARE(classifyDatabaseName(QStringLiteral("Firebird")), std::nullopt);
    }

    void stepRefusesWhatIsMissing() {
        TestEnvironment env;
        ProjectSession session(env.prompt);
        DataSourceStep step(session, env.prompt);
        DataSourceChoice choice;
        const auto refused = [&](int option, DataSourceStep::Focus focus, const QString& text) {
            choice.option = option;
            env.prompt.answer(Prompt::Ok);
            const DataSourceStep::Outcome outcome = step.takeChoice(choice);
            QVERIFY(!outcome.taken);
            QCOMPARE(outcome.focus, std::optional(focus));
            QCOMPARE(env.prompt.messages().constLast().text, text);
            QCOMPARE(env.prompt.messages().constLast().title, QStringLiteral("Tessaline"));
            QCOMPARE(env.prompt.messages().constLast().icon, Prompt::Icon::Warning);
        };
        refused(0, DataSourceStep::Focus::DataFile,
                QStringLiteral("Please select the data source file!"));
        refused(1, DataSourceStep::Focus::DsnList, QStringLiteral("Please select the ODBC DSN!"));
        choice.connectionString = QStringLiteral("   ");
        refused(2, DataSourceStep::Focus::ConnectionString,
                QStringLiteral("Please specify the connection string!"));
        QCOMPARE(session.project, Project{});
    }

    void changingTheDataFileAsksToReset() {
        TestEnvironment env;
        ProjectSession session(env.prompt);
        DataSourceStep step(session, env.prompt);
        session.project.DatabaseName = QStringLiteral("/d/old.mdb");
        session.project.TableName = QStringLiteral("Orders");
        session.project.EnableAppend = true;
        DataSourceChoice choice;
        choice.dataFile = QStringLiteral("  /d/old.mdb ");
        QVERIFY(step.takeChoice(choice).taken); // the same file: no question
        QVERIFY(env.prompt.messages().isEmpty());
        QCOMPARE(session.project.TableName, QStringLiteral("Orders"));

        choice.dataFile = QStringLiteral("/d/new.csv");
        env.prompt.answer(Prompt::No);
        const Project before = session.project;
        const DataSourceStep::Outcome refused = step.takeChoice(choice);
        QVERIFY(!refused.taken);
        QVERIFY(!refused.focus);
        QCOMPARE(session.project, before);
        const Prompt::Message& question = env.prompt.messages().constLast();
        QCOMPARE(question.title, QStringLiteral("Reset Project?"));
        QCOMPARE(question.text,
                 QStringLiteral("Data File has changed. This will reset the project. Continue?"));

        env.prompt.answer(Prompt::Yes);
        choice.fileLogin = QStringLiteral("me");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatabaseName, QStringLiteral("/d/new.csv"));
        QCOMPARE(session.project.DatasourceType, 3);
        QCOMPARE(session.project.DBLogin, QStringLiteral("me"));
        QCOMPARE(session.project.TableName, QString());
        QVERIFY(!session.project.EnableAppend);
    }

    void dataSourceNamesAndTheirFamilies() {
        TestEnvironment env;
        ProjectSession session(env.prompt);
        DataSourceStep step(session, env.prompt);
        DataSourceChoice choice;
        choice.option = 1;
        choice.dsn = QStringLiteral("TessalineMySQL");
        choice.dsnLogin = QStringLiteral("web");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatasourceStatus, 2);
        QCOMPARE(session.project.DatasourceType, 6);
        QCOMPARE(session.project.DBLogin, QStringLiteral("web"));
        session.project.DatasourceType = 4;
        choice.dsn = QStringLiteral("TessalinePG");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatasourceType, 8); // the driver decides, not the last family
        // A typed connection string: its driver, or the driver of the source it names.
        choice.option = 2;
        choice.connectionString = QStringLiteral("DSN=TessalineMySQL;UID=web;");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatasourceType, 6);
        choice.connectionString = QStringLiteral("Driver={SQLite3};Database=/d/shop.db");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatasourceType, 7);
        choice.connectionString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatasourceType, 1);
        choice.connectionString = QStringLiteral("Driver={Some Driver};Server=x");
        QVERIFY(step.takeChoice(choice).taken);
        QCOMPARE(session.project.DatasourceType, 10);

        DataSourcePage page;
        page.populateDataSources();
        QStringList names;
        for (int i = 0; i < page.icbDataSource()->count(); ++i)
            names << page.icbDataSource()->itemText(i);
        QVERIFY(names.contains(QStringLiteral("TessalineMySQL")));
        QVERIFY(names.contains(QStringLiteral("TessalinePG")));
        QCOMPARE(page.icbDataSource()->currentIndex(), -1);
        QCOMPARE(page.txtConnectionString()->text(), DataSourcePage::startingConnectionString());
    }

    void dataFileDialogRemembersItsFolder() {
        TestEnvironment env;
        SampleWindow sample(env);
        const QString desktop = env.path(QStringLiteral("home/Desktop"));
        QVERIFY(QDir().mkpath(desktop));
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", env.path(QStringLiteral("home")).toUtf8());
        const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
        env.prompt.answerFile(QString());
        sample.window.session().projectOrigin = OriginLoaded;
        sample.window.wizard().browseDataFile();
        // Cancelled: the box keeps its file, the project counts as re-chosen.
        QCOMPARE(sample.window.wizard().dataSourcePage().txtDataSource()->text(), sample.database);
        QCOMPARE(sample.window.session().projectOrigin, int(OriginNew));
        const Prompt::FileRequest first = env.prompt.fileRequests().constLast();
        QCOMPARE(first.title, QStringLiteral("Select Data Source File"));
        QCOMPARE(first.folder, desktop);
        QCOMPARE(first.defaultSuffix, QStringLiteral("mdb"));
        QVERIFY(first.filter.startsWith(QStringLiteral("MS Access Database (*.mdb)")));
        QVERIFY(first.filter.contains(QStringLiteral("SQLite Database (*.db;*.sqlite)")));

        env.prompt.answerFile(QStringLiteral(" ") + sample.database + QStringLiteral(" "));
        sample.window.wizard().browseDataFile();
        QCOMPARE(sample.window.wizard().dataSourcePage().txtDataSource()->text(), sample.database);
        IniFile profile;
        profile.setSection(QStringLiteral("Directories"));
        profile.setKey(QStringLiteral("Select Data Source File 1"));
        QCOMPARE(profile.value(), sample.database);
        profile.setKey(QStringLiteral("Select Data Source File"));
        QCOMPARE(profile.value(), QFileInfo(sample.database).absolutePath());
        env.prompt.answerFile(QString());
        sample.window.wizard().browseDataFile();
        QCOMPARE(env.prompt.fileRequests().constLast().folder,
                 QFileInfo(sample.database).absolutePath());
    }

    void connectionStringBuilder() {
        QCOMPARE(ConnectionStringDialog::build(
                     QStringLiteral("PostgreSQL Unicode"), QStringLiteral("db.local"), 5432,
                     QStringLiteral("shop"), QStringLiteral("web"), QStringLiteral("p;w=d")),
                 QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=db.local;PORT=5432;"
                                "DATABASE=shop;UID=web;PWD={p;w=d};"));
        QCOMPARE(ConnectionStringDialog::build(QStringLiteral("SQLite3"), {}, 0,
                                               QStringLiteral("/d/a b.db"), {}, {}),
                 QStringLiteral("DRIVER={SQLite3};DATABASE=/d/a b.db;"));
        // Braced values: "}}" inside braces is one "}", and the value ends at a single "}".
        const QString built =
            ConnectionStringDialog::build(QStringLiteral("PostgreSQL Unicode"), {}, 0, {},
                                          QStringLiteral("we}b"), QStringLiteral("a}b;c"));
        QCOMPARE(built, QStringLiteral("DRIVER={PostgreSQL Unicode};UID=we}b;PWD={a}}b;c};"));
        const ConnectionString read(built);
        QCOMPARE(read.value(QStringLiteral("PWD")), QStringLiteral("a}b;c"));
        QCOMPARE(read.value(QStringLiteral("UID")), QStringLiteral("we}b"));
        const ConnectionString awkward(
            QStringLiteral("Driver={x}; PWD={}};{}; DSN = {Shop; Books} ;UID= ann "));
        QCOMPARE(awkward.value(QStringLiteral("pwd")), QStringLiteral("};{"));
        QCOMPARE(awkward.value(QStringLiteral("DSN")), QStringLiteral("Shop; Books"));
        QCOMPARE(awkward.value(QStringLiteral("UID")), QStringLiteral("ann"));
        QCOMPARE(awkward.normalized(),
                 QStringLiteral("Driver={x};PWD={}};{};DSN={Shop; Books};UID=ann;"));
    }

    void eachSourceQuotesNamesItsOwnWay() {
        const QString mariadb =
            QStringLiteral("Driver={MariaDB ODBC 3.1 Driver};Server=127.0.0.1;Database=shop");
        QCOMPARE(nameQuotingFor(FamilySqlServer, mariadb), NameQuoting::Backticks);
        QCOMPARE(nameQuotingFor(FamilyMySql, QString()), NameQuoting::Backticks);
        QCOMPARE(nameQuotingFor(FamilySqlServer, QStringLiteral("Driver={PostgreSQL Unicode};")),
                 NameQuoting::DoubleQuotes);
        QCOMPARE(nameQuotingFor(FamilySqlite, QStringLiteral("Driver={SQLite3}; Database=/a.db")),
                 NameQuoting::SqliteBrackets);
        QCOMPARE(nameQuotingFor(FamilyAccess, QString()), NameQuoting::Brackets);
        // A data source name says nothing in the string: the family decides.
        QCOMPARE(nameQuotingFor(FamilyPostgres, QStringLiteral("DSN=shop;")),
                 NameQuoting::DoubleQuotes);
        QCOMPARE(nameQuotingFor(FamilyOtherSql, QStringLiteral("DSN=shop;")),
                 NameQuoting::DoubleQuotes);
        QCOMPARE(nameQuotingFor(FamilySqlite, QStringLiteral("DSN=shop;")),
                 NameQuoting::SqliteBrackets);

        QCOMPARE(quotedName(QStringLiteral("a]b"), NameQuoting::Brackets),
                 QStringLiteral("[a]]b]"));
        // One rule for names SQL reads bare: reserved words and odd characters are quoted.
        QStringList bare;
        for (const char* name : {"Orders", "Order", "group", "Größe", "_x1", "1st", "a.b", "a,b",
                                 "no#", "Select", "user", "Users", "Unit Price"})
            if (readsBare(QString::fromUtf8(name)))
                bare << QString::fromUtf8(name);
        QCOMPARE(bare, (QStringList{QStringLiteral("Orders"), QStringLiteral("Größe"),
                                    QStringLiteral("_x1"), QStringLiteral("Users")}));
        QCOMPARE(sqlName(QStringLiteral("Select"), NameQuoting::Backticks),
                 QStringLiteral("`Select`"));
        QCOMPARE(sqlName(QStringLiteral("City"), NameQuoting::DoubleQuotes),
                 QStringLiteral("City"));
        QCOMPARE(quotedName(QStringLiteral("a]b"), NameQuoting::SqliteBrackets),
                 QStringLiteral("\"a]b\""));
        QCOMPARE(quotedName(QStringLiteral("Order ID"), NameQuoting::SqliteBrackets),
                 QStringLiteral("[Order ID]"));
        QCOMPARE(quotedName(QStringLiteral("a`b"), NameQuoting::Backticks),
                 QStringLiteral("`a``b`"));
        QCOMPARE(quotedName(QStringLiteral("say \"hi\""), NameQuoting::DoubleQuotes),
                 QStringLiteral("\"say \"\"hi\"\"\""));
    }

    void typesShownAndLeftOut() {
        QCOMPARE(typeDisplay(adChar, 255)->text, QStringLiteral("Text"));
        QCOMPARE(typeDisplay(adWChar, 256)->text, QStringLiteral("Memo"));
        QCOMPARE(typeDisplay(adTinyInt, {})->text, QStringLiteral("Byte"));
        QCOMPARE(typeDisplay(adSingle, {})->text, QStringLiteral("Single"));
        QCOMPARE(typeDisplay(adNumeric, {})->iconKey, QStringLiteral("CURRENCY"));
        QCOMPARE(typeDisplay(adDBTime, {})->iconKey, QStringLiteral("DATETIME"));
        QCOMPARE(typeDisplay(adBinary, {})->text, QStringLiteral("OLE"));
        for (const int leftOut : {int(adCurrency), int(adDate), int(adGUID), int(adVarChar),
                                  int(adVarWChar), int(adLongVarBinary), int(adEmpty)})
            QVERIFY2(!typeDisplay(leftOut, 10), qPrintable(QString::number(leftOut)));

        Project opened;
        ColumnSettings kept;
        kept.ColumnName = QStringLiteral("Name");
        opened.Columns.push_back(kept);
        const std::vector<ColumnInfo> columns = {
            {QStringLiteral("ID"), adInteger, {}},       {QStringLiteral(" Name "), adWChar, 40},
            {QStringLiteral("Bad-Name"), adInteger, {}}, {QStringLiteral("Guid"), adGUID, {}},
            {QStringLiteral("Photo"), adBinary, {}},
        };
        const std::vector<ColumnRow> fresh = columnRows(columns, Project{}, 0);
        QCOMPARE(fresh.size(), size_t(3));
        QCOMPARE(fresh[1].name, QStringLiteral(" Name ")); // as the source names it
        QCOMPARE(fresh[1].length, QStringLiteral("40"));
        QCOMPARE(fresh[0].includeMarker, QStringLiteral("CHECK"));
        QCOMPARE(fresh[2].includeMarker, QStringLiteral("UNCHECK")); // binary
        const std::vector<ColumnRow> reopened = columnRows(columns, opened, 1);
        QCOMPARE(reopened[0].includeMarker, QStringLiteral("UNCHECK"));
        QCOMPARE(reopened[1].includeMarker, QStringLiteral("CHECK")); // stored trimmed before
        opened.Columns.front().ColumnName = QStringLiteral(" Name ");
        QCOMPARE(columnRows(columns, opened, 1)[1].includeMarker, QStringLiteral("CHECK"));
        opened.Columns.front().ColumnName = QStringLiteral("Name ");
        QCOMPARE(columnRows(columns, opened, 1)[1].includeMarker, QStringLiteral("UNCHECK"));
    }

    void tableListAndSelection() {
        const std::vector<TableInfo> tables = {
            {QStringLiteral("A"), QStringLiteral("TABLE")},
            {QStringLiteral("V"), QStringLiteral("VIEW")},
            {QStringLiteral("S"), QStringLiteral("SYSTEM TABLE")},
            {QStringLiteral("L"), QStringLiteral("LINK")}};
        QCOMPARE(listedTables(tables, false).size(), size_t(2));
        const std::vector<TableItem> all = listedTables(tables, true);
        QCOMPARE(all.size(), size_t(3));
        QCOMPARE(all[2].iconKey, QStringLiteral("SYSTEMTABLE"));
        QCOMPARE(selectedTable(all, QStringLiteral("A"), QStringLiteral("V")), 1);
        QCOMPARE(selectedTable(all, QStringLiteral("A"), QString()), 0);
        QCOMPARE(selectedTable(all, QStringLiteral("gone"), QStringLiteral("gone too")), -1);
    }

    void keysStoredOrDetectedByFamily() {
        std::vector<ColumnRow> rows = {{QStringLiteral("UNCHECK"),
                                        QStringLiteral("UNCHECK"),
                                        QStringLiteral("ID"),
                                        {},
                                        {},
                                        {}},
                                       {QStringLiteral("UNCHECK"),
                                        QStringLiteral("CHECK"),
                                        QStringLiteral("Name"),
                                        {},
                                        {},
                                        {}}};
        Project p;
        QVERIFY(!markStoredKeys(rows, p, 0));
        markDetectedKeys(rows,
                         {{QStringLiteral("T"), QStringLiteral("ID")},
                          {QStringLiteral("Other"), QStringLiteral("Name")}},
                         QStringLiteral("T"));
        QCOMPARE(rows[0].uniqueMarker, QStringLiteral("KEY"));
        QCOMPARE(rows[0].includeMarker, QStringLiteral("CHECK"));
        QCOMPARE(rows[1].uniqueMarker, QStringLiteral("UNCHECK"));
        // Confirmed, then asked again (Back to the features and Next): it stays confirmed.
        rows[0].uniqueMarker = QStringLiteral("CHECK");
        markDetectedKeys(rows, {{QStringLiteral("T"), QStringLiteral("ID")}}, QStringLiteral("T"));
        QCOMPARE(rows[0].uniqueMarker, QStringLiteral("CHECK"));
        rows[0].uniqueMarker = QStringLiteral("KEY");

        ColumnSettings name;
        name.ColumnName = QStringLiteral("Name");
        p.Columns.push_back(name);
        p.UniqueKey = {QStringLiteral("Name")};
        QVERIFY(markStoredKeys(rows, p, 0));
        QCOMPARE(rows[1].uniqueMarker, QStringLiteral("CHECK"));

        Project access = fileProject(QStringLiteral("/d/a.mdb"), 1);
        QCOMPARE(keyQuery(access, {}, {}, QStringLiteral("T"))->connectionString,
                 jetKeyConnectionString(QStringLiteral("/d/a.mdb"), QStringLiteral("u"), {}));
        QVERIFY(!keyQuery(fileProject(QStringLiteral("/d/a.csv"), 3), {}, {}, {}));
        Project dsn;
        dsn.DatasourceStatus = DatasourceDsn;
        dsn.ConnectionString = QStringLiteral("DSN=x; UID=; PWD=");
        QCOMPARE(keyQuery(dsn, QStringLiteral("Microsoft Access Driver (*.mdb)"),
                          QStringLiteral("/d/b.mdb"), QStringLiteral("T"))
                     ->connectionString,
                 jetKeyConnectionString(QStringLiteral("/d/b.mdb"), {}, {}));
        const std::optional<KeyQuery> mysql =
            keyQuery(dsn, QStringLiteral("MySQL ODBC 5.1 Driver"), {}, QStringLiteral("T"));
        QCOMPARE(mysql->connectionString, dsn.ConnectionString);
        QCOMPARE(mysql->table, QStringLiteral("T"));
        QVERIFY(keyQuery(dsn, QStringLiteral("SQL Server"), {}, {}));
        QVERIFY(!keyQuery(dsn, QStringLiteral("PostgreSQL Unicode"), {}, {}));
        dsn.DatasourceStatus = DatasourceConnection;
        QVERIFY(!keyQuery(dsn, QStringLiteral("SQL Server"), {}, {}));
    }

    void sampleDatabaseThroughTheWindow() {
        TestEnvironment env;
        SampleWindow sample(env);
        sample.next();
        QCOMPARE(sample.window.session().currentStep, 2);
        QCOMPARE(sample.window.session().project.ConnectionString,
                 QStringLiteral("Driver={SQLite3}; Database=") + sample.database);
        QCOMPARE(sample.window.session().project.DatasourceType, 7);
        const QStringList tables = tableList(sample.tables());
        QVERIFY(tables.contains(QStringLiteral("Order Totals VIEW")));
        QVERIFY(tables.contains(QStringLiteral("Order Details TABLE")));
        QVERIFY(!tables.join(QLatin1Char(',')).contains(QStringLiteral("sqlite_")));
        sample.next();
        QCOMPARE(sample.window.session().currentStep, 3);
        // Entering the table step shows the first table's columns.
        QCOMPARE(sample.tables().icbTables()->currentText(), QStringLiteral("Customers"));
        const QStringList rows = gridRows(sample.tables());
        QCOMPARE(rows.first(), QStringLiteral("KEY|CHECK|CustomerID|NUMBER|Number|"));
        QVERIFY(rows.contains(QStringLiteral("UNCHECK|CHECK|CompanyName|TEXT|Text|255")));
        QVERIFY(rows.contains(QStringLiteral("UNCHECK|CHECK|Website|TEXT|Memo|256")));
        QVERIFY(rows.contains(QStringLiteral("UNCHECK|CHECK|CreditLimit|CURRENCY|Currency|")));

        env.prompt.answer(Prompt::Yes);
        const int details = sample.tables().icbTables()->findText(QStringLiteral("Order Details"));
        sample.tables().onTableActivated(details);
        const QStringList detailRows = gridRows(sample.tables());
        QCOMPARE(detailRows.at(0).left(16), QStringLiteral("KEY|CHECK|OrderI"));
        QCOMPARE(detailRows.at(1).left(18), QStringLiteral("KEY|CHECK|ProductI"));
        QVERIFY(detailRows.at(2).startsWith(QStringLiteral("UNCHECK|CHECK|Unit Price|CURRENCY")));

        // A click on a detected key confirms it; binary columns cannot be chosen.
        QVERIFY(sample.tables().columns().toggleMarker(0, ColumnGridModel::Unique));
        QCOMPARE(sample.tables().columns().rows()[0].uniqueMarker, QStringLiteral("CHECK"));
    }

    void tableChangeCanBeRefused() {
        TestEnvironment env;
        SampleWindow sample(env);
        sample.next();
        Project& project = sample.window.session().project;
        project.TableName = QStringLiteral("Products");
        project.SQLString = QStringLiteral("SELECT * FROM Products");
        project.UniqueKey = {QStringLiteral("ProductID")};
        project.LoginPage = true;
        env.prompt.answer(Prompt::No);
        sample.tables().onTableActivated(0);
        QCOMPARE(sample.tables().icbTables()->currentText(), QStringLiteral("Products"));
        QCOMPARE(project.SQLString, QStringLiteral("SELECT * FROM Products"));
        QCOMPARE(env.prompt.messages().constLast().title, QStringLiteral("Reset Table Settings?"));
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Selecting a new table resets previous table settings. Continue?"));
        env.prompt.answer(Prompt::Yes);
        sample.tables().onTableActivated(0);
        QCOMPARE(project.TableName, QString());
        QCOMPARE(project.SQLString, QString());
        QVERIFY(project.UniqueKey.isEmpty());
        QVERIFY(project.LoginPage); // features stay
        QVERIFY(!project.ConnectionString.isEmpty());
    }

    void tableListIsPickedByKeysNeverByAStrayWheel() {
        TestEnvironment env;
        SampleWindow sample(env);
        sample.window.show();
        sample.next();
        QComboBox* tables = sample.tables().icbTables();
        Project& project = sample.window.session().project;
        project.TableName = tables->currentText();
        project.SQLString = QStringLiteral("SELECT * FROM ") + project.TableName;
        const QString first = tables->currentText();

        // The wheel over the list while the focus is elsewhere changes nothing.
        sample.tables().grdColumns()->setFocus();
        const QPoint centre = tables->rect().center();
        QWheelEvent wheel(centre, tables->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tables, &wheel);
        QCOMPARE(tables->currentText(), first);
        QVERIFY(env.prompt.messages().isEmpty());

        // Typed text picks nothing; the arrow keys pick as a click does.
        tables->setFocus();
        QTest::keyClicks(tables, QStringLiteral("zz"));
        QCOMPARE(tables->currentText(), first);
        QVERIFY(env.prompt.messages().isEmpty());
        env.prompt.answer(Prompt::No);
        QTest::keyClick(tables, Qt::Key_Down);
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(env.prompt.messages().constLast().title, QStringLiteral("Reset Table Settings?"));
        QCOMPARE(tables->currentText(), first); // No keeps the table
        QCOMPARE(project.SQLString, QStringLiteral("SELECT * FROM ") + first);
    }

    void noBeforeAnyTableWasAppliedKeepsTheTableOnScreen() {
        TestEnvironment env;
        SampleWindow sample(env);
        sample.next(); // features
        sample.next(); // the table step, showing the first table's columns
        QComboBox* tables = sample.tables().icbTables();
        const QString first = tables->currentText();
        QVERIFY(!first.isEmpty());
        QVERIFY(sample.window.session().project.TableName.isEmpty());
        env.prompt.answer(Prompt::No);
        tables->setCurrentIndex(2);
        sample.tables().onTableActivated(2);
        QCOMPARE(tables->currentText(), first);
        // Next stores the table on screen, never an empty name.
        sample.next();
        QCOMPARE(sample.window.session().currentStep, 4);
        QCOMPARE(sample.window.session().project.TableName, first);
        QCOMPARE(env.prompt.messages().size(), 1);
    }

    void systemTablesAndTheTableOnScreen() {
        TestEnvironment env;
        SampleWindow sample(env);
        sample.next();
        sample.next();
        env.prompt.answer(Prompt::Yes);
        const int users = sample.tables().icbTables()->findText(QStringLiteral("Users"));
        sample.tables().onTableActivated(users);
        // Back to the first step and on again: the table chosen on screen stays.
        sample.window.onBackClicked();
        sample.window.onBackClicked();
        QCOMPARE(sample.window.session().currentStep, 1);
        sample.next();
        QCOMPARE(sample.tables().icbTables()->currentText(), QStringLiteral("Users"));

        sample.tables().chkSystemTable()->click();
        QVERIFY(tableList(sample.tables()).contains(QStringLiteral("sqlite_sequence SYSTEMTABLE")));
        QCOMPARE(sample.tables().icbTables()->currentIndex(), 0);
        sample.tables().chkSystemTable()->click();
        QVERIFY(
            !tableList(sample.tables()).join(QLatin1Char(',')).contains(QStringLiteral("sqlite_")));
    }

    void editedSourceOfAnOpenedProjectIsReadAnew() {
        TestEnvironment env;
        const QString first = env.path(QStringLiteral("shop.db"));
        QVERIFY(QFile::copy(kSample, first));
        const QString second = env.path(QStringLiteral("other.db"));
        {
            QVERIFY(QFile::copy(kSample, second));
            QFile::setPermissions(second, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(second).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "CREATE TABLE OnlyInOther (id INTEGER PRIMARY KEY)", nullptr,
                                  nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
        }
        Project p;
        p.DatasourceStatus = DatasourceConnection;
        p.DatasourceType = 7;
        p.DatabaseName = QStringLiteral("Driver={SQLite3}; Database=") + first;
        p.ConnectionString = p.DatabaseName;
        const QString file = env.path(QStringLiteral("typed.pjx"));
        saveProjectFile(file, p, 1);
        MainWindow window(env.prompt);
        window.load({file});
        DataSourcePage& page = window.wizard().dataSourcePage();
        page.txtConnectionString()->setText(QStringLiteral("Driver={SQLite3}; Database=") + second);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 2);
        QCOMPARE(window.session().project.ConnectionString,
                 QStringLiteral("Driver={SQLite3}; Database=") + second);
        QVERIFY(tableList(window.wizard().tableSourcePage())
                    .contains(QStringLiteral("OnlyInOther TABLE")));

        // A source that cannot be opened keeps the user on the first step.
        window.onBackClicked();
        page.txtConnectionString()->setText(QStringLiteral("Driver={SQLite3}; Database=") +
                                            env.path(QStringLiteral("gone/none.db")));
        env.prompt.answer(Prompt::Ok);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 1);
        QCOMPARE(env.prompt.messages().size(), 1);
    }

    void blankDataFileIsRefusedBeforeAnyReset() {
        TestEnvironment env;
        SampleWindow sample(env);
        sample.next();
        QCOMPARE(sample.window.session().currentStep, 2);
        sample.window.onBackClicked();
        sample.window.wizard().dataSourcePage().txtDataSource()->setText(QStringLiteral("   "));
        env.prompt.answer(Prompt::Ok);
        sample.next();
        QCOMPARE(sample.window.session().currentStep, 1);
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(env.prompt.messages().constFirst().text,
                 QStringLiteral("Specified datafile is not valid!"));
        QCOMPARE(sample.window.session().project.DatabaseName, sample.database);
    }

    void openedProjectShowsItsStoredChoice() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("shop.db"));
        QFile::copy(kSample, database);
        Project p = fileProject(database, 7);
        p.DBLogin.clear();
        p.TableName = QStringLiteral("Products");
        p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + database;
        p.UniqueKey = {QStringLiteral("ProductName")};
        for (const char* name : {"ProductID", "ProductName", "UnitPrice"}) {
            ColumnSettings c;
            c.ColumnName = QString::fromLatin1(name);
            p.Columns.push_back(c);
        }
        const QString file = env.path(QStringLiteral("products.pjx"));
        saveProjectFile(file, p, 10);
        MainWindow window(env.prompt);
        window.load({file});
        QCOMPARE(window.wizard().dataSourcePage().txtDataSource()->text(), database);
        window.onNextClicked();
        QCOMPARE(window.wizard().tableSourcePage().icbTables()->currentText(),
                 QStringLiteral("Products"));
        const QStringList rows = gridRows(window.wizard().tableSourcePage());
        // Only the stored columns are included, and the stored key (not the
        // detected one) is marked.
        QVERIFY(rows.contains(QStringLiteral("UNCHECK|CHECK|ProductID|NUMBER|Number|")));
        QVERIFY(rows.contains(QStringLiteral("CHECK|CHECK|ProductName|TEXT|Text|80")));
        QVERIFY(rows.contains(QStringLiteral("UNCHECK|UNCHECK|Barcode|NUMBER|Number|")));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void accessFileThroughTheWindow() {
        const QString fixtures = test::sharedFixturesFolder();
        if (fixtures.isEmpty())
            QSKIP("the shared sample files are not beside the checkout");
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("nwind.mdb"));
        QVERIFY(QFile::copy(fixtures + QStringLiteral("/access/nwind.mdb"), database));
        MainWindow window(env.prompt);
        window.load({});
        window.wizard().dataSourcePage().txtDataSource()->setText(database);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 2);
        QCOMPARE(window.session().project.DatasourceType, 1);
        QVERIFY(window.session().project.ConnectionString.startsWith(
            QStringLiteral("Driver={Microsoft Access Driver (*.mdb)}; DBQ=") + database));
        window.onNextClicked();
        TableSourcePage& tables = window.wizard().tableSourcePage();
        env.prompt.answer(Prompt::Yes);
        tables.onTableActivated(tables.icbTables()->findText(QStringLiteral("Orders")));
        // The key is read through the key-query string, as for a Jet source.
        const QStringList rows = gridRows(tables);
        QVERIFY2(rows.contains(QStringLiteral("KEY|CHECK|OrderID|NUMBER|Number|")),
                 qPrintable(rows.join(QLatin1Char('\n'))));
        QVERIFY(env.prompt.allAnswersUsed());
    }

    void badFilesAreRefusedWithTheirMessage() {
        TestEnvironment env;
        SampleWindow sample(env);
        const QString damaged = env.path(QStringLiteral("damaged.db"));
        env.writeFile(damaged, QByteArray(4096, 'x'));
        for (const QString& file : {env.path(QStringLiteral("missing.db")), damaged}) {
            sample.window.session().project = Project{};
            sample.window.wizard().dataSourcePage().txtDataSource()->setText(file);
            env.prompt.answer(Prompt::Ok);
            sample.next();
            QCOMPARE(sample.window.session().currentStep, 1);
            QCOMPARE(env.prompt.messages().constLast().text,
                     QStringLiteral("Specified datafile is not valid!"));
            QVERIFY(sample.window.session().project.ConnectionString.isEmpty());
            QCOMPARE(sample.window.statusText(), QStringLiteral("Ready"));
        }
    }

    void serverSourcesThroughTheWindow() {
        if (qEnvironmentVariableIsEmpty("TESSALINE_TEST_PG_DSN"))
            QSKIP("the test database servers are not running (scripts/test.sh starts them)");
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        DataSourcePage& page = window.wizard().dataSourcePage();
        page.selectOption(1);
        window.wizard().onDataSourceOptionClicked(1);
        page.selectDataSource(qEnvironmentVariable("TESSALINE_TEST_PG_DSN"));
        page.txtODBCLogin()->setText(qEnvironmentVariable("TESSALINE_TEST_USER"));
        page.txtODBCPassword()->setText(QStringLiteral("wrong password"));
        env.prompt.answer(Prompt::Ok);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 1);
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Specified user name/password for the data source is not valid!"));

        page.txtODBCPassword()->setText(qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 2);
        QVERIFY(window.session().project.ConnectionString.startsWith(QStringLiteral("DSN=")));

        // A refused server: a closed port on this machine, through a typed string.
        window.onBackClicked();
        page.selectOption(2);
        window.wizard().onDataSourceOptionClicked(2);
        page.txtConnectionString()->setText(
            QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=9;DATABASE=x;"));
        window.session().project.ConnectionString.clear();
        env.prompt.answer(Prompt::Ok);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 1);
        QVERIFY(env.prompt.messages().constLast().text.startsWith(
            QStringLiteral("The connection could not be opened:")));
    }
};

QTEST_MAIN(DataSourcesTest)
#include "tst_datasources.moc"
