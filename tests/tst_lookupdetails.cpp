// The details behind radio button and lookup field columns: the texts of each
// form and their reading back, the dialog on the sample database, the " more "
// button of the column customization step, and a site generated from a
// project customised through the window.
#include "datasource/connectionbuilder.h"
#include "datasource/dataconnection.h"
#include "foundation/runtimeerror.h"
#include "generation/enginebinding.h"
#include "project/projectfile.h"
#include "shell/mainwindow.h"
#include "support/testenvironment.h"
#include "wizard/columncustomizationpage.h"
#include "wizard/columngridmodel.h"
#include "wizard/datasourcepage.h"
#include "wizard/featurespage.h"
#include "wizard/lookupdetails.h"
#include "wizard/lookupdetailsdialog.h"
#include "wizard/tablesourcepage.h"
#include "wizard/wizard.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

using namespace ordwick;
using ordwick::test::TestEnvironment;
using Step = ColumnCustomizationStep;
using Form = LookupChoice::Form;

namespace {

const QString kSample = QStringLiteral(ORDWICK_SAMPLE_DATABASE);

QString sqliteConnection(const QString& file) {
    Project project;
    project.DatabaseName = file;
    project.DatasourceType = FamilySqlite;
    return BuildConnectionString(project, 0, {});
}

QStringList items(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->itemText(i));
    return texts;
}

QStringList values(const QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(0));
    return texts;
}

void choose(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
}

// Empty when the statement prepares on the database, else SQLite's message.
QString prepareOn(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open");
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), -1, &statement, nullptr);
    const QString message = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return message;
}

// Runs statements on an ODBC data source as another program would; empty on
// success, else the failing statement.
QString runOnOdbc(const QString& connection, const QStringList& statements) {
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC link = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment);
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, environment, &link);
    QByteArray text = connection.toUtf8();
    QString failed;
    if (!SQL_SUCCEEDED(SQLDriverConnect(link, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                        SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
        failed = QStringLiteral("connect");
    } else {
        for (const QString& statement : statements) {
            SQLHSTMT handle = SQL_NULL_HSTMT;
            SQLAllocHandle(SQL_HANDLE_STMT, link, &handle);
            QByteArray sql = statement.toUtf8();
            const SQLRETURN rc =
                SQLExecDirect(handle, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
            if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
                failed = statement;
                break;
            }
        }
        SQLDisconnect(link);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, link);
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return failed;
}

// The main window walked to the column customization step on a private copy
// of the sample database.
class Walk {
public:
    explicit Walk(TestEnvironment& env) : m_env(env), window(env.prompt) {
        database = env.path(QStringLiteral("shop.db"));
        if (!QFileInfo::exists(database))
            QFile::copy(kSample, database);
        window.load({});
        window.wizard().dataSourcePage().txtDataSource()->setText(database);
        window.resize(1200, 800);
        window.show();
        QObject::connect(&window, &MainWindow::dialogOpened, [this](QDialog* dialog) {
            auto* details = qobject_cast<LookupDetailsDialog*>(dialog);
            if (details == nullptr || !m_user)
                return;
            ++opened;
            QTimer::singleShot(0, details, [this, details] { m_user(*details); });
        });
    }

    void toCustomization(const QString& table) {
        window.onNextClicked();
        FeaturesPage& features = window.wizard().featuresPage();
        features.box("chkAdd")->setChecked(true);
        features.box("chkEdit")->setChecked(true);
        window.onNextClicked();
        m_env.prompt.answer(Prompt::Yes);
        TableSourcePage& tables = window.wizard().tableSourcePage();
        tables.onTableActivated(tables.icbTables()->findText(table));
        // The user confirms the detected key (its "KEY" cells) for add and edit.
        ColumnGridModel& grid = tables.columns();
        for (int i = 0; i < grid.rowCount(); ++i) {
            if (grid.rows()[static_cast<size_t>(i)].uniqueMarker == QLatin1String("KEY"))
                grid.toggleMarker(i, ColumnGridModel::Unique);
        }
        for (int i = 0; i < 3; ++i)
            window.onNextClicked();
    }
    ColumnCustomizationPage& page() { return window.wizard().columnCustomizationPage(); }
    int rowOf(const QString& name) {
        const auto& rows = page().model(1).rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name)
                return static_cast<int>(i);
        }
        return -1;
    }
    CustomizationRow& row(const QString& name) { return page().model(1).row(rowOf(name)); }
    QColor moreColour(const QString& name) {
        const QModelIndex more =
            page().model(1).index(rowOf(name), page().model(1).columnOf(Step::More));
        return more.data(Qt::BackgroundRole).value<QBrush>().color();
    }
    void requestEdit(const QString& name, Step::Key key) {
        page().tbsStrip()->setCurrentIndex(1);
        QTableView* view = page().grdColumnCustomization(1);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(rowOf(name), page().model(1).columnOf(key)));
        QTest::keyClick(view, Qt::Key_F2);
    }
    void editAs(const QString& name, const QString& text) {
        requestEdit(name, Step::EditAs);
        Q_EMIT page().cmbList()->activated(page().cmbList()->findText(text));
    }
    // Opens the details of a row with " more "; `user` acts in the dialog.
    void details(const QString& name, std::function<void(LookupDetailsDialog&)> user) {
        m_user = std::move(user);
        requestEdit(name, Step::More);
        QCOMPARE(page().openEditor(), page().cmdEllipsis());
        page().cmdEllipsis()->click();
        m_user = nullptr;
    }

private:
    TestEnvironment& m_env;

public:
    MainWindow window;
    QString database;
    int opened = 0;

private:
    std::function<void(LookupDetailsDialog&)> m_user;
};

} // namespace

class LookupDetailsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textsOfEachForm() {
        QCOMPARE(LookupDetails::staticText({QStringLiteral("One"), QStringLiteral("Two")}),
                 QStringLiteral("One, Two"));
        LookupQuery query{QStringLiteral("T"), QStringLiteral("Name"), QStringLiteral("ID"),
                          QStringLiteral("Name"), QStringLiteral("Descending")};
        QCOMPARE(LookupDetails::dynamicText(query, 8, NameQuoting::Brackets),
                 QStringLiteral("SELECT ID, Name FROM T ORDER BY Name DESC"));
        query.direction = QStringLiteral("Ascending");
        QCOMPARE(LookupDetails::dynamicText(query, 8, NameQuoting::Brackets),
                 QStringLiteral("SELECT ID, Name FROM T ORDER BY Name ASC"));
        // An order column without a direction, and a radio button without a link.
        query.direction.clear();
        QCOMPARE(LookupDetails::dynamicText(query, 8, NameQuoting::Brackets),
                 QStringLiteral("SELECT ID, Name FROM T ORDER BY Name"));
        QCOMPARE(LookupDetails::dynamicText(query, 5, NameQuoting::Brackets),
                 QStringLiteral("SELECT Name FROM T ORDER BY Name"));
        query.orderColumn.clear();
        QCOMPARE(LookupDetails::dynamicText(query, 5, NameQuoting::Brackets),
                 QStringLiteral("SELECT Name FROM T"));

        // Names that need quoting, each source its way; plain names stay as they are.
        const LookupQuery awkward{QStringLiteral("Order Details"), QStringLiteral("Unit Price"),
                                  QStringLiteral("OrderID"), QStringLiteral("Unit Price"),
                                  QStringLiteral("Descending")};
        QCOMPARE(LookupDetails::dynamicText(awkward, 8, NameQuoting::Brackets),
                 QStringLiteral("SELECT OrderID, [Unit Price] FROM [Order Details] ORDER BY "
                                "[Unit Price] DESC"));
        QCOMPARE(LookupDetails::dynamicText(awkward, 5, NameQuoting::DoubleQuotes),
                 QStringLiteral("SELECT \"Unit Price\" FROM \"Order Details\" ORDER BY \"Unit "
                                "Price\" DESC"));
        QCOMPARE(LookupDetails::dynamicText(awkward, 5, NameQuoting::Backticks),
                 QStringLiteral("SELECT `Unit Price` FROM `Order Details` ORDER BY `Unit Price` "
                                "DESC"));
        QCOMPARE(LookupDetails::quoted(QStringLiteral("a]b"), NameQuoting::Brackets),
                 QStringLiteral("[a]]b]"));
        QCOMPARE(LookupDetails::quoted(QStringLiteral("2nd"), NameQuoting::Brackets),
                 QStringLiteral("[2nd]"));
        QCOMPARE(LookupDetails::quoted(QStringLiteral("_Plain9"), NameQuoting::Brackets),
                 QStringLiteral("_Plain9"));
        // Reserved words are names SQL cannot read bare either.
        LookupQuery reservedNames;
        reservedNames.table = QStringLiteral("Group");
        reservedNames.displayColumn = QStringLiteral("Order");
        reservedNames.orderColumn = QStringLiteral("Order");
        reservedNames.direction = QStringLiteral("Ascending");
        QCOMPARE(LookupDetails::dynamicText(reservedNames, 5, NameQuoting::DoubleQuotes),
                 QStringLiteral("SELECT \"Order\" FROM \"Group\" ORDER BY \"Order\" ASC"));

        Project project;
        QCOMPARE(LookupDetails::quotingFor(project), NameQuoting::Brackets);
        project.ConnectionString = QStringLiteral("Driver={PostgreSQL Unicode};Server=x");
        QCOMPARE(LookupDetails::quotingFor(project), NameQuoting::DoubleQuotes);
        project.DatasourceType = FamilyMySql;
        QCOMPARE(LookupDetails::quotingFor(project), NameQuoting::Backticks);
    }

    void readingBack() {
        LookupChoice choice = LookupDetails::read(QStringLiteral("One, Two"));
        QCOMPARE(choice.form, Form::Static);
        QCOMPARE(choice.values, (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
        // A value holding ", " comes back as two.
        choice = LookupDetails::read(QStringLiteral("Paris, France, Rome"));
        QCOMPARE(choice.values, (QStringList{QStringLiteral("Paris"), QStringLiteral("France"),
                                             QStringLiteral("Rome")}));
        QCOMPARE(LookupDetails::read(QStringLiteral("  ")).form, Form::None);

        choice = LookupDetails::read(QStringLiteral("SELECT ID, Name FROM T ORDER BY Name DESC"));
        QCOMPARE(choice.form, Form::Dynamic);
        QCOMPARE(choice.query,
                 (LookupQuery{QStringLiteral("T"), QStringLiteral("Name"), QStringLiteral("ID"),
                              QStringLiteral("Name"), QStringLiteral("Descending")}));
        choice = LookupDetails::read(QStringLiteral("SELECT ID, Name FROM T ORDER BY Name ASC"));
        QCOMPARE(choice.query.direction, QStringLiteral("Ascending"));
        choice = LookupDetails::read(QStringLiteral("SELECT ID, Name FROM T"));
        QCOMPARE(choice.query,
                 (LookupQuery{
                     QStringLiteral("T"), QStringLiteral("Name"), QStringLiteral("ID"), {}, {}}));
        // The radio button form names the display column alone.
        choice =
            LookupDetails::read(QStringLiteral("SELECT ShipCity FROM Orders ORDER BY ShipCity"));
        QCOMPARE(choice.query, (LookupQuery{QStringLiteral("Orders"),
                                            QStringLiteral("ShipCity"),
                                            {},
                                            QStringLiteral("ShipCity"),
                                            {}}));
        // A direction is the last word only: these order columns are read whole.
        choice = LookupDetails::read(QStringLiteral("SELECT ID, Name FROM T ORDER BY DESCRIPTION"));
        QCOMPARE(choice.query.orderColumn, QStringLiteral("DESCRIPTION"));
        QCOMPARE(choice.query.direction, QString());
        choice = LookupDetails::read(QStringLiteral("SELECT ID, Name FROM T ORDER BY ASCII ASC"));
        QCOMPARE(choice.query.orderColumn, QStringLiteral("ASCII"));
        QCOMPARE(choice.query.direction, QStringLiteral("Ascending"));

        // Quoted names, holding the very separators the reader looks for.
        choice = LookupDetails::read(QStringLiteral(
            "SELECT [Last, First], [A FROM B] FROM [Order Details] ORDER BY [X DESC] ASC"));
        QCOMPARE(choice.query,
                 (LookupQuery{QStringLiteral("Order Details"), QStringLiteral("A FROM B"),
                              QStringLiteral("Last, First"), QStringLiteral("X DESC"),
                              QStringLiteral("Ascending")}));
        choice = LookupDetails::read(
            QStringLiteral("SELECT \"Unit \"\"Net\"\" Price\" FROM \"Order Details\""));
        QCOMPARE(choice.query.displayColumn, QStringLiteral("Unit \"Net\" Price"));
        QCOMPARE(choice.query.linkColumn, QString());
        choice = LookupDetails::read(QStringLiteral("SELECT `a``b`, c FROM `t t`"));
        QCOMPARE(choice.query.linkColumn, QStringLiteral("a`b"));
        QCOMPARE(choice.query.table, QStringLiteral("t t"));

        // Every written text reads back to what was written.
        const LookupQuery awkward{QStringLiteral("Order Details"), QStringLiteral("Unit Price"),
                                  QStringLiteral("a]b"), QStringLiteral("Unit Price"),
                                  QStringLiteral("Descending")};
        for (NameQuoting quoting :
             {NameQuoting::Brackets, NameQuoting::Backticks, NameQuoting::DoubleQuotes})
            QCOMPARE(LookupDetails::read(LookupDetails::dynamicText(awkward, 8, quoting)).query,
                     awkward);
    }

    void saveRefusesWithTheThreeWarnings() {
        using Focus = LookupDetails::Refusal::Focus;
        LookupChoice choice;
        choice.form = Form::Static;
        LookupDetails::Saved saved = LookupDetails::save(choice, 5, NameQuoting::Brackets);
        QVERIFY(saved.refusal.has_value());
        QCOMPARE(saved.refusal->text, QStringLiteral("Please specify static values!"));
        QCOMPARE(saved.refusal->focus, Focus::StaticList);

        choice.form = Form::Dynamic;
        choice.query.table = QStringLiteral("T");
        saved = LookupDetails::save(choice, 8, NameQuoting::Brackets);
        QCOMPARE(saved.refusal->text,
                 QStringLiteral("Please select the table name and column name!"));
        QCOMPARE(saved.refusal->focus, Focus::TableList);
        choice.query.displayColumn = QStringLiteral("Name");
        saved = LookupDetails::save(choice, 8, NameQuoting::Brackets);
        QCOMPARE(saved.refusal->text, QStringLiteral("Please select the link column!"));
        QCOMPARE(saved.refusal->focus, Focus::LinkList);
        saved = LookupDetails::save(choice, 5, NameQuoting::Brackets);
        QVERIFY(!saved.refusal.has_value());
        QCOMPARE(saved.text, QStringLiteral("SELECT Name FROM T"));

        // ";" would split the stored column record.
        choice.query.table = QStringLiteral("a;b");
        saved = LookupDetails::save(choice, 5, NameQuoting::Brackets);
        QCOMPARE(saved.refusal->text, QStringLiteral("Please specify a value without \";\"!"));

        choice = {};
        saved = LookupDetails::save(choice, 5, NameQuoting::Brackets);
        QCOMPARE(saved.refusal->text, QStringLiteral("Please select an display option!"));

        // Only the listed type codes are offered.
        QList<int> offered;
        for (int code = 0; code <= 205; ++code) {
            if (LookupDetails::offersColumn(code))
                offered.append(code);
        }
        QCOMPARE(offered, (QList<int>{3, 4, 5, 11, 16, 20, 128, 129, 130, 131, 133, 134, 135}));
        QCOMPARE(LookupDetails::tableIconKey(QStringLiteral("SYSTEM TABLE")),
                 QStringLiteral("SYSTEMTABLE"));
        QCOMPARE(LookupDetails::tableIconKey(QStringLiteral("VIEW")), QStringLiteral("VIEW"));
        QCOMPARE(LookupDetails::tableIconKey(QStringLiteral("TABLE")), QStringLiteral("TABLE"));
        QCOMPARE(LookupDetails::tableIconKey(QStringLiteral("SYNONYM")), QString());
    }

    void staticValuesByTheValueButtons() {
        TestEnvironment env;
        LookupDetailsDialog dialog(sqliteConnection(kSample), NameQuoting::Brackets, {}, 5,
                                   env.prompt);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Details..."));
        QCOMPARE(dialog.objectName(), QStringLiteral("frmDetails"));
        QVERIFY(!dialog.icbLinkColumn()->isEnabled());
        QVERIFY(!dialog.optValue(0)->isChecked());
        QVERIFY(!dialog.optValue(1)->isChecked());

        // Neither option chosen: entering either list points to the options.
        env.prompt.answer(Prompt::Ok);
        dialog.lvwStatic()->setFocus();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Please select an display option!"));
        QCOMPARE(env.prompt.messages().constLast().title, QStringLiteral("Tessaline"));
        QVERIFY(dialog.optValue(0)->hasFocus());
        env.prompt.answer(Prompt::Ok);
        dialog.icbTableName()->setFocus();
        QCOMPARE(env.prompt.messages().size(), 2);
        QVERIFY(dialog.optValue(0)->hasFocus());
        QTest::keyClick(dialog.optValue(0), Qt::Key_Space);
        QVERIFY(dialog.optValue(0)->isChecked());

        env.prompt.answer(Prompt::Ok);
        dialog.cmdSave()->click();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Please specify static values!"));
        QVERIFY(dialog.isVisible());

        for (const char* value : {"Red", "", "Green", "Blue;Cyan", "Blue\nCyan", "Blue"})
            env.prompt.answerInput(QString::fromLatin1(value));
        env.prompt.answerInput(QString()); // cancelled
        env.prompt.answer(Prompt::Ok);     // the ";" refusal
        env.prompt.answer(Prompt::Ok);     // the line break's
        for (int i = 0; i < 7; ++i)
            dialog.cmdOrder(0)->click();
        QCOMPARE(env.prompt.inputRequests().constFirst().title, QStringLiteral("Add"));
        QCOMPARE(env.prompt.inputRequests().constFirst().label, QStringLiteral("Add a value"));
        QCOMPARE(env.prompt.messages().at(env.prompt.messages().size() - 2).text,
                 QStringLiteral("Please specify a value without \";\"!"));
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Please specify a value without line breaks or other control "
                                "characters!"));
        QCOMPARE(
            values(dialog.lvwStatic()),
            (QStringList{QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue")}));

        // Blue up twice, then once more (already first): Blue, Red, Green.
        dialog.cmdOrder(3)->click();
        dialog.cmdOrder(3)->click();
        dialog.cmdOrder(3)->click();
        QCOMPARE(
            values(dialog.lvwStatic()),
            (QStringList{QStringLiteral("Blue"), QStringLiteral("Red"), QStringLiteral("Green")}));
        dialog.cmdOrder(2)->click();
        QCOMPARE(
            values(dialog.lvwStatic()),
            (QStringList{QStringLiteral("Red"), QStringLiteral("Blue"), QStringLiteral("Green")}));
        dialog.lvwStatic()->setCurrentItem(dialog.lvwStatic()->topLevelItem(2));
        dialog.cmdOrder(2)->click(); // the last cannot go down
        dialog.cmdOrder(1)->click();
        QCOMPARE(values(dialog.lvwStatic()),
                 (QStringList{QStringLiteral("Red"), QStringLiteral("Blue")}));

        dialog.cmdSave()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.details(), QStringLiteral("Red, Blue"));
        QVERIFY(env.prompt.allAnswersUsed());

        // Reopened: the values in order, each with the icon of its edit type.
        LookupDetailsDialog again(sqliteConnection(kSample), NameQuoting::Brackets,
                                  QStringLiteral("One, Two"), 8, env.prompt);
        QVERIFY(again.optValue(0)->isChecked());
        QCOMPARE(values(again.lvwStatic()),
                 (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
        QCOMPARE(again.lvwStatic()->headerItem()->text(0), QStringLiteral("Value"));
        QVERIFY(!again.lvwStatic()->topLevelItem(0)->icon(0).isNull());
        QVERIFY(again.icbLinkColumn()->isEnabled());
    }

    void dynamicValuesFromTheSampleDatabase() {
        TestEnvironment env;
        LookupDetailsDialog dialog(sqliteConnection(kSample), NameQuoting::Brackets, {}, 8,
                                   env.prompt);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(items(dialog.icbTableName()),
                 (QStringList{QStringLiteral("sqlite_sequence"), QStringLiteral("Customers"),
                              QStringLiteral("Order Details"), QStringLiteral("Orders"),
                              QStringLiteral("Products"), QStringLiteral("Users"),
                              QStringLiteral("Order Totals")}));
        // Each with the icon of its kind.
        QCOMPARE(dialog.icbTableName()->itemData(0).toString(), QStringLiteral("SYSTEMTABLE"));
        QCOMPARE(dialog.icbTableName()->itemData(1).toString(), QStringLiteral("TABLE"));
        QCOMPARE(dialog.icbTableName()->itemData(6).toString(), QStringLiteral("VIEW"));
        QVERIFY(!dialog.icbTableName()->itemIcon(6).isNull());
        QCOMPARE(
            items(dialog.icbSortDirection()),
            (QStringList{QString(), QStringLiteral("Ascending"), QStringLiteral("Descending")}));
        dialog.optValue(1)->click();
        env.prompt.answer(Prompt::Ok);
        dialog.cmdSave()->click();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Please select the table name and column name!"));
        QVERIFY(dialog.icbTableName()->hasFocus());

        // Columns of types that cannot be looked up (UnitsInStock, a small integer) are left out.
        choose(dialog.icbTableName(), QStringLiteral("Products"));
        const QStringList products{QStringLiteral("ProductID"),    QStringLiteral("ProductName"),
                                   QStringLiteral("Barcode"),      QStringLiteral("Rating"),
                                   QStringLiteral("UnitPrice"),    QStringLiteral("WeightKg"),
                                   QStringLiteral("VolumeLitres"), QStringLiteral("Discontinued"),
                                   QStringLiteral("Description"),  QStringLiteral("Photo")};
        QCOMPARE(items(dialog.icbDisplayColumn()), products);
        QCOMPARE(items(dialog.icbLinkColumn()), products);
        QCOMPARE(items(dialog.icbOrderBy()), QStringList{QString()} + products);
        choose(dialog.icbDisplayColumn(), QStringLiteral("ProductName"));
        env.prompt.answer(Prompt::Ok);
        dialog.cmdSave()->click();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("Please select the link column!"));
        QVERIFY(dialog.icbLinkColumn()->hasFocus());

        // Another table empties the column lists.
        choose(dialog.icbTableName(), QStringLiteral("Order Details"));
        QCOMPARE(items(dialog.icbDisplayColumn()),
                 (QStringList{QStringLiteral("OrderID"), QStringLiteral("ProductID"),
                              QStringLiteral("Unit Price"), QStringLiteral("Discount")}));
        QCOMPARE(dialog.icbDisplayColumn()->currentIndex(), -1);
        choose(dialog.icbDisplayColumn(), QStringLiteral("Unit Price"));
        choose(dialog.icbLinkColumn(), QStringLiteral("ProductID"));
        choose(dialog.icbOrderBy(), QStringLiteral("Unit Price"));
        choose(dialog.icbSortDirection(), QStringLiteral("Descending"));
        dialog.cmdSave()->click();
        const QString saved = QStringLiteral(
            "SELECT ProductID, [Unit Price] FROM [Order Details] ORDER BY [Unit Price] DESC");
        QCOMPARE(dialog.details(), saved);
        QCOMPARE(prepareOn(kSample, saved), QString());
        QVERIFY(env.prompt.allAnswersUsed());

        // Reopened: all five choices, and the columns of the table to choose again.
        LookupDetailsDialog again(sqliteConnection(kSample), NameQuoting::Brackets, saved, 8,
                                  env.prompt);
        QVERIFY(again.optValue(1)->isChecked());
        QCOMPARE(again.icbTableName()->currentText(), QStringLiteral("Order Details"));
        QCOMPARE(again.icbLinkColumn()->currentText(), QStringLiteral("ProductID"));
        QCOMPARE(again.icbDisplayColumn()->currentText(), QStringLiteral("Unit Price"));
        QCOMPARE(again.icbOrderBy()->currentText(), QStringLiteral("Unit Price"));
        QCOMPARE(again.icbSortDirection()->currentText(), QStringLiteral("Descending"));
        QCOMPARE(again.icbDisplayColumn()->count(), 4);
        // TESSALINE_SCREENSHOTS names a folder to keep a picture of the dialog in.
        if (const QString folder = qEnvironmentVariable("TESSALINE_SCREENSHOTS"); !folder.isEmpty())
            QVERIFY(again.grab().save(folder + QStringLiteral("/details.png")));
        // An order column without a direction gives only the ORDER BY part.
        choose(again.icbSortDirection(), QString());
        choose(again.icbDisplayColumn(), QStringLiteral("Discount"));
        again.cmdSave()->click();
        QCOMPARE(again.details(),
                 QStringLiteral(
                     "SELECT ProductID, Discount FROM [Order Details] ORDER BY [Unit Price]"));

        // A radio button: no link column, and its saved form read back.
        LookupDetailsDialog radio(sqliteConnection(kSample), NameQuoting::Brackets,
                                  QStringLiteral("SELECT ShipCity FROM Orders ORDER BY ShipCity"),
                                  5, env.prompt);
        QVERIFY(!radio.icbLinkColumn()->isEnabled());
        QCOMPARE(radio.icbTableName()->currentText(), QStringLiteral("Orders"));
        QCOMPARE(radio.icbDisplayColumn()->currentText(), QStringLiteral("ShipCity"));
        QCOMPARE(radio.icbOrderBy()->currentText(), QStringLiteral("ShipCity"));
        QCOMPARE(radio.icbSortDirection()->currentText(), QString());
        choose(radio.icbSortDirection(), QStringLiteral("Ascending"));
        radio.cmdSave()->click();
        QCOMPARE(radio.details(),
                 QStringLiteral("SELECT ShipCity FROM Orders ORDER BY ShipCity ASC"));
        QVERIFY(env.prompt.allAnswersUsed());
    }

    void sourceThatCannotBeOpenedLeavesStaticValues() {
        TestEnvironment env;
        env.prompt.answer(Prompt::Ignore);
        const QString missing = env.path(QStringLiteral("missing/shop.db"));
        LookupDetailsDialog dialog(sqliteConnection(missing), NameQuoting::Brackets,
                                   QStringLiteral("SELECT ID, Name FROM T ORDER BY Name DESC"), 8,
                                   env.prompt);
        QCOMPARE(env.prompt.messages().size(), 1); // one report, not one per list
        QCOMPARE(env.prompt.messages().constFirst().title, QStringLiteral("Error"));
        QVERIFY(env.readFile(env.errorLogPath()).contains(QLatin1String("frmDetails.GetTables|")));
        // The saved choice is still shown and can be saved as it was.
        QCOMPARE(items(dialog.icbTableName()), QStringList{QStringLiteral("T")});
        QCOMPARE(dialog.icbLinkColumn()->currentText(), QStringLiteral("ID"));
        dialog.cmdSave()->click();
        QCOMPARE(dialog.details(), QStringLiteral("SELECT ID, Name FROM T ORDER BY Name DESC"));

        env.prompt.answer(Prompt::Ignore);
        LookupDetailsDialog fresh(sqliteConnection(missing), NameQuoting::Brackets, {}, 5,
                                  env.prompt);
        QCOMPARE(fresh.icbTableName()->count(), 0);
        fresh.optValue(0)->click();
        env.prompt.answerInput(QStringLiteral("Yes"));
        fresh.cmdOrder(0)->click();
        fresh.cmdSave()->click();
        QCOMPARE(fresh.details(), QStringLiteral("Yes"));
        QVERIFY(env.prompt.allAnswersUsed());
    }

    void quotedNamesOnPostgreSql() {
        if (!qEnvironmentVariableIsSet("TESSALINE_TEST_SERVICES"))
            QSKIP("No test database servers: run scripts/test.sh.");
        const QString connection = qEnvironmentVariable("TESSALINE_TEST_PG_DRIVER") +
                                   QStringLiteral(";UID=%1;PWD=%2")
                                       .arg(qEnvironmentVariable("TESSALINE_TEST_USER"),
                                            qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        QCOMPARE(runOnOdbc(connection,
                           {QStringLiteral("DROP TABLE IF EXISTS \"Lookup Colours\""),
                            QStringLiteral("CREATE TABLE \"Lookup Colours\" (\"Colour Id\" "
                                           "integer PRIMARY KEY, \"Colour Name\" varchar(20), "
                                           "\"Shade\" smallint)"),
                            QStringLiteral("INSERT INTO \"Lookup Colours\" VALUES (1, 'Red', 1)")}),
                 QString());
        Project project;
        project.ConnectionString = connection;
        const NameQuoting quoting = LookupDetails::quotingFor(project);
        QCOMPARE(quoting, NameQuoting::DoubleQuotes);

        TestEnvironment env;
        LookupDetailsDialog dialog(connection, quoting, {}, 8, env.prompt);
        dialog.optValue(1)->click();
        choose(dialog.icbTableName(), QStringLiteral("Lookup Colours"));
        // The small integer is not offered.
        QCOMPARE(items(dialog.icbDisplayColumn()),
                 (QStringList{QStringLiteral("Colour Id"), QStringLiteral("Colour Name")}));
        choose(dialog.icbLinkColumn(), QStringLiteral("Colour Id"));
        choose(dialog.icbDisplayColumn(), QStringLiteral("Colour Name"));
        choose(dialog.icbOrderBy(), QStringLiteral("Colour Name"));
        choose(dialog.icbSortDirection(), QStringLiteral("Ascending"));
        dialog.cmdSave()->click();
        const QString saved = QStringLiteral("SELECT \"Colour Id\", \"Colour Name\" FROM "
                                             "\"Lookup Colours\" ORDER BY \"Colour Name\" ASC");
        QCOMPARE(dialog.details(), saved);
        try {
            openConnection(connection)->checkQuery(saved);
        } catch (const RuntimeError& error) {
            QFAIL(qPrintable(error.description()));
        }
        LookupDetailsDialog again(connection, quoting, saved, 8, env.prompt);
        QCOMPARE(again.choice().query,
                 (LookupQuery{QStringLiteral("Lookup Colours"), QStringLiteral("Colour Name"),
                              QStringLiteral("Colour Id"), QStringLiteral("Colour Name"),
                              QStringLiteral("Ascending")}));
        QCOMPARE(again.icbDisplayColumn()->count(), 2);
        QVERIFY(env.prompt.messages().isEmpty());
        runOnOdbc(connection, {QStringLiteral("DROP TABLE \"Lookup Colours\"")});
    }

    void moreButtonWritesTheDetailsIntoTheRow() {
        TestEnvironment env;
        Walk walk(env);
        walk.toCustomization(QStringLiteral("Orders"));
        QCOMPARE(walk.window.session().currentStep, 6);

        walk.editAs(QStringLiteral("CustomerID"), QStringLiteral("Lookup field"));
        QCOMPARE(walk.moreColour(QStringLiteral("CustomerID")), QColor(0xFF, 0xC0, 0xC0));
        // Escape writes nothing.
        walk.details(QStringLiteral("CustomerID"), [](LookupDetailsDialog& dialog) {
            dialog.optValue(1)->click();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(walk.opened, 1);
        QCOMPARE(walk.row(QStringLiteral("CustomerID")).details, QString());
        QCOMPARE(walk.moreColour(QStringLiteral("CustomerID")), QColor(0xFF, 0xC0, 0xC0));

        walk.details(QStringLiteral("CustomerID"), [](LookupDetailsDialog& dialog) {
            dialog.optValue(1)->click();
            choose(dialog.icbTableName(), QStringLiteral("Customers"));
            choose(dialog.icbLinkColumn(), QStringLiteral("CustomerID"));
            choose(dialog.icbDisplayColumn(), QStringLiteral("CompanyName"));
            choose(dialog.icbOrderBy(), QStringLiteral("CompanyName"));
            choose(dialog.icbSortDirection(), QStringLiteral("Ascending"));
            dialog.cmdSave()->click();
        });
        QCOMPARE(walk.row(QStringLiteral("CustomerID")).details,
                 QStringLiteral("SELECT CustomerID, CompanyName FROM Customers ORDER BY "
                                "CompanyName ASC"));
        QCOMPARE(walk.moreColour(QStringLiteral("CustomerID")), QColor(0xC0, 0xFF, 0xC0));

        // Reopened from the row: the dialog shows what the row holds.
        QString shownTable;
        walk.details(QStringLiteral("CustomerID"), [&](LookupDetailsDialog& dialog) {
            shownTable = dialog.icbTableName()->currentText();
            dialog.cmdCancel()->click();
        });
        QCOMPARE(shownTable, QStringLiteral("Customers"));
        QCOMPARE(walk.opened, 3);

        walk.editAs(QStringLiteral("ShipCity"), QStringLiteral("Radio button"));
        env.prompt.answerInput(QStringLiteral("Paris"));
        env.prompt.answerInput(QStringLiteral("Rome"));
        walk.details(QStringLiteral("ShipCity"), [](LookupDetailsDialog& dialog) {
            QTest::keyClick(dialog.optValue(0), Qt::Key_Space);
            dialog.optValue(0)->click();
            dialog.cmdOrder(0)->click();
            dialog.cmdOrder(0)->click();
            dialog.cmdSave()->click();
        });
        QCOMPARE(walk.row(QStringLiteral("ShipCity")).details, QStringLiteral("Paris, Rome"));

        walk.window.onNextClicked();
        QCOMPARE(walk.window.session().currentStep, 7);
        QVERIFY(env.prompt.allAnswersUsed());
    }
    void generatedSiteHonoursTheStepSettings() {
        TestEnvironment env;
        Walk walk(env);
        walk.toCustomization(QStringLiteral("Orders"));
        ColumnCustomizationPage& page = walk.page();
        auto type = [&](const QString& name, Step::Key key, const QString& text) {
            walk.requestEdit(name, key);
            page.txtEdit()->clear();
            QTest::keyClicks(page.txtEdit(), text);
            QTest::keyClick(page.txtEdit(), Qt::Key_Return);
        };
        type(QStringLiteral("Freight"), Step::Name, QStringLiteral("Carriage"));
        type(QStringLiteral("ShipCity"), Step::Width, QStringLiteral("12"));
        walk.editAs(QStringLiteral("OrderDate"), QStringLiteral("Date field"));
        env.prompt.answer(Prompt::Retry); // "American"
        walk.requestEdit(QStringLiteral("OrderDate"), Step::More);
        page.cmdEllipsis()->click();

        // A dynamic lookup, a lookup on names that need quoting, static radio buttons.
        walk.editAs(QStringLiteral("CustomerID"), QStringLiteral("Lookup field"));
        walk.details(QStringLiteral("CustomerID"), [](LookupDetailsDialog& dialog) {
            dialog.optValue(1)->click();
            choose(dialog.icbTableName(), QStringLiteral("Customers"));
            choose(dialog.icbLinkColumn(), QStringLiteral("CustomerID"));
            choose(dialog.icbDisplayColumn(), QStringLiteral("CompanyName"));
            choose(dialog.icbOrderBy(), QStringLiteral("CompanyName"));
            choose(dialog.icbSortDirection(), QStringLiteral("Descending"));
            dialog.cmdSave()->click();
        });
        walk.editAs(QStringLiteral("Reference"), QStringLiteral("Lookup field"));
        walk.details(QStringLiteral("Reference"), [](LookupDetailsDialog& dialog) {
            dialog.optValue(1)->click();
            choose(dialog.icbTableName(), QStringLiteral("Order Details"));
            choose(dialog.icbLinkColumn(), QStringLiteral("OrderID"));
            choose(dialog.icbDisplayColumn(), QStringLiteral("Unit Price"));
            dialog.cmdSave()->click();
        });
        walk.editAs(QStringLiteral("ShipCity"), QStringLiteral("Radio button"));
        env.prompt.answerInput(QStringLiteral("Paris"));
        env.prompt.answerInput(QStringLiteral("Rome"));
        walk.details(QStringLiteral("ShipCity"), [](LookupDetailsDialog& dialog) {
            dialog.optValue(0)->click();
            dialog.cmdOrder(0)->click();
            dialog.cmdOrder(0)->click();
            dialog.cmdSave()->click();
        });
        walk.window.onNextClicked();
        QCOMPARE(walk.window.session().currentStep, 7);
        QVERIFY(env.prompt.allAnswersUsed());

        // The project as the window stored it, through its file, to the engine.
        Project project = walk.window.session().project;
        project.DestinationPath = env.path(QStringLiteral("site"));
        const QString file = env.path(QStringLiteral("orders.pjx"));
        saveProjectFile(file, project, 10);
        QStringList reports;
        GenerationEngine engine(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        QObject::connect(&engine, &GenerationEngine::failureReported,
                         [&](const QString& module, const QString& description, int) {
                             reports.append(module + QStringLiteral(": ") + description);
                         });
        engine.setProjectFilePath(file);
        engine.setApplicationPath(env.path(QStringLiteral("app")));
        engine.generate();
        QVERIFY2(reports.isEmpty(), qPrintable(reports.join(QLatin1Char('\n'))));

        const QString site = project.DestinationPath + QLatin1Char('/');
        const QString edit = env.readFile(site + QStringLiteral("orders_edit.asp"));
        const QString variables =
            env.readFile(site + QStringLiteral("include/orders_variables.asp"));
        const QString statics =
            env.readFile(site + QStringLiteral("include/orders_dynamicfunctions.asp"));
        QVERIFY(variables.contains(
            QLatin1String("lookupSql: \"SELECT CustomerID, CompanyName FROM Customers ORDER BY "
                          "CompanyName DESC\", linked: true")));
        QVERIFY(variables.contains(QLatin1String(
            "lookupSql: \"SELECT OrderID, [Unit Price] FROM [Order Details]\", linked: true")));
        QCOMPARE(prepareOn(walk.database,
                           QStringLiteral("SELECT OrderID, [Unit Price] FROM [Order Details]")),
                 QString());
        QVERIFY(statics.contains(QLatin1String("[\"Paris\", \"Rome\"]")));
        QVERIFY(edit.contains(QLatin1String("ow_selectOptions(1, ow_values[1], ow_db, false)")));
        QVERIFY(edit.contains(QLatin1String("ow_selectOptions(7, ow_values[7], ow_db, false)")));
        QVERIFY(edit.contains(QLatin1String("ow_radioButtons(6, ow_values[6], ow_db)")));
        QVERIFY(edit.contains(QLatin1String("placeholder=\"mm/dd/yyyy\"")));
        QVERIFY(edit.contains(QLatin1String("<label for=\"f5\">Carriage</label>")));
    }
};

QTEST_MAIN(LookupDetailsTest)
#include "tst_lookupdetails.moc"
