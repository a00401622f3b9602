#include "controls/multiselectcombobox.h"
#include "project/projectfile.h"
#include "shell/mainwindow.h"
#include "support/testenvironment.h"
#include "wizard/columncustomizationpage.h"
#include "wizard/columnorderpage.h"
#include "wizard/datasourcepage.h"
#include "wizard/featurespage.h"
#include "wizard/layoutpage.h"
#include "wizard/searchpage.h"
#include "wizard/tablesourcepage.h"
#include "wizard/wizard.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

using namespace ordwick;
using ordwick::test::TestEnvironment;
using Step = ColumnCustomizationStep;

namespace {

const QString kSample = QStringLiteral(ORDWICK_SAMPLE_DATABASE);

// The main window on a private copy of the sample database, on screen so that
// the editors can open over the grid cells.
class ColumnWalk {
public:
    explicit ColumnWalk(TestEnvironment& env) : m_env(env), window(env.prompt) {
        database = env.path(QStringLiteral("shop.db"));
        if (!QFileInfo::exists(database))
            QFile::copy(kSample, database);
        window.load({});
        window.wizard().dataSourcePage().txtDataSource()->setText(database);
        window.resize(1200, 800);
        window.show();
    }

    int step() { return window.session().currentStep; }
    Project& project() { return window.session().project; }
    void next() { window.onNextClicked(); }
    void back() { window.onBackClicked(); }
    ColumnOrderPage& order() { return window.wizard().columnOrderPage(); }
    ColumnCustomizationPage& custom() { return window.wizard().columnCustomizationPage(); }

    // A new project on the Orders table, walked to the column order step.
    void toColumnOrder() {
        next();
        next();
        m_env.prompt.answer(Prompt::Yes);
        TableSourcePage& page = window.wizard().tableSourcePage();
        page.onTableActivated(page.icbTables()->findText(QStringLiteral("Orders")));
        next();
        next();
        QCOMPARE(step(), 5);
    }

    // Asks the grid to edit a cell with F2, as a user would.
    void requestEdit(int grid, int row, Step::Key key) {
        custom().tbsStrip()->setCurrentIndex(grid);
        QTableView* view = custom().grdColumnCustomization(grid);
        const QModelIndex cell = view->model()->index(row, custom().model(grid).columnOf(key));
        view->setFocus();
        view->setCurrentIndex(cell);
        QTest::keyClick(view, Qt::Key_F2);
    }
    void typeInto(QWidget* editor, const QString& text, Qt::Key end = Qt::Key_Return) {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (edit != nullptr)
            edit->clear();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, end);
    }
    CustomizationRow& row(int grid, int index) { return custom().model(grid).row(index); }
    QString lastMessage() const { return m_env.prompt.messages().constLast().text; }

private:
    TestEnvironment& m_env;

public:
    MainWindow window;
    QString database;
};

int rowOf(ColumnCustomizationPage& page, const QString& name) {
    const auto& rows = page.model(1).rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

class ColumnWalkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void orderChangesAreStoredAsPositions() {
        TestEnvironment env;
        ColumnWalk walk(env);
        walk.toColumnOrder();
        ColumnOrderPage& order = walk.order();
        const QStringList original{QStringLiteral("OrderID"),   QStringLiteral("CustomerID"),
                                   QStringLiteral("OrderDate"), QStringLiteral("DeliveryTime"),
                                   QStringLiteral("ShippedAt"), QStringLiteral("Freight"),
                                   QStringLiteral("ShipCity"),  QStringLiteral("Reference")};
        QCOMPARE(order.names(), original);
        QCOMPARE(order.rowIconKey(0, ColumnOrderPage::Icon), QStringLiteral("ROW"));
        QCOMPARE(order.rowIconKey(0, ColumnOrderPage::Name), QStringLiteral("NUMBER"));
        QCOMPARE(order.rowIconKey(6, ColumnOrderPage::Name), QStringLiteral("TEXT"));

        const auto shown = env.prompt.messages().size();
        env.prompt.answer(Prompt::Ok);
        order.cmdOrder(0)->click();
        QCOMPARE(walk.lastMessage(), QStringLiteral("Please select a column to move!"));
        env.prompt.answer(Prompt::Ok);
        order.cmdOrder(1)->click();
        QCOMPARE(env.prompt.messages().size(), shown + 2);
        QCOMPARE(walk.lastMessage(), QStringLiteral("Please select a column to move!"));
        order.selectRow(0);
        order.cmdOrder(0)->click(); // the first row cannot go up
        QCOMPARE(order.names(), original);
        order.selectRow(7);
        order.cmdOrder(1)->click(); // nor the last one down
        QCOMPARE(order.names(), original);
        order.cmdOrder(0)->click();
        order.cmdOrder(0)->click();
        QCOMPARE(order.selectedRow(), 5);
        order.selectRow(0);
        order.cmdOrder(1)->click();
        const QStringList moved{QStringLiteral("CustomerID"), QStringLiteral("OrderID"),
                                QStringLiteral("OrderDate"),  QStringLiteral("DeliveryTime"),
                                QStringLiteral("ShippedAt"),  QStringLiteral("Reference"),
                                QStringLiteral("Freight"),    QStringLiteral("ShipCity")};
        QCOMPARE(order.names(), moved);
        // The type icon moves with its column.
        QCOMPARE(order.rowIconKey(7, ColumnOrderPage::Name), QStringLiteral("TEXT"));
        walk.next();
        QCOMPARE(walk.step(), 6);
        const auto position = [&](const QString& name) {
            for (const ColumnSettings& c : walk.project().Columns) {
                if (c.ColumnName == name)
                    return c.Position;
            }
            return -1;
        };
        QCOMPARE(position(QStringLiteral("CustomerID")), 1);
        QCOMPARE(position(QStringLiteral("OrderID")), 2);
        QCOMPARE(position(QStringLiteral("Reference")), 6);
        QCOMPARE(position(QStringLiteral("ShipCity")), 8);
        // The customization grids follow the new order, list page first.
        QCOMPARE(walk.custom().tbsStrip()->currentIndex(), 0);
        QVERIFY(walk.custom().grdColumnCustomization(0)->isVisible());
        QVERIFY(!walk.custom().grdColumnCustomization(1)->isVisible());
        QCOMPARE(walk.row(0, 0).name, QStringLiteral("CustomerID"));
        QCOMPARE(walk.row(1, 7).name, QStringLiteral("ShipCity"));
        QCOMPARE(walk.custom().model(0).columnCount(), 6);
        QCOMPARE(walk.custom().model(1).columnCount(), 14);
        QVERIFY(walk.custom().grdColumnCustomization(1)->isColumnHidden(13));

        // Back to the query and on again: the chosen order stays.
        walk.back();
        walk.back();
        QCOMPARE(walk.step(), 4);
        walk.next();
        QCOMPARE(walk.step(), 5);
        QCOMPARE(order.names(), moved);
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 7);
        // The search grid and the initial order's lists follow it too.
        QStringList searched;
        for (const SearchRow& row : walk.window.wizard().searchPage().rows())
            searched << row.name;
        QCOMPARE(searched, moved);
        QStringList offered;
        connect(&walk.window.wizard(), &Wizard::dialogOpened, this, [&](QDialog* dialog) {
            const auto* first = dialog->findChild<QComboBox*>(QStringLiteral("icbFirstOrderBy"));
            for (int i = 1; i < first->count(); ++i)
                offered << first->itemText(i);
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        Q_EMIT walk.window.wizard().layoutPage().orderDetailsRequested();
        QCOMPARE(offered, moved);
    }

    // Saved, then back to the data source and on: the table step shows the
    // project's columns again, as for an opened project.
    void aSavedProjectKeepsItsColumnGrid() {
        TestEnvironment env;
        ColumnWalk walk(env);
        walk.toColumnOrder();
        env.prompt.answerFile(env.path(QStringLiteral("saved.pjx")));
        walk.window.findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        QVERIFY(QFileInfo::exists(env.path(QStringLiteral("saved.pjx"))));
        while (walk.step() > 1)
            walk.back();
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 3);
        const QAbstractItemModel* grid =
            walk.window.wizard().tableSourcePage().grdColumns()->model();
        QCOMPARE(grid->rowCount(), 8);
        walk.next();
        QCOMPARE(walk.step(), 4);
    }

    // Tab and Shift+Tab leave every grid of the column steps, and the order
    // buttons have access keys, so the keyboard alone reorders the columns.
    void tabLeavesTheGrids() {
        TestEnvironment env;
        ColumnWalk walk(env);
        QVERIFY(QTest::qWaitForWindowActive(&walk.window));
        const auto leaves = [](QAbstractItemView* grid) {
            for (const Qt::KeyboardModifier direction : {Qt::NoModifier, Qt::ShiftModifier}) {
                grid->setFocus();
                if (QApplication::focusWidget() != grid)
                    return false;
                QTest::keyClick(grid, Qt::Key_Tab, direction);
                if (QApplication::focusWidget() == grid)
                    return false;
            }
            return true;
        };
        walk.next();
        walk.next();
        env.prompt.answer(Prompt::Yes);
        TableSourcePage& table = walk.window.wizard().tableSourcePage();
        table.onTableActivated(table.icbTables()->findText(QStringLiteral("Orders")));
        QVERIFY(leaves(table.grdColumns()));
        walk.next();
        walk.next();
        QCOMPARE(walk.step(), 5);
        QVERIFY(leaves(walk.order().grdColumnOrder()));
        walk.order().selectRow(1);
        // An access key presses its button the way a click looks: a moment later.
        QTest::keyClick(&walk.window, Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(walk.order().names().mid(0, 2),
                     (QStringList{QStringLiteral("CustomerID"), QStringLiteral("OrderID")}));
        QTest::keyClick(&walk.window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(walk.order().names().mid(0, 2),
                     (QStringList{QStringLiteral("OrderID"), QStringLiteral("CustomerID")}));
        walk.next();
        QVERIFY(leaves(walk.custom().grdColumnCustomization(0)));
        walk.next();
        QCOMPARE(walk.step(), 7);
        QVERIFY(leaves(walk.window.wizard().searchPage().grdSearch()));
    }

    void everyEditorByKeyboard() {
        TestEnvironment env;
        ColumnWalk walk(env);
        walk.toColumnOrder();
        walk.next();
        ColumnCustomizationPage& page = walk.custom();
        const int city = rowOf(page, QStringLiteral("ShipCity"));
        const int date = rowOf(page, QStringLiteral("OrderDate"));
        const int freight = rowOf(page, QStringLiteral("Freight"));

        // Caption: empty refused, then accepted; Escape cancels.
        walk.requestEdit(0, city, Step::Name);
        QCOMPARE(page.openEditor(), page.txtEdit());
        QCOMPARE(page.txtEdit()->text(), QStringLiteral("ShipCity"));
        env.prompt.answer(Prompt::Ok);
        walk.typeInto(page.txtEdit(), QString());
        QCOMPARE(walk.lastMessage(), QStringLiteral("Please specify a column value!"));
        QCOMPARE(page.openEditor(), page.txtEdit());
        env.prompt.answer(Prompt::Ok);
        walk.typeInto(page.txtEdit(), QStringLiteral("City;Town"));
        QCOMPARE(walk.lastMessage(), QStringLiteral("Please specify a value without \";\"!"));
        walk.typeInto(page.txtEdit(), QStringLiteral("City"), Qt::Key_Tab);
        QCOMPARE(page.openEditor(), nullptr);
        QCOMPARE(walk.row(0, city).caption, QStringLiteral("City"));
        walk.requestEdit(0, city, Step::Name);
        walk.typeInto(page.txtEdit(), QStringLiteral("Lost"), Qt::Key_Escape);
        QCOMPARE(walk.row(0, city).caption, QStringLiteral("City"));
        QVERIFY(!page.txtEdit()->isVisible());

        // Whatever else closes an editor commits it, with Enter's refusals:
        // another cell, a check icon, the other tab.
        walk.requestEdit(0, city, Step::Name);
        page.txtEdit()->clear();
        QTest::keyClicks(page.txtEdit(), QStringLiteral("Town"));
        walk.requestEdit(0, freight, Step::Name);
        QCOMPARE(walk.row(0, city).caption, QStringLiteral("Town"));
        QCOMPARE(page.openEditor(), page.txtEdit());
        page.txtEdit()->clear();
        QTest::keyClicks(page.txtEdit(), QStringLiteral("Carriage"));
        walk.requestEdit(0, date, Step::Display);
        QCOMPARE(walk.row(0, freight).caption, QStringLiteral("Carriage"));
        QCOMPARE(walk.row(0, date).display, QStringLiteral("UNCHECK"));
        walk.requestEdit(0, date, Step::Display);
        walk.requestEdit(0, city, Step::Name);
        page.txtEdit()->setText(QStringLiteral("City\nTown")); // pasted
        env.prompt.answer(Prompt::Ok);
        page.tbsStrip()->setCurrentIndex(1);
        QCOMPARE(walk.lastMessage(), QStringLiteral("Please specify a value without line breaks "
                                                    "or other control characters!"));
        QCOMPARE(page.tbsStrip()->currentIndex(), 0);
        QCOMPARE(page.openEditor(), page.txtEdit());
        page.txtEdit()->setText(QStringLiteral("City"));
        page.tbsStrip()->setCurrentIndex(1);
        QCOMPARE(walk.row(0, city).caption, QStringLiteral("City"));
        QCOMPARE(page.openEditor(), nullptr);
        page.tbsStrip()->setCurrentIndex(0);

        // Check icons flip instead of opening an editor.
        walk.requestEdit(0, city, Step::Display);
        QCOMPARE(walk.row(0, city).display, QStringLiteral("UNCHECK"));
        QCOMPARE(page.openEditor(), nullptr);
        walk.requestEdit(1, city, Step::Required);
        QCOMPARE(walk.row(1, city).required, QStringLiteral("UNCHECK"));
        // Space flips a check icon too, and a screen reader meets a check box.
        QTableView* editGrid = page.grdColumnCustomization(1);
        QTest::keyClick(editGrid, Qt::Key_Space);
        QCOMPARE(walk.row(1, city).required, QStringLiteral("CHECK"));
        QAccessibleInterface* required =
            QAccessible::queryAccessibleInterface(editGrid)->tableInterface()->cellAt(
                city, editGrid->currentIndex().column());
        QVERIFY(required->state().checkable && required->state().checked);
        QCOMPARE(required->text(QAccessible::Description), QStringLiteral("Column ShipCity"));
        QTest::keyClick(editGrid, Qt::Key_Space);
        QCOMPARE(walk.row(1, city).required, QStringLiteral("UNCHECK"));
        QVERIFY(!required->state().checked);
        walk.requestEdit(1, city, Step::Column); // refused
        QCOMPARE(page.openEditor(), nullptr);

        // Alignment through the drop-down list, keyboard only.
        walk.requestEdit(0, city, Step::Alignment);
        QCOMPARE(page.openEditor(), page.cmbList());
        QCOMPARE(page.cmbList()->currentText(), QStringLiteral("Left"));
        QCOMPARE(page.cmbList()->count(), 3);
        QTest::keyClicks(page.cmbList(), QStringLiteral("R"));
        QTest::keyClick(page.cmbList(), Qt::Key_Return);
        QCOMPARE(walk.row(0, city).alignment, QStringLiteral("Right"));

        // View format through the multi-select list.
        walk.requestEdit(0, city, Step::ViewFormat);
        QCOMPARE(page.openEditor(), page.cboOptions());
        QTest::keyClick(page.cboOptions(), Qt::Key_Down); // opens
        QVERIFY(page.cboOptions()->dropDownShowing());
        QVERIFY(page.openEditor() != nullptr); // opening the list keeps the edit
        QTest::keyClick(page.cboOptions(), Qt::Key_Down);
        QTest::keyClick(page.cboOptions(), Qt::Key_Return); // ticks Bold
        QTest::keyClick(page.cboOptions(), Qt::Key_End);
        QTest::keyClick(page.cboOptions(), Qt::Key_Space);  // ticks Underline
        QTest::keyClick(page.cboOptions(), Qt::Key_Escape); // closes the list only
        QCOMPARE(page.openEditor(), page.cboOptions());
        QTest::keyClick(page.cboOptions(), Qt::Key_Return);
        QCOMPARE(walk.row(0, city).format, QStringLiteral("Bold, Underline"));
        // Reopened unchanged, the two words stay.
        walk.requestEdit(0, city, Step::ViewFormat);
        QCOMPARE(page.cboOptions()->selection(), QStringLiteral("Bold; Underline"));
        QTest::keyClick(page.cboOptions(), Qt::Key_Tab);
        QCOMPARE(walk.row(0, city).format, QStringLiteral("Bold, Underline"));

        // Width and length: numbers only, blank keeps the old value.
        walk.requestEdit(1, city, Step::Width);
        env.prompt.answer(Prompt::Ok);
        walk.typeInto(page.txtEdit(), QStringLiteral("abc"));
        QCOMPARE(walk.lastMessage(), QStringLiteral("Please specify a numeric value!"));
        walk.typeInto(page.txtEdit(), QStringLiteral("   "));
        QCOMPARE(walk.row(1, city).width, QStringLiteral("30"));
        walk.requestEdit(1, city, Step::Width);
        walk.typeInto(page.txtEdit(), QStringLiteral("44"));
        walk.requestEdit(1, city, Step::Length);
        walk.typeInto(page.txtEdit(), QStringLiteral("25"));
        walk.requestEdit(1, city, Step::Default);
        walk.typeInto(page.txtEdit(), QStringLiteral("Paris, France"));

        // Edit As and validation; the More cell follows.
        walk.requestEdit(1, freight, Step::Validation);
        QCOMPARE(page.cmbList()->count(), 9);
        page.cmbList()->setCurrentIndex(1);
        QTest::keyClick(page.cmbList(), Qt::Key_Return);
        QCOMPARE(walk.row(1, freight).validation, QStringLiteral("Currency"));
        walk.requestEdit(1, date, Step::EditAs);
        QCOMPARE(page.cmbList()->currentText(), QString());
        Q_EMIT page.cmbList()->activated(page.cmbList()->findText(QStringLiteral("Lookup field")));
        QCOMPARE(walk.row(1, date).more, QStringLiteral("more"));
        const QModelIndex more = page.model(1).index(date, page.model(1).columnOf(Step::More));
        QCOMPARE(more.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xFF, 0xC0, 0xC0));

        // Missing details keep the user on step 6, forwards and backwards.
        env.prompt.answer(Prompt::Ok);
        walk.next();
        QCOMPARE(walk.step(), 6);
        QCOMPARE(walk.lastMessage(),
                 QStringLiteral("You have not specified details of Lookup field details for "
                                "OrderDate!"));
        env.prompt.answer(Prompt::Ok);
        walk.back();
        QCOMPARE(walk.step(), 6);

        // A date field asks for its date type with relabelled buttons.
        walk.requestEdit(1, date, Step::EditAs);
        Q_EMIT page.cmbList()->activated(page.cmbList()->findText(QStringLiteral("Date field")));
        walk.requestEdit(1, date, Step::More);
        QCOMPARE(page.openEditor(), page.cmdEllipsis());
        QCOMPARE(page.cmdEllipsis()->text(), QStringLiteral(" more "));
        env.prompt.answer(Prompt::Ignore); // the third button, "British"
        page.cmdEllipsis()->click();
        const Prompt::Message asked = env.prompt.messages().constLast();
        QCOMPARE(asked.title, QStringLiteral("Select Date Type"));
        QCOMPARE(asked.text, QStringLiteral("Select the date type of the date field\r\n\r\n"
                                            "Selected date type: Normal date\r\n"));
        QCOMPARE(asked.labels, (QStringList{QStringLiteral("Normal"), QStringLiteral("American"),
                                            QStringLiteral("British")}));
        QCOMPARE(walk.row(1, date).details, QStringLiteral("2"));
        QCOMPARE(more.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xC0, 0xFF, 0xC0));
        // Text field afterwards empties the More cell, coloured white.
        walk.requestEdit(1, freight, Step::EditAs);
        Q_EMIT page.cmbList()->activated(page.cmbList()->findText(QStringLiteral("Text field")));
        QCOMPARE(walk.row(1, freight).more, QString());
        const QModelIndex freightMore =
            page.model(1).index(freight, page.model(1).columnOf(Step::More));
        QCOMPARE(freightMore.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
        walk.requestEdit(1, freight, Step::More); // nothing opens
        QCOMPARE(page.openEditor(), nullptr);

        walk.next();
        QCOMPARE(walk.step(), 7);
        const auto column = [&](const QString& name) {
            for (const ColumnSettings& c : walk.project().Columns) {
                if (c.ColumnName == name)
                    return c;
            }
            return ColumnSettings{};
        };
        const ColumnSettings shipCity = column(QStringLiteral("ShipCity"));
        QCOMPARE(shipCity.ListCaption, QStringLiteral("City"));
        QCOMPARE(shipCity.EditCaption, QStringLiteral("ShipCity"));
        QVERIFY(!shipCity.ListDisplay);
        QVERIFY(shipCity.EditDisplay);
        QVERIFY(!shipCity.Required);
        QVERIFY(shipCity.ListBold && !shipCity.ListItalic && shipCity.ListUnderline);
        QCOMPARE(shipCity.ListAlignment, 2);
        QCOMPARE(shipCity.FieldWidth, 44);
        QCOMPARE(shipCity.MaxLength, 25);
        QCOMPARE(shipCity.DefaultValue, QStringLiteral("Paris, France"));
        const ColumnSettings orderDate = column(QStringLiteral("OrderDate"));
        QCOMPARE(orderDate.EditType, 7);
        QCOMPARE(orderDate.Details, QStringLiteral("2"));
        QCOMPARE(column(QStringLiteral("Freight")).ValidationType, 2);
        QCOMPARE(column(QStringLiteral("Freight")).EditType, 1);

        // Saved and reopened, every column keeps all its fields.
        const Project before = walk.project();
        const QString file = env.path(QStringLiteral("orders.pjx"));
        env.prompt.answerFile(file);
        walk.window.saveProject();
        QVERIFY(QFileInfo::exists(file));
        MainWindow reopened(env.prompt);
        reopened.load({file});
        QCOMPARE(reopened.session().project.Columns, before.Columns);
        for (int i = 0; i < 5; ++i)
            reopened.onNextClicked();
        QCOMPARE(reopened.session().currentStep, 6);
        ColumnCustomizationPage& again = reopened.wizard().columnCustomizationPage();
        QCOMPARE(again.model(0).rows().front().name, QStringLiteral("OrderID"));
        reopened.onNextClicked();
        QCOMPARE(reopened.session().currentStep, 7);
        // Walking the table step again gives every column the width 30 again;
        // nothing else changes.
        std::vector<ColumnSettings> expected = before.Columns;
        for (ColumnSettings& c : expected)
            c.FieldWidth = 30;
        QCOMPARE(reopened.session().project.Columns, expected);
        QVERIFY(env.prompt.allAnswersUsed());
    }

    void popupMarksTheDisplayColumn() {
        TestEnvironment env;
        ColumnWalk walk(env);
        walk.toColumnOrder();
        walk.next();
        ColumnCustomizationPage& page = walk.custom();
        page.tbsStrip()->setCurrentIndex(1);
        QVERIFY(page.grdColumnCustomization(1)->isVisible());
        page.markDisplay(ColumnCustomizationModel::Marking::None);
        QCOMPARE(walk.row(1, 0).display, QStringLiteral("UNCHECK"));
        QCOMPARE(walk.row(0, 0).display, QStringLiteral("CHECK")); // the other tab stays
        walk.requestEdit(1, 2, Step::Display);
        page.markDisplay(ColumnCustomizationModel::Marking::Inverse);
        QCOMPARE(walk.row(1, 0).display, QStringLiteral("CHECK"));
        QCOMPARE(walk.row(1, 2).display, QStringLiteral("UNCHECK"));
        walk.next();
        QVERIFY(!walk.project().Columns[2].EditDisplay);
        QVERIFY(walk.project().Columns[0].EditDisplay);
    }
};

QTEST_MAIN(ColumnWalkTest)
#include "tst_columnwalk.moc"
