#include "controls/multiselectcombobox.h"

#include <QSignalSpy>
#include <QtTest>

using namespace ordwick;

namespace {

void addWords(MultiSelectComboBox& box, const QStringList& words) {
    for (const QString& word : words)
        box.addItem(word, {}, word);
}

QStringList checkedTexts(const MultiSelectComboBox& box) {
    QStringList texts;
    for (int i = 1; i <= box.itemCount(); ++i) {
        if (box.item(i)->checked)
            texts.append(box.item(i)->text);
    }
    return texts;
}

} // namespace

class MultiSelectTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void selectionTextRules() {
        MultiSelectComboBox box;
        QCOMPARE(box.delimiter(), QStringLiteral(","));
        box.setDelimiter(QStringLiteral(";"));
        addWords(box, {QStringLiteral("Bold"), QStringLiteral("Italic"),
                       QStringLiteral("Underline"), QStringLiteral("B"), QStringLiteral("Bold")});
        QCOMPARE(box.selection(), QString());
        box.setSelection(QStringLiteral("Bold;Underline"));
        QCOMPARE(box.selection(), QStringLiteral("Bold; Underline"));
        // Only the first of two equal texts is checked.
        QCOMPARE(checkedTexts(box),
                 (QStringList{QStringLiteral("Bold"), QStringLiteral("Underline")}));
        QVERIFY(!box.item(5)->checked);
        box.setSelection(QStringLiteral("Bold ; Italic"));
        QCOMPARE(box.selection(), QStringLiteral("Bold; Italic"));
        box.setSelection(QStringLiteral("B"));
        QCOMPARE(box.selection(), QStringLiteral("B"));
        box.setSelection(QStringLiteral("bold;Nothing;"));
        QCOMPARE(box.selection(), QString());
        box.setSelection(box.selection());
        QCOMPARE(box.selection(), QString());
        box.setSelection(QStringLiteral("Italic; Underline"));
        box.setSelection(QString());
        QCOMPARE(box.selection(), QString());

        QCOMPARE(box.indexForText(QStringLiteral("Bold")), 1);
        QCOMPARE(box.indexForText(QStringLiteral("Underline")), 3);
        QCOMPARE(box.indexForText(QStringLiteral("underline")), 0);
        QVERIFY(!box.item(0).has_value());
        QVERIFY(!box.item(6).has_value());
        QVERIFY(!box.setItemChecked(6, true));
        box.removeItem(2);
        QCOMPARE(box.itemCount(), 4);
        QCOMPARE(box.item(2)->text, QStringLiteral("Underline"));
        box.removeItem(99); // outside the list: nothing goes
        QCOMPARE(box.itemCount(), 4);
        for (int i = 0; i < 3; ++i)
            box.removeItem(1);
        QCOMPARE(box.itemCount(), 1);
        box.removeItem(1);
        QCOMPARE(box.itemCount(), 0);
        box.removeItem(1);
        QCOMPARE(box.itemCount(), 0);
    }

    void placementKeepsTheListOnScreen() {
        const QRect work(0, 0, 1000, 700);
        const QSize list(150, 100);
        // Below the box.
        QCOMPARE(MultiSelectComboBox::dropDownGeometry(QRect(100, 100, 120, 20), list, work),
                 QRect(100, 120, 150, 100));
        // Near the bottom: above the box.
        QCOMPARE(MultiSelectComboBox::dropDownGeometry(QRect(100, 650, 120, 20), list, work),
                 QRect(100, 550, 150, 100));
        // Near the right edge: ends at the right edge of the work area.
        QCOMPARE(MultiSelectComboBox::dropDownGeometry(QRect(900, 100, 120, 20), list, work),
                 QRect(850, 120, 150, 100));
        // A second monitor to the right with a task bar on top.
        const QRect second(1000, 40, 800, 600);
        QCOMPARE(MultiSelectComboBox::dropDownGeometry(QRect(990, 20, 120, 20), list, second),
                 QRect(1000, 40, 150, 100));
    }

    void keyboardInTheOpenList() {
        QWidget host;
        host.resize(300, 200);
        MultiSelectComboBox box(&host);
        box.setObjectName(QStringLiteral("cboOptions"));
        box.setDelimiter(QStringLiteral(";"));
        addWords(box,
                 {QStringLiteral("Bold"), QStringLiteral("Italics"), QStringLiteral("Underline")});
        box.setGeometry(10, 10, 120, 22);
        box.setWorkArea([](const QPoint&) { return QRect(0, 0, 2000, 2000); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        box.setFocus();
        QVERIFY(!box.dropDownShowing());
        QTest::keyClick(&box, Qt::Key_Down);
        QVERIFY(box.dropDownShowing());
        MultiSelectDropDown* list = box.dropDown();
        QCOMPARE(list->hotItem(), 0);
        QCOMPARE(list->height(), list->itemHeight() * 3 + 4);
        QVERIFY(list->width() >= box.width());
        QCOMPARE(list->geometry().topLeft(), box.mapToGlobal(QPoint(0, box.height())));
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(list->hotItem(), 1);
        QTest::keyClick(&box, Qt::Key_Space);
        QCOMPARE(box.selection(), QStringLiteral("Bold"));
        QTest::keyClick(&box, Qt::Key_End);
        QCOMPARE(list->hotItem(), 3);
        QTest::keyClick(&box, Qt::Key_Down); // no wrap-around
        QCOMPARE(list->hotItem(), 3);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.selection(), QStringLiteral("Bold; Underline"));
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(list->hotItem(), 1);
        QTest::keyClick(&box, Qt::Key_PageDown);
        QCOMPARE(list->hotItem(), 3);
        QTest::keyClick(&box, Qt::Key_Left);
        QCOMPARE(list->hotItem(), 2);
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(!box.dropDownShowing());
        QCOMPARE(box.selection(), QStringLiteral("Bold; Underline")); // ticks stay
        // Opened again (for another row of a grid): nothing is highlighted, so
        // Space ticks nothing, and Home goes to the first item.
        QTest::keyClick(&box, Qt::Key_F4);
        QVERIFY(box.dropDownShowing());
        QCOMPARE(list->hotItem(), 0);
        QTest::keyClick(&box, Qt::Key_Space);
        QCOMPARE(box.selection(), QStringLiteral("Bold; Underline"));
        QTest::keyClick(&box, Qt::Key_Home);
        QCOMPARE(list->hotItem(), 1);
        box.endEdit();
        QVERIFY(!box.dropDownShowing());
    }

    void mouseOpensTicksAndCloses() {
        QWidget host;
        host.resize(300, 200);
        MultiSelectComboBox box(&host);
        addWords(box, {QStringLiteral("One"), QStringLiteral("Two")});
        box.setGeometry(10, 10, 120, 22);
        // A work area whose bottom is just under the box: the list opens above.
        box.setWorkArea([&](const QPoint&) {
            const QPoint top = box.mapToGlobal(QPoint(0, 0));
            return QRect(top.x() - 10, top.y() - 500, 1000, 500 + box.height() + 5);
        });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTest::mouseClick(&box, Qt::LeftButton);
        QVERIFY(box.dropDownShowing());
        MultiSelectDropDown* list = box.dropDown();
        QCOMPARE(list->geometry().bottom(), box.mapToGlobal(QPoint(0, -1)).y());
        QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(20, 2 + list->itemHeight() + 3));
        QCOMPARE(box.selection(), QStringLiteral("Two"));
        QCOMPARE(list->hotItem(), 2);
        QVERIFY(box.dropDownShowing()); // the list stays open for more ticks
        QTest::mouseClick(&box, Qt::LeftButton);
        QVERIFY(!box.dropDownShowing());
    }
};

QTEST_MAIN(MultiSelectTest)
#include "tst_multiselect.moc"
