#include "controls/taskpane.h"
#include "foundation/inifile.h"
#include "generation/tasklist.h"
#include "preview/previewhost.h"
#include "project/projectfile.h"
#include "shell/mainwindow.h"
#include "support/odbcstatement.h"
#include "support/testenvironment.h"
#include "wizard/datasourcepage.h"
#include "wizard/featurespage.h"
#include "wizard/finishpage.h"
#include "wizard/finishstep.h"
#include "wizard/querypage.h"
#include "wizard/querystep.h"
#include "wizard/tablesourcepage.h"
#include "wizard/tablestep.h"
#include "wizard/wizard.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QHostAddress>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTcpSocket>
#include <QtTest>

using namespace ordwick;
using ordwick::test::executeOnOdbc;
using ordwick::test::TestEnvironment;

namespace {

const QString kSample = QStringLiteral(ORDWICK_SAMPLE_DATABASE);

Project projectWith(int status, int family, const QString& table, const QStringList& columns) {
    Project p;
    p.DatasourceStatus = status;
    p.DatasourceType = family;
    p.TableName = table;
    for (const QString& name : columns) {
        ColumnSettings c;
        c.ColumnName = name;
        p.Columns.push_back(c);
    }
    return p;
}

ColumnRow row(const QString& name, const QString& unique, const QString& include,
              const QString& icon = QStringLiteral("NUMBER"),
              const QString& text = QStringLiteral("Number"), const QString& length = {}) {
    return {unique, include, name, icon, text, length};
}

// The main window walking a project on a private copy of the sample database.
// Opens a saved project on a typed SQLite connection string (the Customers
// table) and walks it to the Finish step.
void walkTypedCustomersProjectToFinish(TestEnvironment& env, MainWindow& window) {
    const QString database = env.path(QStringLiteral("shop.db"));
    QFile::copy(kSample, database);
    Project p = projectWith(3, 1, QStringLiteral("Customers"),
                            {QStringLiteral("CustomerID"), QStringLiteral("CompanyName")});
    p.DatabaseName = QStringLiteral("Driver={SQLite3}; Database=") + database;
    p.ConnectionString = p.DatabaseName;
    p.DatasourceType = 7;
    const QString file = env.path(QStringLiteral("typed.pjx"));
    saveProjectFile(file, p, 10);
    window.setEngineLibrary(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
    window.load({file});
    for (int i = 0; i < 8; ++i)
        window.onNextClicked();
    QCOMPARE(window.session().currentStep, 10);
}

// One page of the preview host the wizard opened, read whole over a socket:
// the token the wizard's address carries is first exchanged for its cookie.
QByteArray previewed(const QUrl& opened, const QByteArray& path) {
    const auto exchange = [&opened](const QByteArray& target, const QByteArray& more) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(opened.port()));
        if (!socket.waitForConnected(60000))
            return QByteArray();
        socket.write("GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" +
                     QByteArray::number(opened.port()) + "\r\n" + more + "\r\n");
        QByteArray reply;
        while (socket.waitForReadyRead(60000))
            reply += socket.readAll();
        return reply + socket.readAll();
    };
    const QByteArray handedOver =
        exchange(path + (path.contains('?') ? '&' : '?') + opened.query().toLatin1(), {});
    static const QRegularExpression cookie(QStringLiteral("Set-Cookie: ([^;\r]+)"));
    const QRegularExpressionMatch match = cookie.match(QString::fromLatin1(handedOver));
    if (!match.hasMatch())
        return handedOver;
    return exchange(path, "Cookie: " + match.captured(1).toLatin1() + "\r\n");
}

class Walk {
public:
    explicit Walk(TestEnvironment& env) : m_env(env), window(env.prompt) {
        window.setEngineLibrary(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        database = env.path(QStringLiteral("shop.db"));
        if (!QFileInfo::exists(database))
            QFile::copy(kSample, database);
        window.load({});
        window.wizard().dataSourcePage().txtDataSource()->setText(database);
    }

    int step() { return window.session().currentStep; }
    Project& project() { return window.session().project; }
    void next() { window.onNextClicked(); }
    void back() { window.onBackClicked(); }
    void tick(const char* box, bool on) { window.wizard().featuresPage().box(box)->setChecked(on); }
    void chooseTable(const QString& table) {
        m_env.prompt.answer(Prompt::Yes);
        TableSourcePage& page = window.wizard().tableSourcePage();
        page.onTableActivated(page.icbTables()->findText(table));
    }
    // Confirms the detected keys (the user clicks "KEY" cells).
    void confirmKeys() {
        ColumnGridModel& grid = window.wizard().tableSourcePage().columns();
        for (int i = 0; i < grid.rowCount(); ++i) {
            if (grid.rows()[static_cast<size_t>(i)].uniqueMarker == QLatin1String("KEY"))
                grid.toggleMarker(i, ColumnGridModel::Unique);
        }
    }
    QString lastMessage() const { return m_env.prompt.messages().constLast().text; }

private:
    TestEnvironment& m_env;

public:
    MainWindow window;
    QString database;
};

} // namespace

class WizardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generatedSelectByFamily() {
        const QStringList staff{QStringLiteral("ID"), QStringLiteral("First Name")};
        QCOMPARE(QueryText::generatedSelect(projectWith(1, 1, QStringLiteral("Staff List"), staff)),
                 QStringLiteral("SELECT [ID], [First Name] FROM  [Staff List]"));
        QCOMPARE(QueryText::generatedSelect(projectWith(2, 5, QStringLiteral("Staff List"), staff)),
                 QStringLiteral("SELECT ID, [First Name] FROM  [Staff List]"));
        QCOMPARE(
            QueryText::generatedSelect(projectWith(2, 5, QStringLiteral("Staff"),
                                                   {QStringLiteral("ID"), QStringLiteral("Name")})),
            QStringLiteral("SELECT ID, Name FROM Staff"));
        // MySQL and MariaDB, PostgreSQL, Oracle and any SQL database not known
        // here quote in their own ways: brackets mean nothing to them.
        QCOMPARE(QueryText::generatedSelect(projectWith(2, 6, QStringLiteral("staff"), staff)),
                 QStringLiteral("SELECT ID, `First Name` FROM staff"));
        QCOMPARE(QueryText::generatedSelect(projectWith(2, 8, QStringLiteral("Staff List"), staff)),
                 QStringLiteral("SELECT ID, \"First Name\" FROM \"Staff List\""));
        QCOMPARE(QueryText::generatedSelect(projectWith(3, 10, QStringLiteral("staff"), staff)),
                 QStringLiteral("SELECT ID, \"First Name\" FROM staff"));
        QCOMPARE(QueryText::generatedSelect(projectWith(1, 3, QStringLiteral("prices#csv"), staff)),
                 QStringLiteral("SELECT ID, [First Name] FROM prices#csv"));
        // Names SQL cannot read bare are bracketed whatever the family.
        QCOMPARE(QueryText::generatedSelect(projectWith(
                     1, 7, QStringLiteral("Odd"),
                     {QStringLiteral("ID"), QStringLiteral("#tag"), QStringLiteral("a=b"),
                      QStringLiteral("Größe"), QStringLiteral("_x1"), QStringLiteral("1st")})),
                 QStringLiteral("SELECT ID, [#tag], [a=b], Größe, _x1, [1st] FROM Odd"));
        QCOMPARE(QueryText::generatedSelect(projectWith(1, 2, QStringLiteral("Sheet1$"), staff)),
                 QStringLiteral("SELECT [ID], [First Name] FROM  [Sheet1$]"));
        Project oracle = projectWith(3, 1, QStringLiteral("EMP"), staff);
        oracle.ConnectionString = QStringLiteral("Provider=MSDAORA;Data Source=ORACLE9");
        QVERIFY(!QueryText::useBracketedNames(oracle));
        QCOMPARE(QueryText::generatedSelect(oracle),
                 QStringLiteral("SELECT ID, \"First Name\" FROM EMP"));
        oracle.DatasourceStatus = 1; // an Access file stays bracketed whatever the string says
        QVERIFY(QueryText::useBracketedNames(oracle));
    }

    void bracketsToggleAndStoredQueriesWin() {
        Project p = projectWith(2, 5, QStringLiteral("Order Details"),
                                {QStringLiteral("OrderID"), QStringLiteral("Unit Price")});
        const QString plain = QueryText::generatedSelect(p);
        QCOMPARE(plain, QStringLiteral("SELECT OrderID, [Unit Price] FROM  [Order Details]"));
        QCOMPARE(QueryText::toggledBrackets(p, QStringLiteral("SELECT OrderID FROM x")),
                 QStringLiteral("SELECT [OrderID], [Unit Price] FROM  [Order Details]"));
        QCOMPARE(QueryText::toggledBrackets(p, plain),
                 QStringLiteral("SELECT OrderID, [Unit Price] FROM  [Order Details]"));
        p.TableName = QStringLiteral("Orders");
        QCOMPARE(QueryText::toggledBrackets(p, QStringLiteral("[")),
                 QStringLiteral("SELECT OrderID, [Unit Price] FROM Orders"));
        // Plain again, names SQL cannot read bare keep their brackets.
        Project odd = projectWith(2, 5, QStringLiteral("Orders"),
                                  {QStringLiteral("a.b"), QStringLiteral("c,d"),
                                   QStringLiteral("no#"), QStringLiteral("Order")});
        QCOMPARE(QueryText::toggledBrackets(odd, QStringLiteral("[")),
                 QStringLiteral("SELECT [a.b], [c,d], [no#], [Order] FROM Orders"));
        p.SQLString = QStringLiteral("SELECT * FROM Orders");
        QCOMPARE(QueryText::toggledBrackets(p, QStringLiteral("[")), p.SQLString);
        QCOMPARE(QueryText::toggledBrackets(p, QString()), p.SQLString);
        QCOMPARE(QueryText::shownSelect(p), p.SQLString);
        QCOMPARE(QueryText::storedWhere(QStringLiteral("WHERE City = \"Paris\" OR Name = \"\"")),
                 QStringLiteral("WHERE City = 'Paris' OR Name = ''"));
        QCOMPARE(QueryText::checkedStatement(QStringLiteral("  "), QStringLiteral("WHERE x")),
                 QString());
        QCOMPARE(QueryText::checkedStatement(QStringLiteral("SELECT a FROM t "), QString()),
                 QStringLiteral("SELECT a FROM t"));
    }

    void uniqueKeysAndInclusion() {
        Project p;
        const QString none = QStringLiteral("UNCHECK");
        const QString check = QStringLiteral("CHECK");
        const QString key = QStringLiteral("KEY");
        std::vector<ColumnRow> rows = {row(QStringLiteral("ID"), key, check),
                                       row(QStringLiteral("Name"), none, check)};
        // A detected key is only a suggestion: it does not count until confirmed.
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, true, 0),
                 std::optional(QStringLiteral("Please select the unique columns of the table!")));
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, false, 0), std::nullopt);
        QCOMPARE(p.UniqueKey, QStringList{});
        QCOMPARE(TableStep::apply(p, QStringLiteral(" "), rows, false, 0),
                 std::optional(QStringLiteral("Please select a table!")));
        QCOMPARE(p.TableName, QStringLiteral("T"));
        rows = {row(QStringLiteral("A"), check, check), row(QStringLiteral("B"), check, check),
                row(QStringLiteral("C"), check, check), row(QStringLiteral("D"), check, check)};
        QCOMPARE(
            TableStep::apply(p, QStringLiteral("T"), rows, true, 0),
            std::optional(QStringLiteral("Please select maximum 3 unique columns of the table!")));
        rows.pop_back();
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, true, 0), std::nullopt);
        QCOMPARE(p.UniqueKey,
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        rows = {row(QStringLiteral("A"), none, none)};
        QCOMPARE(
            TableStep::apply(p, QStringLiteral("T"), rows, false, 0),
            std::optional(QStringLiteral("Please select the columns to be included in the page!")));
        rows = {row(QStringLiteral("A"), check, none), row(QStringLiteral("B"), none, check)};
        const Project before = p;
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, true, 0),
                 std::optional(
                     QStringLiteral("You have not selected the column(s) marked as unique key!")));
        QCOMPARE(p, before); // a refused step changes nothing
    }

    void columnsRebuiltByOrigin() {
        Project p;
        p.SQLString = QStringLiteral("SELECT x");
        ColumnSettings kept;
        kept.ColumnName = QStringLiteral("Name");
        kept.ListCaption = QStringLiteral("Full name");
        kept.FieldWidth = 55;
        kept.MaxLength = 40;
        kept.Required = false;
        p.Columns = {kept};
        const std::vector<ColumnRow> rows = {
            row(QStringLiteral("ID"), QStringLiteral("CHECK"), QStringLiteral("CHECK")),
            row(QStringLiteral("Name"), QStringLiteral("UNCHECK"), QStringLiteral("CHECK"),
                QStringLiteral("TEXT"), QStringLiteral("Text"), QStringLiteral("80")),
            row(QStringLiteral("Notes"), QStringLiteral("UNCHECK"), QStringLiteral("CHECK"),
                QStringLiteral("TEXT"), QStringLiteral("Memo"), QStringLiteral("1000")),
            row(QStringLiteral("Price"), QStringLiteral("UNCHECK"), QStringLiteral("CHECK"),
                QStringLiteral("NUMBER"), QStringLiteral("Double")),
            row(QStringLiteral("Skip"), QStringLiteral("UNCHECK"), QStringLiteral("UNCHECK"))};
        Project opened = p;
        QVERIFY(!TableStep::apply(opened, QStringLiteral("T"), rows, true, 1));
        QCOMPARE(opened.Columns.size(), size_t(4));
        const ColumnSettings& name = opened.Columns[1];
        QCOMPARE(name.ListCaption, QStringLiteral("Full name")); // carried over
        QCOMPARE(name.EditCaption, QStringLiteral("Name"));      // filled when empty
        QCOMPARE(name.FieldWidth, 30);                           // set again every time
        QCOMPARE(name.MaxLength, 40);
        QVERIFY(!name.Required);
        QCOMPARE(name.DataType, 4);
        QCOMPARE(opened.Columns[0].MaxLength, 10); // no length: 10
        QCOMPARE(opened.Columns[2].DataType, 5);
        QCOMPARE(opened.Columns[3].DataType, 2);
        QCOMPARE(opened.SQLString, QStringLiteral("SELECT x"));

        Project fresh = p;
        QVERIFY(!TableStep::apply(fresh, QStringLiteral("T"), rows, true, 0));
        QCOMPARE(fresh.Columns[1].ListCaption, QStringLiteral("Name"));
        QCOMPARE(fresh.Columns[1].MaxLength, 80);
        QVERIFY(fresh.Columns[1].Required);
        QCOMPARE(fresh.SQLString, QString());
        QCOMPARE(fresh.TableName, QStringLiteral("T"));
        QCOMPARE(fresh.UniqueKey, QStringList{QStringLiteral("ID")});
    }

    void selectAllFeatures() {
        TestEnvironment env;
        FeaturesPage page;
        QCOMPARE(page.features(), Features{});
        QVERIFY(page.box("chkSearch")->isChecked() && page.box("chkPage")->isChecked());
        QCheckBox* all = page.box("chkSelectAllFeatures");
        all->click();
        const Features everything{true, true, true, true, true, true, true, true};
        QCOMPARE(page.features(), everything);
        all->click();
        Features cleared{false, false, false, false, false, false, false, false};
        cleared.advancedSearch = true;
        QCOMPARE(page.features(), cleared);
        // Advanced search cleared by hand stays cleared when the box is cleared.
        all->click();
        page.box("chkAdvancedSearch")->setChecked(false);
        all->click();
        QVERIFY(!page.box("chkAdvancedSearch")->isChecked());
        QVERIFY(!page.box("chkLogin")->isChecked());
        // A screen reader's toggle does what a click does.
        QAccessible::queryAccessibleInterface(all)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
        QCOMPARE(page.features(), everything);
    }

    void finishListAndPageFiles() {
        Project p;
        p.TableName = QStringLiteral("Orders");
        p.EnableAppend = true;
        QStringList texts;
        for (const GenerationTask& task : generationTasks(p))
            texts << task.text;
        QCOMPARE(
            texts,
            (QStringList{
                QStringLiteral("Generate variable page"), QStringLiteral("Generate function page"),
                QStringLiteral("Generate dynamic function page"),
                QStringLiteral("Generate stylesheet page"), QStringLiteral("Generate images"),
                QStringLiteral("Generate database"), QStringLiteral("Generate index page"),
                QStringLiteral("Generate edit page"), QStringLiteral("Generate validation page")}));
        FinishStep::registerPageFiles(p);
        QCOMPARE(
            p.Rename,
            (QStringList{QStringLiteral("orders_variables.asp;orders_variables.asp"),
                         QStringLiteral("orders_dynamicfunctions.asp;orders_dynamicfunctions.asp"),
                         QStringLiteral("orders_index.asp;orders_index.asp"),
                         QStringLiteral("orders_edit.asp;orders_edit.asp")}));
        FinishStep::registerPageFiles(p); // registering again adds nothing
        QCOMPARE(p.Rename.size(), 4);

        Project all = p;
        all.DatasourceStatus = DatasourceDsn;
        all.EnableAppend = all.EditAs = false;
        all.AdvancedSearch = all.PrinterFriendlyVersion = all.ExportOption = true;
        all.LoginPage = true;
        texts.clear();
        for (const GenerationTask& task : generationTasks(all))
            texts << task.text;
        QVERIFY(!texts.contains(QStringLiteral("Generate database")));
        QVERIFY(!texts.contains(QStringLiteral("Generate login page"))); // nothing to log in with
        QVERIFY(!texts.contains(QStringLiteral("Generate edit page")));
        QVERIFY(texts.contains(QStringLiteral("Generate export page")));
        all.DynamicLoginName = QStringLiteral("LoginName");
        QVERIFY(generationTasks(all).size() == size_t(texts.size())); // half a login table is none
        all.DynamicLoginPassword = QStringLiteral("Password");
        QCOMPARE(generationTasks(all)[5].text, QStringLiteral("Generate login page"));
        QCOMPARE(progressNumber(0), 1);
    }

    void newProjectWalksToFinish() {
        TestEnvironment env;
        Walk walk(env);
        walk.next();
        QCOMPARE(walk.step(), 2);
        // A new project shows basic search and records per page only.
        QCOMPARE(walk.window.wizard().featuresPage().features(), Features{});
        walk.tick("chkAdd", true);
        walk.next();
        QCOMPARE(walk.step(), 3);
        QVERIFY(walk.project().EnableAppend);
        walk.chooseTable(QStringLiteral("Orders"));
        env.prompt.answer(Prompt::Ok);
        walk.next(); // the detected key still has to be confirmed
        QCOMPARE(walk.step(), 3);
        QCOMPARE(walk.lastMessage(),
                 QStringLiteral("Please select the unique columns of the table!"));
        walk.confirmKeys();
        walk.next();
        QCOMPARE(walk.step(), 4);
        QCOMPARE(walk.project().UniqueKey, QStringList{QStringLiteral("OrderID")});
        QueryPage& query = walk.window.wizard().queryPage();
        QCOMPARE(query.selectText(),
                 QStringLiteral("SELECT OrderID, CustomerID, OrderDate, DeliveryTime, ShippedAt, "
                                "Freight, ShipCity, Reference FROM Orders"));
        QVERIFY(!query.whereBoxShown());
        QVERIFY(query.rtbQuery(0)->isReadOnly());
        query.allowEdit()->click();
        QVERIFY(!query.rtbQuery(0)->isReadOnly());
        query.moreButton()->click();
        QVERIFY(query.whereBoxShown());
        QCOMPARE(query.moreButton()->text(), QStringLiteral("&Basic"));

        // A misspelt column and an invalid statement are both refused.
        query.setWhereText(QStringLiteral("WHERE ShipCty = \"Paris\""));
        env.prompt.answer(Prompt::Ok);
        walk.next();
        QCOMPARE(walk.step(), 4);
        QCOMPARE(walk.lastMessage(),
                 QStringLiteral("Specified SQL query is invalid!\nPlease check the SQL query!"));
        QCOMPARE(query.whereText(), QStringLiteral("WHERE ShipCty = 'Paris'"));
        query.setWhereText(QStringLiteral("WHERE WHERE"));
        env.prompt.answer(Prompt::Ok);
        walk.next();
        QCOMPARE(walk.step(), 4);
        QVERIFY(walk.project().SQLWhereString.isEmpty());
        // Two lines, the first ending in a comment: the break must survive.
        query.setWhereText(QStringLiteral("WHERE ShipCity = \"Paris\" -- one city\n  OR 1 = 0"));
        walk.next();
        QCOMPARE(walk.step(), 5);
        QCOMPARE(walk.project().SQLWhereString,
                 QStringLiteral("WHERE ShipCity = 'Paris' -- one city\n  OR 1 = 0"));

        for (int expected : {6, 7, 8, 10}) {
            walk.next();
            QCOMPARE(walk.step(), expected);
        }
        FinishPage& finish = walk.window.wizard().finishPage();
        QCOMPARE(finish.rowText(1, FinishPage::Feature), QStringLiteral("Task List"));
        QCOMPARE(finish.rowText(2, FinishPage::Feature), QStringLiteral("Generate variable page"));
        QCOMPARE(finish.rowIconKey(2, FinishPage::Feature), QStringLiteral("TASK"));
        QCOMPARE(finish.rowText(2, FinishPage::TaskList), QStringLiteral("Task List"));
        QCOMPARE(finish.rowCount(), 1 + static_cast<int>(generationTasks(walk.project()).size()));
        QVERIFY(walk.project().Rename.contains(QStringLiteral("orders_edit.asp;orders_edit.asp")));
        QVERIFY(finish.chkCopyDatabase()->isVisibleTo(&walk.window));
        QVERIFY(finish.chkCopyDatabase()->isChecked());
        QCOMPARE(finish.txtDestinationPath()->text(), FinishStep::defaultDestination());

        // The destination checks, then a real save.
        const auto refusedFinish = [&](const QString& path, const QString& message) {
            finish.txtDestinationPath()->setText(path);
            env.prompt.answer(Prompt::Ok);
            walk.next();
            QCOMPARE(walk.lastMessage(), message);
            QCOMPARE(walk.step(), 10);
        };
        refusedFinish(
            QStringLiteral("   "),
            QStringLiteral(
                "Please specify the location where you would like to store the ASP scripts!"));
        refusedFinish(env.path(QStringLiteral("nowhere")),
                      QStringLiteral("The specified folder location doesn't not exists!"));
        refusedFinish(walk.database,
                      QStringLiteral("The specified folder location doesn't not exists!"));
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        finish.txtDestinationPath()->setText(QStringLiteral(" ") + site + QStringLiteral(" "));
        const QString file = env.path(QStringLiteral("orders.pjx"));
        env.prompt.answerFile(file);
        env.prompt.answer(Prompt::No); // no new project after the run
        walk.next();
        QVERIFY(QFileInfo::exists(file));
        Project saved;
        readProjectFile(file, saved);
        QCOMPARE(saved.DestinationPath, site);
        QCOMPARE(saved.SQLWhereString,
                 QStringLiteral("WHERE ShipCity = 'Paris' -- one city\n  OR 1 = 0"));
        QCOMPARE(saved.TableName, QStringLiteral("Orders"));
        QCOMPARE(walk.lastMessage(),
                 QStringLiteral("ASP files for Orders has been sucessfully "
                                "generated!\nWould you like to create a new project?"));
        for (const char* written : {"orders_index.asp", "orders_edit.asp",
                                    "include/orders_variables.asp", "db", "include", "images"})
            QVERIFY2(QFileInfo::exists(site + QLatin1Char('/') + QLatin1String(written)), written);
        // Every task row was ticked off by the engine's progress.
        for (int row = 2; row <= finish.rowCount(); ++row)
            QCOMPARE(finish.rowText(row, FinishPage::Status), QStringLiteral("Completed!"));
        QCOMPARE(walk.window.taskPane().itemIconKey(QStringLiteral("Home"), 10),
                 QStringLiteral("CHECK"));
        QCOMPARE(walk.project().TableName, QStringLiteral("Orders")); // No keeps the project
        QVERIFY(!walk.window.generating());
        QVERIFY(env.prompt.allAnswersUsed());

        // The site just written can be tried in the browser, served on this machine.
        QUrl opened;
        walk.window.setUrlOpener([&](const QUrl& url) {
            opened = url;
            return true;
        });
        QVERIFY(finish.cmdPreview()->isEnabled());
        // A picture of the Finish step after the run, when ORDWICK_SCREENSHOTS names a folder.
        if (const QString shots = qEnvironmentVariable("ORDWICK_SCREENSHOTS"); !shots.isEmpty())
            walk.window.grab().save(shots + QStringLiteral("/finish-after-run.png"));
        finish.cmdPreview()->click();
        QCOMPARE(opened.host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(opened.path(), QStringLiteral("/orders_index.asp"));
        QVERIFY(walk.window.previewHost().running());
        const QByteArray reply = previewed(opened, "/orders_index.asp");
        QVERIFY2(reply.startsWith("HTTP/1.1 200"), reply.left(300).constData());
        // The list ran its query on the copied database: no order ships to Paris.
        QVERIFY(reply.contains("<h1>Orders</h1>"));
        QVERIFY(reply.contains("<p class=\"ow-count\">0 records</p>"));
        QVERIFY(walk.window.findChild<QAction*>(QStringLiteral("mnuPreview"))->isEnabled());
    }

    void progressOutsideTheGridChangesNothing() {
        TestEnvironment env;
        Walk walk(env);
        Project& project = walk.project();
        project.TableName = QStringLiteral("Orders");
        FinishPage& finish = walk.window.wizard().finishPage();
        finish.fillTasks(project);
        const int rows = finish.rowCount();
        walk.window.wizard().finishPage().onEngineProgress(1); // the first task: grid row 2
        QCOMPARE(finish.rowText(2, FinishPage::Status), QStringLiteral("Completed!"));
        QCOMPARE(finish.rowIconKey(2, FinishPage::Feature), QStringLiteral("TASKOVER"));
        walk.window.wizard().finishPage().onEngineProgress(rows);
        walk.window.wizard().finishPage().onEngineProgress(-1);
        for (int row = 3; row <= rows; ++row)
            QCOMPARE(finish.rowText(row, FinishPage::Status), QString());
        QCOMPARE(finish.rowText(1, FinishPage::Status), QString());
    }

    void runWithoutADataFileAndCancelledRun() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        walkTypedCustomersProjectToFinish(env, window);
        QVERIFY(!window.wizard().finishPage().chkCopyDatabase()->isVisibleTo(&window));
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        window.wizard().finishPage().txtDestinationPath()->setText(site);
        // Closing the window during the run asks the engine to stop.
        bool closed = true;
        int progressSeen = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (window.generating() && progressSeen++ == 0)
                closed = window.close();
        });
        poll.start(0);
        env.prompt.answer(Prompt::No); // "aborted by user", no new project
        window.onNextClicked();
        poll.stop();
        QVERIFY(!closed);
        QVERIFY(window.isVisible());
        QVERIFY(!QFileInfo::exists(site + QStringLiteral("/db")));
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/include")));
        QCOMPARE(
            env.prompt.messages().constLast().text,
            QStringLiteral(
                "ASP files generation aborted by user!\nWould you like to create a new project?"));
        QCOMPARE(window.statusText(), QStringLiteral("Ready"));
        QVERIFY(!window.generating());
        // With the run over, closing on the last step leaves at once.
        QVERIFY(window.close());
    }

    void failedRunIsNeverCalledASuccessAndTheWindowWaitsForIt() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        walkTypedCustomersProjectToFinish(env, window);
        const QString site = env.path(QStringLiteral("site"));
        // A folder where the list page goes: that page cannot be written.
        QVERIFY(QDir().mkpath(site + QStringLiteral("/customers_index.asp")));
        window.wizard().finishPage().txtDestinationPath()->setText(site);

        // While the run goes, nothing that changes the project or starts a run acts.
        QStringList lockedWhileRunning;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!window.generating() || !lockedWhileRunning.isEmpty())
                return;
            const auto state = [&](const char* name, bool enabled) {
                lockedWhileRunning << QLatin1String(name) + (enabled ? QStringLiteral(" on")
                                                                     : QStringLiteral(" off"));
            };
            state("cmdNext",
                  window.findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());
            state("cmdBack",
                  window.findChild<QPushButton*>(QStringLiteral("cmdBack"))->isEnabled());
            state("cmdCancel",
                  window.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->isEnabled());
            state("mnuNew", window.findChild<QAction*>(QStringLiteral("mnuNew"))->isEnabled());
            state("mnuOpen", window.findChild<QAction*>(QStringLiteral("mnuOpen"))->isEnabled());
            state("mnuSave", window.findChild<QAction*>(QStringLiteral("mnuSave"))->isEnabled());
            state("taskPane", window.taskPane().isEnabled());
            window.onBackClicked();
            window.newProject();
            state("step 10", window.session().currentStep == 10);
        });
        poll.start(0);
        env.prompt.whenShown = [&](const Prompt::Message& message) {
            env.prompt.answer(message.buttons == Prompt::Buttons::AbortRetryIgnore ? Prompt::Ignore
                                                                                   : Prompt::Ok);
        };
        window.onNextClicked();
        poll.stop();
        QCOMPARE(lockedWhileRunning,
                 (QStringList{QStringLiteral("cmdNext off"), QStringLiteral("cmdBack off"),
                              QStringLiteral("cmdCancel on"), QStringLiteral("mnuNew off"),
                              QStringLiteral("mnuOpen off"), QStringLiteral("mnuSave off"),
                              QStringLiteral("taskPane off"), QStringLiteral("step 10 on")}));
        const Prompt::Message last = env.prompt.messages().constLast();
        QCOMPARE(last.buttons, Prompt::Buttons::Ok);
        QVERIFY2(last.text.startsWith(QStringLiteral("ASP files for Customers were generated "
                                                     "incompletely: 1 task failed.\n- ")),
                 qPrintable(last.text));
        for (const Prompt::Message& message : env.prompt.messages())
            QVERIFY(!message.text.contains(QStringLiteral("sucessfully")));
        // The row of the task that failed says so; every other task was done.
        const FinishPage& finish = window.wizard().finishPage();
        QStringList ended;
        for (int row = 2; row <= finish.rowCount(); ++row) {
            if (finish.rowIconKey(row, FinishPage::Feature) != QLatin1String("TASKOVER"))
                ended << finish.rowText(row, FinishPage::Feature) + QLatin1Char(' ') +
                             finish.rowIconKey(row, FinishPage::Feature) + QLatin1Char(' ') +
                             finish.rowText(row, FinishPage::Status);
        }
        QCOMPARE(ended, QStringList{QStringLiteral("Generate index page TASKFAILED Failed!")});
        if (const QString shots = qEnvironmentVariable("ORDWICK_SCREENSHOTS"); !shots.isEmpty())
            window.grab().save(shots + QStringLiteral("/finish-after-failure.png"));
        QCOMPARE(window.statusText(), QStringLiteral("Ready"));
        QVERIFY(window.findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());
        QVERIFY(!window.wizard().finishPage().cmdPreview()->isEnabled());
    }

    void openedProjectShowsItsChoices() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("shop.db"));
        QFile::copy(kSample, database);
        Project p = projectWith(1, 7, QStringLiteral("Products"),
                                {QStringLiteral("ProductID"), QStringLiteral("ProductName")});
        p.DatabaseName = database;
        p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + database;
        p.UniqueKey = {QStringLiteral("ProductID")};
        p.EditAs = true;
        p.SimpleSearch = false;
        p.LoginPage = true;
        p.SQLString = QStringLiteral("SELECT ProductID, ProductName FROM Products");
        p.SQLWhereString = QStringLiteral("WHERE ProductID > 1");
        p.DestinationPath = QStringLiteral("/stored/elsewhere");
        const QString file = env.path(QStringLiteral("products.pjx"));
        saveProjectFile(file, p, 10);
        IniFile remembered;
        remembered.setSection(QStringLiteral("Settings"));
        remembered.setKey(QStringLiteral("Path"));
        remembered.setValue(env.path(QString()));

        MainWindow window(env.prompt);
        window.load({file});
        // Boxes changed before the walk are replaced by the stored values.
        window.wizard().featuresPage().box("chkAdd")->setChecked(true);
        window.onNextClicked();
        QCOMPARE(window.wizard().featuresPage().features(), Features::of(p));
        window.onNextClicked();
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 4);
        QCOMPARE(window.wizard().queryPage().selectText(), p.SQLString);
        QCOMPARE(window.wizard().queryPage().whereText(), p.SQLWhereString);
        QVERIFY(window.wizard().queryPage().whereBoxShown());
        // No search feature: the search step is passed over; the login step is not.
        for (int expected : {5, 6, 8, 9, 10}) {
            window.onNextClicked();
            QCOMPARE(window.session().currentStep, expected);
        }
        // The folder chosen last with the folder button wins over the stored one.
        QCOMPARE(window.wizard().finishPage().txtDestinationPath()->text(), env.path(QString()));
        window.onBackClicked();
        QCOMPARE(window.session().currentStep, 9);
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void keysConfirmedByKeyboardAndOddNamesSurviveSaveAndOpen() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("shop.db"));
        QFile::copy(kSample, database);
        QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(executeOnOdbc(QStringLiteral("Driver=SQLite3;Database=") + database,
                              QStringLiteral("CREATE TABLE Odd (ID INTEGER PRIMARY KEY, "
                                             "\"#tag\" TEXT, \"a=b\" TEXT, \" lead\" TEXT)")));
        Walk walk(env);
        // Pictures of the keyboard focus when ORDWICK_SCREENSHOTS names a folder.
        const QString shots = qEnvironmentVariable("ORDWICK_SCREENSHOTS");
        const auto picture = [&](const char* name) {
            if (!shots.isEmpty())
                walk.window.grab().save(shots + QLatin1Char('/') + QLatin1String(name));
        };
        walk.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&walk.window));
        picture("focus-start.png");
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 3);
        walk.chooseTable(QStringLiteral("Odd"));
        TableSourcePage& page = walk.window.wizard().tableSourcePage();
        QTableView* grid = page.grdColumns();
        const QAbstractItemModel& model = *grid->model();
        const auto marker = [&](int row, int column) {
            return model.index(row, column).data(ColumnGridModel::IconKeyRole).toString();
        };
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(1, ColumnGridModel::Name).data().toString(), QStringLiteral("#tag"));
        QCOMPARE(model.index(3, ColumnGridModel::Name).data().toString(), QStringLiteral(" lead"));

        // Screen readers meet a check box with a name, not an icon key.
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(view != nullptr && view->tableInterface() != nullptr);
        const auto cell = [&](int row, int column) {
            return view->tableInterface()->cellAt(row, column);
        };
        QAccessibleInterface* key = cell(0, ColumnGridModel::Unique);
        QCOMPARE(key->text(QAccessible::Name), QStringLiteral("Unique key"));
        QCOMPARE(key->text(QAccessible::Description),
                 QStringLiteral("Column ID, detected as a key, not yet confirmed"));
        QVERIFY(key->state().checkable);
        QVERIFY(!key->state().checked); // a detected key counts once confirmed
        QAccessibleInterface* included = cell(1, ColumnGridModel::Checked);
        QCOMPARE(included->text(QAccessible::Name), QStringLiteral("Included"));
        QCOMPARE(included->text(QAccessible::Description), QStringLiteral("Column #tag"));
        QVERIFY(included->state().checkable && included->state().checked);
        QVERIFY(!cell(0, ColumnGridModel::Name)->state().checkable);

        // Space and Enter toggle the focused marker as a click does.
        grid->setFocus();
        grid->setCurrentIndex(model.index(0, ColumnGridModel::Unique));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(marker(0, ColumnGridModel::Unique), QStringLiteral("CHECK"));
        picture("focus-table-step.png");
        QVERIFY(cell(0, ColumnGridModel::Unique)->state().checked);
        grid->setCurrentIndex(model.index(1, ColumnGridModel::Unique));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(marker(1, ColumnGridModel::Unique), QStringLiteral("CHECK"));
        grid->setCurrentIndex(model.index(3, ColumnGridModel::Checked));
        QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(marker(3, ColumnGridModel::Checked), QStringLiteral("UNCHECK"));
        QTest::keyClick(grid, Qt::Key_Space, Qt::ShiftModifier); // not a plain Space
        QCOMPARE(marker(3, ColumnGridModel::Checked), QStringLiteral("UNCHECK"));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(marker(3, ColumnGridModel::Checked), QStringLiteral("CHECK"));
        grid->setCurrentIndex(model.index(2, ColumnGridModel::Name));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(marker(2, ColumnGridModel::Unique), QStringLiteral("UNCHECK"));
        QCOMPARE(marker(2, ColumnGridModel::Checked), QStringLiteral("CHECK"));

        walk.next();
        QCOMPARE(walk.step(), 4);
        QCOMPARE(walk.project().UniqueKey,
                 (QStringList{QStringLiteral("ID"), QStringLiteral("#tag")}));
        // The pane's ticks are read out as ticked or not.
        const QStandardItem* tableItem = walk.window.taskPane().model().item(0)->child(2);
        QCOMPARE(tableItem->data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(tableItem->flags() & Qt::ItemIsUserCheckable);
        const QStandardItem* loginItem = walk.window.taskPane().model().item(0)->child(8);
        QCOMPARE(loginItem->data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

        const QString file = env.path(QStringLiteral("odd.pjx"));
        env.prompt.answerFile(file);
        walk.window.saveProject();
        QVERIFY(
            env.readFile(file).contains(QStringLiteral("[UniqueKey]\r\n1=ID\r\n2=]%23tag\r\n")));

        MainWindow reopened(env.prompt);
        reopened.load({file});
        reopened.onNextClicked();
        reopened.onNextClicked();
        QCOMPARE(reopened.session().currentStep, 3);
        const ColumnGridModel& shown = reopened.wizard().tableSourcePage().columns();
        QStringList names;
        QStringList keys;
        for (const ColumnRow& r : shown.rows()) {
            names.append(r.name);
            keys.append(r.uniqueMarker);
        }
        QCOMPARE(names, (QStringList{QStringLiteral("ID"), QStringLiteral("#tag"),
                                     QStringLiteral("a=b"), QStringLiteral(" lead")}));
        QCOMPARE(keys, (QStringList{QStringLiteral("CHECK"), QStringLiteral("CHECK"),
                                    QStringLiteral("UNCHECK"), QStringLiteral("UNCHECK")}));
        // Nothing was asked or reported but the question of the table pick.
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(env.prompt.messages().constFirst().text,
                 QStringLiteral("Selecting a new table resets previous table settings. Continue?"));
    }

    void searchSkipIsForwardOnly() {
        TestEnvironment env;
        Walk walk(env);
        walk.next();
        walk.tick("chkSearch", false);
        walk.tick("chkAdvancedSearch", false);
        walk.next();
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 5);
        walk.next();
        QCOMPARE(walk.step(), 6);
        // Save applies the step on screen and stays on it: the skip belongs to Next.
        env.prompt.answerFile(env.path(QStringLiteral("skip.pjx")));
        walk.window.saveProject();
        QCOMPARE(walk.step(), 6);
        QCOMPARE(walk.window.wizard().currentIndex(), 5);
        // Back from step 6 goes to step 5 and ticks nothing ahead of it.
        walk.back();
        QCOMPARE(walk.step(), 5);
        QCOMPARE(walk.window.taskPane().itemIconKey(QStringLiteral("Home"), 7),
                 QStringLiteral("UNCHECK"));
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 8); // the search step was passed over
        walk.back();
        QCOMPARE(walk.step(), 7); // going back knows only the login skip
        // Back from the table step does not apply it: what is on screen stays.
        walk.back();
        walk.back();
        walk.back();
        walk.back();
        QCOMPARE(walk.step(), 3);
        walk.back();
        QCOMPARE(walk.step(), 2);
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void dataSourceNameOffersNoDatabaseCopy() {
        Project p;
        p.DatasourceStatus = DatasourceDsn;
        p.DatabaseName = QStringLiteral("/looks/like/a/path");
        QVERIFY(!FinishStep::offersDatabaseCopy(p));
        p.DatasourceStatus = DatasourceFile;
        QVERIFY(FinishStep::offersDatabaseCopy(p));
        p.DatabaseName = QStringLiteral("relative.db");
        QVERIFY(!FinishStep::offersDatabaseCopy(p));
    }

    // A data source name or a connection string to the test servers: the
    // family comes from the driver, so the default query is one the server
    // reads as it stands, and a query the server refuses is refused.
    void serverSourcesGetTheirOwnFamily_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("select");
        const QString user = qEnvironmentVariable("TESSALINE_TEST_USER");
        const QString password = qEnvironmentVariable("TESSALINE_TEST_PASSWORD");
        const QString login = QStringLiteral(";UID=%1;PWD=%2;").arg(user, password);
        QTest::newRow("PostgreSQL data source")
            << 1 << qEnvironmentVariable("TESSALINE_TEST_PG_DSN") << 8
            << QStringLiteral("SELECT id, \"City Name\" FROM aaa_wizard_orders");
        QTest::newRow("MariaDB data source")
            << 1 << qEnvironmentVariable("TESSALINE_TEST_MARIA_DSN") << 6
            << QStringLiteral("SELECT id, `City Name` FROM aaa_wizard_orders");
        QTest::newRow("PostgreSQL connection string")
            << 2 << qEnvironmentVariable("TESSALINE_TEST_PG_DRIVER") + login << 8
            << QStringLiteral("SELECT id, \"City Name\" FROM aaa_wizard_orders");
        QTest::newRow("MariaDB connection string")
            << 2 << qEnvironmentVariable("TESSALINE_TEST_MARIA_DRIVER") + login << 6
            << QStringLiteral("SELECT id, `City Name` FROM aaa_wizard_orders");
        QTest::newRow("SQLite data source")
            << 1 << qEnvironmentVariable("TESSALINE_TEST_SQLITE_DSN") << 7
            << QStringLiteral("SELECT id, [City Name] FROM aaa_wizard_orders");
        QTest::newRow("SQLite connection string")
            << 2 << qEnvironmentVariable("TESSALINE_TEST_SQLITE_DRIVER") << 7
            << QStringLiteral("SELECT id, [City Name] FROM aaa_wizard_orders");
        // A driver named by its library says nothing: the server tells.
        const QSettings drivers(qEnvironmentVariable("ODBCSYSINI") +
                                    QStringLiteral("/odbcinst.ini"),
                                QSettings::IniFormat);
        QString byLibrary = qEnvironmentVariable("TESSALINE_TEST_MARIA_DRIVER");
        byLibrary.replace(QStringLiteral("DRIVER={MariaDB}"),
                          QStringLiteral("DRIVER=") +
                              drivers.value(QStringLiteral("MariaDB/Driver")).toString());
        QTest::newRow("MariaDB through its driver's library")
            << 2 << byLibrary + login << 6
            << QStringLiteral("SELECT id, `City Name` FROM aaa_wizard_orders");
    }
    void serverSourcesGetTheirOwnFamily() {
        if (qEnvironmentVariableIsEmpty("TESSALINE_TEST_PG_DSN"))
            QSKIP("the test database servers are not running (scripts/test.sh starts them)");
        QFETCH(int, option);
        QFETCH(QString, source);
        QFETCH(int, family);
        QFETCH(QString, select);
        const QString user = qEnvironmentVariable("TESSALINE_TEST_USER");
        const QString password = qEnvironmentVariable("TESSALINE_TEST_PASSWORD");
        const QString reach =
            option == 1 ? QStringLiteral("DSN=%1;UID=%2;PWD=%3;").arg(source, user, password)
                        : source;
        const QString quote = family == 6 ? QStringLiteral("`") : QStringLiteral("\"");
        QVERIFY(executeOnOdbc(reach, QStringLiteral("DROP TABLE IF EXISTS aaa_wizard_orders")));
        QVERIFY(executeOnOdbc(reach, QStringLiteral("CREATE TABLE aaa_wizard_orders (id integer "
                                                    "primary key, %1City Name%1 varchar(40))")
                                         .arg(quote)));
        QStringList rows;
        for (int id = 1; id <= 25; ++id)
            rows << QStringLiteral("(%1, 'City %2')").arg(id).arg(id, 2, 10, QLatin1Char('0'));
        QVERIFY(executeOnOdbc(reach, QStringLiteral("INSERT INTO aaa_wizard_orders VALUES ") +
                                         rows.join(QLatin1Char(','))));
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.setEngineLibrary(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        window.load({});
        DataSourcePage& first = window.wizard().dataSourcePage();
        first.selectOption(option);
        window.wizard().onDataSourceOptionClicked(option);
        if (option == 1) {
            first.selectDataSource(source);
            first.txtODBCLogin()->setText(user);
            first.txtODBCPassword()->setText(password);
        } else {
            first.txtConnectionString()->setText(source);
        }
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 2);
        QCOMPARE(window.session().project.DatasourceType, family);
        window.wizard().featuresPage().box("chkSort")->setChecked(true);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 3);
        // Other suites add tables to the same database: pick ours by name.
        env.prompt.answer(Prompt::Yes);
        TableSourcePage& tables = window.wizard().tableSourcePage();
        tables.onTableActivated(tables.icbTables()->findText(QStringLiteral("aaa_wizard_orders")));
        QCOMPARE(tables.icbTables()->currentText(), QStringLiteral("aaa_wizard_orders"));
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 4);
        QueryPage& query = window.wizard().queryPage();
        query.moreButton()->click();
        for (const char* where : {"WHERE no_such_column = 1", "WHERE ORDER BY"}) {
            query.setWhereText(QString::fromLatin1(where));
            env.prompt.answer(Prompt::Ok);
            window.onNextClicked();
            QCOMPARE(window.session().currentStep, 4);
            QCOMPARE(
                env.prompt.messages().constLast().text,
                QStringLiteral("Specified SQL query is invalid!\nPlease check the SQL query!"));
        }
        query.setWhereText(QString());
        QCOMPARE(query.selectText(), select);
        const auto shown = env.prompt.messages().size();
        window.onNextClicked();
        QCOMPARE(env.prompt.messages().size(), shown);
        QCOMPARE(window.session().currentStep, 5);

        // On through Finish to a site whose list pages, sorts and searches
        // in the database, tried in the preview.
        for (int expected : {6, 7, 8, 10}) {
            window.onNextClicked();
            QCOMPARE(window.session().currentStep, expected);
        }
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        window.wizard().finishPage().txtDestinationPath()->setText(site);
        env.prompt.answerFile(env.path(QStringLiteral("orders.pjx")));
        env.prompt.answer(Prompt::No);
        window.onNextClicked();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("ASP files for aaa_wizard_orders has been sucessfully "
                                "generated!\nWould you like to create a new project?"));
        QUrl opened;
        window.setUrlOpener([&](const QUrl& url) {
            opened = url;
            return true;
        });
        window.wizard().finishPage().cmdPreview()->click();
        const auto list = [&](const QByteArray& state) {
            const QByteArray reply = previewed(opened, "/aaa_wizard_orders_index.asp" + state);
            return reply.startsWith("HTTP/1.1 200") ? reply : reply.left(600);
        };
        const QByteArray firstPage = list({});
        QVERIFY2(firstPage.contains("<p class=\"ow-count\">25 records</p>"), firstPage.constData());
        QVERIFY(firstPage.contains(">City 01<") && firstPage.contains(">City 20<"));
        QVERIFY(!firstPage.contains(">City 21<"));
        const QByteArray lastPage = list("?p=2");
        QVERIFY2(lastPage.contains(">City 21<") && lastPage.contains(">City 25<"),
                 lastPage.constData());
        QVERIFY(!lastPage.contains(">City 20<"));
        const QByteArray sorted = list("?s=1&d=desc");
        QVERIFY2(sorted.contains(">City 25<") && sorted.contains(">City 06<"), sorted.constData());
        QVERIFY(!sorted.contains(">City 05<"));
        const QByteArray found = list("?q=City+1");
        QVERIFY2(found.contains("<p class=\"ow-count\">10 records</p>"), found.constData());
    }
};

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
