#include "project/projectfile.h"
#include "shell/mainwindow.h"
#include "support/odbcstatement.h"
#include "support/testenvironment.h"
#include "wizard/datasourcepage.h"
#include "wizard/featurespage.h"
#include "wizard/finishpage.h"
#include "wizard/layoutpage.h"
#include "wizard/layoutstep.h"
#include "wizard/loginpage.h"
#include "wizard/loginstep.h"
#include "wizard/orderbydialog.h"
#include "wizard/pagenamecheck.h"
#include "wizard/querypage.h"
#include "wizard/renamedialog.h"
#include "wizard/searchpage.h"
#include "wizard/searchstep.h"
#include "wizard/tablesourcepage.h"
#include "wizard/wizard.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace ordwick;
using ordwick::test::executeOnOdbc;
using ordwick::test::TestEnvironment;

namespace {

const QString kSample = QStringLiteral(ORDWICK_SAMPLE_DATABASE);

QString at(const QAbstractItemModel& model, int row, int column) {
    return model.index(row, column).data(SearchGridModel::IconKeyRole).toString();
}

// Runs `act` on the next modal dialog of type T once it is on screen.
template <typename T, typename F> void whenDialogShown(F act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<T*>(top); dialog && dialog->isVisible()) {
                act(*dialog);
                // A failed check inside `act` must not leave the test waiting.
                if (dialog->isVisible())
                    dialog->reject();
                return;
            }
        }
        QFAIL("no dialog on screen");
    });
}

// Right-clicks a cell of the grid and picks the popup entry with that object name.
void popupOnCell(QTableView* grid, int row, int column, const QString& actionName) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTimer::singleShot(0, [actionName] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* action : menu->actions()) {
            if (action->objectName() == actionName)
                menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(),
                            grid->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid->viewport(), &event);
}

// Saves a picture of the widget when ORDWICK_SCREENSHOTS names a folder, for
// looking at the screens by eye.
void snapshot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("ORDWICK_SCREENSHOTS");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void clickCell(QTableView* grid, int row, int column) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// The main window walking a project on a private copy of the sample database.
class Walk {
public:
    explicit Walk(TestEnvironment& env) : m_env(env), window(env.prompt) {
        database = env.path(QStringLiteral("shop.db"));
        if (!QFileInfo::exists(database))
            QFile::copy(kSample, database);
        window.load({});
        window.resize(900, 640);
        window.show();
        window.wizard().dataSourcePage().txtDataSource()->setText(database);
    }

    int step() { return window.session().currentStep; }
    Project& project() { return window.session().project; }
    Wizard& wizard() { return window.wizard(); }
    void next() { window.onNextClicked(); }
    void back() { window.onBackClicked(); }
    void tick(const char* box, bool on) { wizard().featuresPage().box(box)->setChecked(on); }
    // Steps 1 to 3 on the table with the features given, landing on step 4.
    void toQuery(const QString& table, const QList<const char*>& features) {
        next();
        for (const char* box : {"chkAdd", "chkEdit", "chkDelete", "chkSearch", "chkAdvancedSearch",
                                "chkSort", "chkPage", "chkLogin"})
            tick(box, features.contains(QByteArray(box)));
        next();
        m_env.prompt.answer(Prompt::Yes);
        TableSourcePage& page = wizard().tableSourcePage();
        page.onTableActivated(page.icbTables()->findText(table));
        next();
        QCOMPARE(step(), 4);
    }
    QString lastMessage() const { return m_env.prompt.messages().constLast().text; }

private:
    TestEnvironment& m_env;

public:
    MainWindow window;
    QString database;
};

const QList<const char*> kAllButEditing = {"chkSearch", "chkAdvancedSearch", "chkSort", "chkPage",
                                           "chkLogin"};

} // namespace

class SearchLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void searchGridFollowsFeaturesButPopupDoesNot() {
        TestEnvironment env;
        Walk walk(env);
        walk.toQuery(QStringLiteral("Orders"), {"chkAdvancedSearch"});
        walk.project().Columns[1].InAdvancedSearch = false;
        walk.next();
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 7);
        SearchPage& page = walk.wizard().searchPage();
        QTableView* grid = page.grdSearch();
        const QAbstractItemModel& model = *grid->model();
        QCOMPARE(model.rowCount(), 8);
        QCOMPARE(model.index(0, SearchGridModel::Name).data().toString(),
                 QStringLiteral("OrderID"));
        QCOMPARE(at(model, 0, SearchGridModel::Icon), QStringLiteral("ROW"));
        QCOMPARE(at(model, 0, SearchGridModel::Name), QStringLiteral("NUMBER"));
        QCOMPARE(at(model, 2, SearchGridModel::Name), QStringLiteral("DATETIME"));
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("UNCHECK"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Simple Search"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Advanced Search"));

        // Basic search is off: its markers do not move, by mouse or keyboard.
        clickCell(grid, 0, SearchGridModel::SimpleSearch);
        QCOMPARE(at(model, 0, SearchGridModel::SimpleSearch), QStringLiteral("CHECK"));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(at(model, 0, SearchGridModel::SimpleSearch), QStringLiteral("CHECK"));
        clickCell(grid, 1, SearchGridModel::AdvancedSearch);
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("CHECK"));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("UNCHECK"));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("CHECK"));
        QAccessibleInterface* advanced =
            QAccessible::queryAccessibleInterface(grid)->tableInterface()->cellAt(
                1, SearchGridModel::AdvancedSearch);
        QCOMPARE(advanced->text(QAccessible::Name), QStringLiteral("Advanced search"));
        QCOMPARE(advanced->text(QAccessible::Description), QStringLiteral("Column CustomerID"));
        QVERIFY(advanced->state().checkable && advanced->state().checked);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("UNCHECK"));
        clickCell(grid, 1, SearchGridModel::Name); // not a marker: nothing
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("UNCHECK"));

        // The popup works on the column under the pointer, whatever the features.
        popupOnCell(grid, 3, SearchGridModel::SimpleSearch, QStringLiteral("mnuDeselectAll"));
        for (int row = 0; row < 8; ++row)
            QCOMPARE(at(model, row, SearchGridModel::SimpleSearch), QStringLiteral("UNCHECK"));
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("UNCHECK"));
        popupOnCell(grid, 0, SearchGridModel::AdvancedSearch, QStringLiteral("mnuInverseSelect"));
        QCOMPARE(at(model, 0, SearchGridModel::AdvancedSearch), QStringLiteral("UNCHECK"));
        QCOMPARE(at(model, 1, SearchGridModel::AdvancedSearch), QStringLiteral("CHECK"));
        popupOnCell(grid, 5, SearchGridModel::SimpleSearch, QStringLiteral("mnuSelectAll"));
        popupOnCell(grid, 5, SearchGridModel::AdvancedSearch, QStringLiteral("mnuSelectAll"));
        popupOnCell(grid, 2, SearchGridModel::AdvancedSearch, QStringLiteral("mnuInverseSelect"));
        walk.next();
        QCOMPARE(walk.step(), 8);
        for (const ColumnSettings& column : walk.project().Columns) {
            QVERIFY(column.InSimpleSearch);
            QVERIFY(!column.InAdvancedSearch);
        }
    }

    void searchStepSkippedWithoutSearches() {
        TestEnvironment env;
        Walk walk(env);
        walk.toQuery(QStringLiteral("Orders"), {"chkPage"});
        walk.next();
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 8);
        walk.back(); // Back knows only the login skip
        QCOMPARE(walk.step(), 7);
        QCOMPARE(walk.wizard().searchPage().rows().size(), size_t(8));
        QVERIFY(SearchStep::rows(walk.project()).front().simple);
    }

    // Tab walks the layout step top to bottom, as it is drawn.
    void layoutTabOrderFollowsTheScreen() {
        TestEnvironment env;
        LayoutPage page(env.prompt);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.chkPrinterFriendlyVersion()->setFocus();
        QStringList order{page.chkPrinterFriendlyVersion()->objectName()};
        while (order.size() < 20) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QString name = QApplication::focusWidget()->objectName();
            if (name == order.constFirst())
                break;
            order << name;
        }
        const qsizetype more = order.indexOf(QStringLiteral("txtMoreLink"));
        QVERIFY2(more > 0 && order.value(more + 1) == QLatin1String("chkSelectAll"),
                 qPrintable(order.join(QLatin1Char(' '))));
        QCOMPARE(order.constLast(), QStringLiteral("cmdManageTemplate"));
    }

    void layoutStepStoresAndKeeps() {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.programFolder() + QStringLiteral("/template/Harbour")));
        Walk walk(env);
        walk.toQuery(QStringLiteral("Orders"), {"chkSearch", "chkSort"});
        walk.project().RecordsPerPage = true;
        walk.project().RecordsPerPageID = 3;
        walk.project().SortColumnBy = true;
        walk.project().SortColumnID = QStringLiteral("ShipCity|1;");
        walk.project().SelectedTemplate = QStringLiteral("Harbour");
        for (int i = 0; i < 4; ++i)
            walk.next();
        QCOMPARE(walk.step(), 8);
        LayoutPage& page = walk.wizard().layoutPage();
        // Paging is off: its box and list are disabled but keep their values.
        QVERIFY(!page.chkRecordsPerPage()->isEnabled());
        QVERIFY(!page.icbRecordsPerPage()->isEnabled());
        QVERIFY(page.chkRecordsPerPage()->isChecked());
        QVERIFY(page.chkInitialOrderBy()->isEnabled());
        QCOMPARE(page.icbRecordsPerPage()->count(), 5);
        QCOMPARE(page.icbRecordsPerPage()->itemText(4), QStringLiteral("500 Records"));
        QCOMPARE(page.icbRecordsPerPage()->currentIndex(), -1); // tag 3 matches no entry
        QCOMPARE(page.txtMoreLink()->text(), QStringLiteral("80"));
        QCOMPARE(page.icbTemplate()->count(), 2);
        QCOMPARE(page.icbTemplate()->itemText(0), QStringLiteral("no template"));
        QCOMPARE(page.icbTemplate()->currentText(), QStringLiteral("Harbour"));
        QVERIFY(page.findChild<QPushButton*>(QStringLiteral("cmdManageTemplate"))->isEnabled());

        // Only digits go into the more-link box; an empty box stores 80.
        page.txtMoreLink()->clear();
        QTest::keyClicks(page.txtMoreLink(), QStringLiteral("1x2-"));
        QCOMPARE(page.txtMoreLink()->text(), QStringLiteral("12"));
        page.chkSelectAll()->click();
        for (QCheckBox* box :
             {page.chkPrinterFriendlyVersion(), page.chkExportTo(), page.chkRecordsPerPage(),
              page.chkInitialOrderBy(), page.chkMoreLink()})
            QVERIFY(box->isChecked());
        page.chkInitialOrderBy()->click(); // cleared: the order goes
        walk.next();
        QCOMPARE(walk.step(), 10);
        Project& p = walk.project();
        QVERIFY(p.PrinterFriendlyVersion && p.ExportOption && p.RecordsPerPage && p.ShowMoreLink);
        QCOMPARE(p.RecordsPerPageID, 3);
        QVERIFY(!p.SortColumnBy);
        QCOMPARE(p.SortColumnID, QString());
        QCOMPARE(p.ShowMoreLinkID, 12);
        QCOMPARE(p.SelectedTemplate, QStringLiteral("Harbour"));

        walk.back();
        QCOMPARE(walk.step(), 8);
        page.txtMoreLink()->clear();
        page.chkSelectAll()->click(); // cleared: all five cleared
        QVERIFY(!page.chkRecordsPerPage()->isChecked());
        QTest::keyClick(page.icbTemplate(), Qt::Key_Home); // picked from the keyboard
        walk.next();
        QCOMPARE(p.ShowMoreLinkID, 80);
        QVERIFY(!p.RecordsPerPage && !p.PrinterFriendlyVersion);
        QCOMPARE(p.SelectedTemplate, QStringLiteral("no template"));

        // The rules refuse a length typed around the box, and store nothing then.
        Project before = p;
        LayoutChoice choice = LayoutStep::of(p);
        choice.moreLinkText = QStringLiteral("abc");
        choice.exportOption = !choice.exportOption;
        QCOMPARE(LayoutStep::apply(p, choice),
                 std::optional(QStringLiteral("Please enter the number of characters after which "
                                              "the 'more...' link is shown!")));
        QCOMPARE(p, before);
        choice.moreLinkText = QStringLiteral("10");
        choice.recordsPerPageTag = 50;
        QCOMPARE(LayoutStep::apply(p, choice), std::nullopt);
        QCOMPARE(p.RecordsPerPageID, 50);
    }

    void orderDialogRoundTrips() {
        TestEnvironment env;
        Walk walk(env);
        walk.toQuery(QStringLiteral("Orders"), {"chkSearch", "chkSort"});
        for (int i = 0; i < 4; ++i)
            walk.next();
        LayoutPage& page = walk.wizard().layoutPage();
        Project& p = walk.project();
        p.SortColumnID = QStringLiteral("Gone|1;ShipCity|1;OrderDate|0;");

        // Cancel after changing every level leaves the text alone.
        whenDialogShown<OrderByDialog>([](OrderByDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Order By"));
            QCOMPARE(dialog.columnList(0)->currentIndex(), 0); // "Gone" is not offered
            QCOMPARE(dialog.columnList(1)->currentText(), QStringLiteral("ShipCity"));
            QCOMPARE(dialog.directionList(1)->currentText(), QStringLiteral("Descending"));
            QCOMPARE(dialog.columnList(2)->currentText(), QStringLiteral("OrderDate"));
            QCOMPARE(dialog.columnList(0)->itemText(1), QStringLiteral("OrderID"));
            for (int level = 0; level < 3; ++level)
                dialog.columnList(level)->setCurrentIndex(1);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        page.cmdInitialOrderBy()->click();
        QCOMPARE(p.SortColumnID, QStringLiteral("Gone|1;ShipCity|1;OrderDate|0;"));

        // Saving drops the missing column and keeps the levels in order.
        whenDialogShown<OrderByDialog>([](OrderByDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        });
        page.cmdInitialOrderBy()->click();
        QCOMPARE(p.SortColumnID, QStringLiteral("ShipCity|1;OrderDate|0;"));

        // Only level 2 filled: one entry, shown on level 1 next time.
        whenDialogShown<OrderByDialog>([](OrderByDialog& dialog) {
            dialog.columnList(0)->setCurrentIndex(0);
            dialog.columnList(2)->setCurrentIndex(0);
            dialog.columnList(1)->setCurrentIndex(
                dialog.columnList(1)->findText(QStringLiteral("Freight")));
            dialog.directionList(1)->setCurrentIndex(0);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        });
        page.cmdInitialOrderBy()->click();
        QCOMPARE(p.SortColumnID, QStringLiteral("Freight|0;"));
        whenDialogShown<OrderByDialog>([](OrderByDialog& dialog) {
            QCOMPARE(dialog.columnList(0)->currentText(), QStringLiteral("Freight"));
            QCOMPARE(dialog.columnList(1)->currentIndex(), 0);
            dialog.columnList(0)->setCurrentIndex(0);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        });
        page.cmdInitialOrderBy()->click();
        QCOMPARE(p.SortColumnID, QString());

        // A name the stored text cannot hold is refused with the reason.
        OrderByDialog dialog({QStringLiteral("a|b"), QStringLiteral("Name")}, QString(),
                             env.prompt);
        dialog.columnList(0)->setCurrentIndex(1);
        env.prompt.answer(Prompt::Ok);
        dialog.save();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("The column \"a|b\" cannot be used for the initial order because "
                                "its name contains \"|\" or \";\"."));
        QCOMPARE(dialog.sortColumnId(), QString());
        QVERIFY(dialog.result() != QDialog::Accepted);
    }

    void loginFromTableOrFixed() {
        TestEnvironment env;
        Walk walk(env);
        walk.toQuery(QStringLiteral("Orders"), kAllButEditing);
        for (int i = 0; i < 5; ++i)
            walk.next();
        QCOMPARE(walk.step(), 9);
        LoginPage& page = walk.wizard().loginPage();
        QCOMPARE(page.icbTableName()->count(), 6);
        QCOMPARE(page.icbTableName()->currentIndex(), -1);

        // Fixed texts are stored trimmed; the login kind stays as it was.
        page.txtLoginName()->setText(QStringLiteral("  admin "));
        page.txtPassword()->setText(QStringLiteral(" secret"));
        walk.next();
        QCOMPARE(walk.step(), 10);
        Project& p = walk.project();
        QCOMPARE(p.CodeLoginName, QStringLiteral("admin"));
        QCOMPARE(p.CodeLoginPassword, QStringLiteral("secret"));
        QVERIFY(!p.DynamicStaticLogin);
        QVERIFY(walk.wizard().finishPage().rowText(8, FinishPage::Feature) ==
                QStringLiteral("Generate login page"));

        walk.back();
        QCOMPARE(page.txtLoginName()->text(), QStringLiteral("  admin ")); // Back keeps the screen
        page.icbTableName()->setCurrentIndex(
            page.icbTableName()->findText(QStringLiteral("Users")));
        Q_EMIT page.icbTableName()->activated(page.icbTableName()->currentIndex());
        QCOMPARE(page.txtLoginName()->text(), QString()); // a table empties the fixed login
        // Numbers, booleans, text and dates can hold a login.
        QStringList offered;
        for (int i = 0; i < page.icbLoginField()->count(); ++i)
            offered << page.icbLoginField()->itemText(i);
        QCOMPARE(offered, (QStringList{QStringLiteral("UserID"), QStringLiteral("LoginName"),
                                       QStringLiteral("Password"), QStringLiteral("FullName"),
                                       QStringLiteral("IsAdmin"), QStringLiteral("LastLogin")}));
        QVERIFY(!page.lblLoginNote()->isHidden()); // no fields yet: the fixed login stays
        page.icbLoginField()->setCurrentIndex(1);
        walk.next(); // a field missing: kept fixed, no error box
        QCOMPARE(walk.step(), 10);
        QVERIFY(!p.DynamicStaticLogin);
        QCOMPARE(p.DynamicTable, QStringLiteral("Users"));
        QCOMPARE(p.DynamicLoginName, QStringLiteral("LoginName"));

        walk.back();
        QCOMPARE(page.icbLoginField()->currentText(), QStringLiteral("LoginName"));
        page.icbPasswordField()->setCurrentIndex(2);
        Q_EMIT page.icbPasswordField()->activated(2);
        QVERIFY(page.lblLoginNote()->isHidden());
        walk.next();
        QVERIFY(p.DynamicStaticLogin);
        QCOMPARE(p.DynamicLoginPassword, QStringLiteral("Password"));
        QCOMPARE(p.CodeLoginName, QString());
        QCOMPARE(p.CodeLoginPassword, QString());

        // A field list without a connection stays empty and says why.
        LoginChoice choice{QStringLiteral(" a "), QString(), QStringLiteral("T"),
                           QStringLiteral("L"), QString()};
        QVERIFY(LoginStep::lacksField(choice));
        Project fresh;
        LoginStep::apply(fresh, choice);
        QVERIFY(!fresh.DynamicStaticLogin);
        QCOMPARE(fresh.CodeLoginName, QStringLiteral("a"));
        QCOMPARE(LoginStep::fieldNames({{QStringLiteral("n"), adSmallInt, {}},
                                        {QStringLiteral("v"), adVarWChar, {}},
                                        {QStringLiteral("w"), adWChar, 50}}),
                 QStringList{QStringLiteral("w")});
    }

    void pageNameRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString head =
            QStringLiteral("The page orders_index.asp cannot be renamed to \"%1\": ");
        QTest::newRow("empty") << QString()
                               << head.arg(QString()) + QStringLiteral("the name is empty.");
        QTest::newRow("blank edge") << QStringLiteral(" a.asp")
                                    << head.arg(QStringLiteral(" a.asp")) +
                                           QStringLiteral("the name starts or ends with a blank.");
        QTest::newRow("separator") << QStringLiteral("sub/a.asp")
                                   << head.arg(QStringLiteral("sub/a.asp")) +
                                          QStringLiteral("a path separator would put the page "
                                                         "outside the site folder.");
        QTest::newRow("backslash") << QStringLiteral("sub\\a.asp")
                                   << head.arg(QStringLiteral("sub\\a.asp")) +
                                          QStringLiteral("a path separator would put the page "
                                                         "outside the site folder.");
        QTest::newRow("dots") << QStringLiteral("..asp")
                              << head.arg(QStringLiteral("..asp")) +
                                     QStringLiteral("\"..\" could lead outside the site folder.");
        QTest::newRow("reserved") << QStringLiteral("a?.asp")
                                  << head.arg(QStringLiteral("a?.asp")) +
                                         QStringLiteral("the character \"?\" is not allowed in a "
                                                        "file name.");
        QTest::newRow("semicolon") << QStringLiteral("a;b.asp")
                                   << head.arg(QStringLiteral("a;b.asp")) +
                                          QStringLiteral("the character \";\" is not allowed in a "
                                                         "file name.");
        QTest::newRow("ending") << QStringLiteral("list.html")
                                << head.arg(QStringLiteral("list.html")) +
                                       QStringLiteral("the web server runs only pages named like "
                                                      "\"name.asp\".");
        QTest::newRow("taken") << QStringLiteral("Orders_Edit.asp")
                               << QStringLiteral("The page orders_edit.asp cannot be renamed to "
                                                 "\"orders_edit.asp\": another page already has "
                                                 "this name and would be overwritten.");
        QTest::newRow("a file of the site") << QStringLiteral("Orders_Print.asp")
                                            << head.arg(QStringLiteral("Orders_Print.asp")) +
                                                   QStringLiteral("the site has a file of this "
                                                                  "name, which would be "
                                                                  "overwritten.");
    }

    void pageNameRefusals() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestEnvironment env;
        const QStringList stored{QStringLiteral("orders_index.asp;orders_index.asp"),
                                 QStringLiteral("orders_edit.asp;orders_edit.asp")};
        RenameDialog dialog(stored,
                            {QStringLiteral("functions.asp"), QStringLiteral("orders_print.asp")},
                            env.prompt);
        dialog.model().item(0, RenameDialog::Rename)->setText(name);
        env.prompt.answer(Prompt::Ok);
        dialog.save();
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(env.prompt.messages().constLast().text, message);
        QCOMPARE(dialog.renameList(), stored);
        QVERIFY(dialog.result() != QDialog::Accepted);
    }

    void renameSeedingAndDialog() {
        TestEnvironment env;
        Walk walk(env);
        walk.toQuery(QStringLiteral("Orders"), {"chkSearch"});
        walk.project().Rename = {QStringLiteral("   "),
                                 QStringLiteral("myorders_variables.asp;vars.asp;extra")};
        for (int i = 0; i < 5; ++i)
            walk.next();
        QCOMPARE(walk.step(), 10);
        Project& p = walk.project();
        // Containment: the longer name keeps the variables page from being seeded.
        QCOMPARE(p.Rename, (QStringList{QStringLiteral("   "),
                                        QStringLiteral("myorders_variables.asp;vars.asp;extra"),
                                        QStringLiteral("orders_dynamicfunctions.asp;"
                                                       "orders_dynamicfunctions.asp"),
                                        QStringLiteral("orders_index.asp;orders_index.asp")}));
        auto* link =
            walk.wizard().finishPage().findChild<QPushButton*>(QStringLiteral("lblFinish(4)"));
        QVERIFY(link != nullptr);
        // Screen readers meet something to press, named by its text.
        QAccessibleInterface* linkAccess = QAccessible::queryAccessibleInterface(link);
        QCOMPARE(linkAccess->text(QAccessible::Name), QStringLiteral("click here"));
        QVERIFY(linkAccess->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        QCOMPARE(
            walk.wizard().finishPage().findChild<QLabel*>(QStringLiteral("lblFinish(3)"))->text(),
            QStringLiteral("The files would be generated with table name as suffix. If you "
                           "want to change this"));

        // Typing into the grid, then Escape on the editor and on the dialog: nothing changes.
        whenDialogShown<RenameDialog>([](RenameDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("File rename"));
            QCOMPARE(dialog.model().rowCount(), 3);
            QCOMPARE(dialog.model().item(0, RenameDialog::File)->text(),
                     QStringLiteral("myorders_variables.asp"));
            QCOMPARE(dialog.model().item(0, RenameDialog::Rename)->text(),
                     QStringLiteral("vars.asp"));
            QTableView* grid = dialog.grdFileRename();
            grid->setCurrentIndex(dialog.model().index(2, RenameDialog::Rename));
            QTest::keyClick(grid, Qt::Key_F2);
            auto* editor = grid->findChild<QLineEdit*>(QStringLiteral("txtEdit"));
            QVERIFY(editor != nullptr);
            QCOMPARE(editor->accessibleName(), QStringLiteral("Rename As"));
            editor->selectAll();
            QTest::keyClicks(editor, QStringLiteral("start.asp"));
            QTest::keyClick(editor, Qt::Key_Escape);
            QApplication::processEvents();
            QCOMPARE(dialog.model().item(2, RenameDialog::Rename)->text(),
                     QStringLiteral("orders_index.asp"));
            dialog.model().item(2, RenameDialog::Rename)->setText(QStringLiteral("x.asp"));
            QTest::keyClick(grid, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        link->click();
        QCOMPARE(p.Rename.size(), 4);
        QCOMPARE(p.Rename.at(3), QStringLiteral("orders_index.asp;orders_index.asp"));

        // Enter ends the edit; Save stores the list without the blank entry.
        whenDialogShown<RenameDialog>([](RenameDialog& dialog) {
            QTableView* grid = dialog.grdFileRename();
            grid->setCurrentIndex(dialog.model().index(2, RenameDialog::Rename));
            QTest::keyClick(grid, Qt::Key_F2);
            auto* editor = grid->findChild<QLineEdit*>(QStringLiteral("txtEdit"));
            editor->selectAll();
            QTest::keyClicks(editor, QStringLiteral("start.asp"));
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(dialog.model().item(2, RenameDialog::Rename)->text(),
                         QStringLiteral("start.asp"));
            snapshot(&dialog, QStringLiteral("rename"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        });
        link->click();
        const QStringList renamed{
            QStringLiteral("myorders_variables.asp;vars.asp"),
            QStringLiteral("orders_dynamicfunctions.asp;orders_dynamicfunctions.asp"),
            QStringLiteral("orders_index.asp;start.asp")};
        QCOMPARE(p.Rename, renamed);
        snapshot(&walk.window, QStringLiteral("finish"));
        walk.back();
        walk.next(); // Finish again seeds nothing new
        QCOMPARE(walk.step(), 10);
        QCOMPARE(p.Rename, renamed);
    }
    void tenStepsSavedReopenedAndGenerated() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("orders.pjx"));
        {
            Walk walk(env);
            walk.toQuery(QStringLiteral("Orders"), kAllButEditing);
            for (int i = 0; i < 3; ++i)
                walk.next();
            QCOMPARE(walk.step(), 7);
            QTableView* grid = walk.wizard().searchPage().grdSearch();
            popupOnCell(grid, 0, SearchGridModel::SimpleSearch, QStringLiteral("mnuDeselectAll"));
            clickCell(grid, 6, SearchGridModel::SimpleSearch); // ShipCity only
            popupOnCell(grid, 0, SearchGridModel::AdvancedSearch, QStringLiteral("mnuDeselectAll"));
            clickCell(grid, 2, SearchGridModel::AdvancedSearch); // OrderDate only
            snapshot(&walk.window, QStringLiteral("search"));
            walk.next();
            LayoutPage& layout = walk.wizard().layoutPage();
            layout.chkPrinterFriendlyVersion()->setChecked(true);
            layout.chkExportTo()->setChecked(true);
            layout.chkRecordsPerPage()->setChecked(true);
            layout.icbRecordsPerPage()->setCurrentIndex(3);
            layout.chkInitialOrderBy()->setChecked(true);
            whenDialogShown<OrderByDialog>([](OrderByDialog& dialog) {
                dialog.columnList(0)->setCurrentIndex(
                    dialog.columnList(0)->findText(QStringLiteral("ShipCity")));
                dialog.directionList(0)->setCurrentIndex(1);
                snapshot(&dialog, QStringLiteral("orderby"));
                dialog.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
            });
            layout.cmdInitialOrderBy()->click();
            layout.chkMoreLink()->setChecked(true);
            layout.txtMoreLink()->setText(QStringLiteral("40"));
            snapshot(&walk.window, QStringLiteral("layout"));
            walk.next();
            QCOMPARE(walk.step(), 9);
            LoginPage& login = walk.wizard().loginPage();
            login.icbTableName()->setCurrentIndex(
                login.icbTableName()->findText(QStringLiteral("Users")));
            Q_EMIT login.icbTableName()->activated(login.icbTableName()->currentIndex());
            login.icbLoginField()->setCurrentIndex(1);
            login.icbPasswordField()->setCurrentIndex(2);
            QVERIFY(login.lblLoginNote()->isHidden());
            snapshot(&walk.window, QStringLiteral("login"));
            walk.next();
            QCOMPARE(walk.step(), 10);
            env.prompt.answerFile(file);
            walk.window.saveProject();
            QVERIFY(QFileInfo::exists(file));
        }
        Project stored;
        readProjectFile(file, stored);
        QCOMPARE(stored.SortColumnID, QStringLiteral("ShipCity|1;"));
        QCOMPARE(stored.RecordsPerPageID, 10);
        QCOMPARE(stored.ShowMoreLinkID, 40);
        QVERIFY(stored.DynamicStaticLogin);

        MainWindow window(env.prompt);
        window.setEngineLibrary(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        window.load({file});
        for (int i = 0; i < 6; ++i)
            window.onNextClicked();
        QCOMPARE(window.session().currentStep, 7);
        const std::vector<SearchRow> rows = window.wizard().searchPage().rows();
        QCOMPARE(rows.size(), size_t(8));
        for (size_t i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].simple, i == 6);
            QCOMPARE(rows[i].advanced, i == 2);
        }
        window.onNextClicked();
        const LayoutPage& layout = window.wizard().layoutPage();
        QVERIFY(layout.chkPrinterFriendlyVersion()->isChecked() &&
                layout.chkExportTo()->isChecked() && layout.chkRecordsPerPage()->isChecked() &&
                layout.chkInitialOrderBy()->isChecked() && layout.chkMoreLink()->isChecked());
        QCOMPARE(layout.icbRecordsPerPage()->currentText(), QStringLiteral("100 Records"));
        QCOMPARE(layout.txtMoreLink()->text(), QStringLiteral("40"));
        window.onNextClicked();
        const LoginPage& login = window.wizard().loginPage();
        QCOMPARE(login.icbTableName()->currentText(), QStringLiteral("Users"));
        QCOMPARE(login.icbLoginField()->currentText(), QStringLiteral("LoginName"));
        QCOMPARE(login.icbPasswordField()->currentText(), QStringLiteral("Password"));
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 10);
        QCOMPARE(window.wizard().finishPage().rowText(8, FinishPage::Feature),
                 QStringLiteral("Generate login page"));

        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        window.wizard().finishPage().txtDestinationPath()->setText(site);
        env.prompt.answer(Prompt::No); // no new project after the run
        window.onNextClicked();
        QVERIFY(env.prompt.allAnswersUsed());
        const QString variables =
            env.readFile(site + QStringLiteral("/include/orders_variables.asp"));
        for (const char* expected :
             {"var OW_PAGE_SIZE = 100;", "var OW_MORE_LENGTH = 40;",
              "paging: true, pageChoice: true, print: true, exp: true, more: true",
              "var OW_INITIAL_ORDER = [{ column: 6, desc: true }];", "kind: \"table\"",
              "simpleSearch: true, advancedSearch: true, sorting: true"})
            QVERIFY2(variables.contains(QLatin1String(expected)), expected);
        QCOMPARE(variables.count(QStringLiteral("simple: true,")), 1);
        QCOMPARE(variables.count(QStringLiteral("advanced: true,")), 1);
        QVERIFY(variables.contains(QStringLiteral("Users")));
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/orders_search.asp")));
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/orders_export.asp")));
    }
    void searchAndLoginOnPostgreSQL() {
        if (qEnvironmentVariableIsEmpty("TESSALINE_TEST_PG_DSN"))
            QSKIP("the test database servers are not running (scripts/test.sh starts them)");
        const QString dsn = QStringLiteral("DSN=%1;UID=%2;PWD=%3;")
                                .arg(qEnvironmentVariable("TESSALINE_TEST_PG_DSN"),
                                     qEnvironmentVariable("TESSALINE_TEST_USER"),
                                     qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        QVERIFY(executeOnOdbc(dsn, QStringLiteral("CREATE TABLE IF NOT EXISTS aaa_sl_items "
                                                  "(id integer primary key, name varchar(40), "
                                                  "price numeric(8,2))")));
        QVERIFY(executeOnOdbc(dsn, QStringLiteral("CREATE TABLE IF NOT EXISTS aaa_sl_users "
                                                  "(uid integer primary key, login varchar(30), "
                                                  "pass char(20), avatar bytea)")));
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        Wizard& wizard = window.wizard();
        wizard.dataSourcePage().selectOption(1);
        wizard.onDataSourceOptionClicked(1);
        wizard.dataSourcePage().selectDataSource(qEnvironmentVariable("TESSALINE_TEST_PG_DSN"));
        wizard.dataSourcePage().txtODBCLogin()->setText(
            qEnvironmentVariable("TESSALINE_TEST_USER"));
        wizard.dataSourcePage().txtODBCPassword()->setText(
            qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        window.onNextClicked();
        wizard.featuresPage().box("chkLogin")->setChecked(true);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 3);
        env.prompt.answer(Prompt::Yes);
        TableSourcePage& tables = wizard.tableSourcePage();
        tables.onTableActivated(tables.icbTables()->findText(QStringLiteral("aaa_sl_items")));
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 4);
        // PostgreSQL's own family: the default query has plain names.
        QCOMPARE(window.wizard().queryPage().selectText(),
                 QStringLiteral("SELECT id, name, price FROM aaa_sl_items"));
        for (int i = 0; i < 3; ++i)
            window.onNextClicked();
        QCOMPARE(window.session().currentStep, 7);
        QTableView* grid = wizard.searchPage().grdSearch();
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->model()->index(2, SearchGridModel::Name).data().toString(),
                 QStringLiteral("price"));
        clickCell(grid, 1, SearchGridModel::SimpleSearch);
        window.onNextClicked();
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 9);
        QVERIFY(!window.session().project.Columns[1].InSimpleSearch);
        LoginPage& login = wizard.loginPage();
        const int users = login.icbTableName()->findText(QStringLiteral("aaa_sl_users"));
        QVERIFY(users >= 0);
        login.icbTableName()->setCurrentIndex(users);
        Q_EMIT login.icbTableName()->activated(users);
        QStringList offered;
        for (int i = 0; i < login.icbPasswordField()->count(); ++i)
            offered << login.icbPasswordField()->itemText(i);
        // The binary column cannot hold a login.
        QCOMPARE(offered, (QStringList{QStringLiteral("uid"), QStringLiteral("login"),
                                       QStringLiteral("pass")}));
        login.icbLoginField()->setCurrentIndex(1);
        login.icbPasswordField()->setCurrentIndex(2);
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 10);
        const Project& p = window.session().project;
        QVERIFY(p.DynamicStaticLogin);
        QCOMPARE(p.DynamicTable, QStringLiteral("aaa_sl_users"));
        QCOMPARE(p.DynamicLoginName, QStringLiteral("login"));
        QCOMPARE(p.DynamicLoginPassword, QStringLiteral("pass"));
    }
};

QTEST_MAIN(SearchLayoutTest)
#include "tst_searchlayout.moc"
