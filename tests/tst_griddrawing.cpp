// Drawing support of the grids: the two-colour gradient, the group rows of
// the Finish task list, and the work areas of the displays.
#include "controls/griddrawing.h"
#include "controls/screens.h"
#include "project/project.h"
#include "wizard/finishpage.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

using namespace ordwick;

namespace {

QImage painted(const QColor& from, const QColor& to, GradientMode mode) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    fillGradient(painter, QRect(0, 0, 40, 20), from, to, mode);
    return image;
}

// Colours a gradient may differ by from the exact colour at a pixel's centre.
bool near(QRgb pixel, const QColor& colour, int tolerance = 12) {
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

} // namespace

class GridDrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gradientRunsFromEdgeToEdge() {
        const QColor blue(32, 93, 199);
        const QImage solid = painted(blue, blue, GradientMode::TopToBottom);
        for (int y = 0; y < solid.height(); ++y) {
            for (int x = 0; x < solid.width(); ++x)
                QCOMPARE(solid.pixel(x, y), blue.rgb());
        }
        // Top to bottom: every row one colour, white at the top, black at the bottom.
        const QImage down = painted(Qt::white, Qt::black, GradientMode::TopToBottom);
        QVERIFY(near(down.pixel(0, 0), Qt::white));
        QVERIFY(near(down.pixel(0, 19), Qt::black));
        for (int y = 0; y < down.height(); ++y)
            QCOMPARE(down.pixel(39, y), down.pixel(0, y));
        QVERIFY(qRed(down.pixel(0, 5)) > qRed(down.pixel(0, 15)));
        // Left to right: every column one colour.
        const QImage across = painted(Qt::white, blue, GradientMode::LeftToRight);
        QVERIFY(near(across.pixel(0, 10), Qt::white));
        QVERIFY(near(across.pixel(39, 10), blue));
        for (int x = 0; x < across.width(); ++x)
            QCOMPARE(across.pixel(x, 19), across.pixel(x, 0));
    }

    void groupRowIsDrawnAsAHeading() {
        QStandardItemModel model(0, 2);
        QList<QStandardItem*> group{new QStandardItem(QStringLiteral("Task List")),
                                    new QStandardItem()};
        group.first()->appendRow({new QStandardItem(QStringLiteral("Write the list page")),
                                  new QStandardItem(QStringLiteral("Completed!"))});
        model.appendRow(group);
        QTreeView view;
        view.setModel(&model);
        view.setHeaderHidden(true);
        view.setRootIsDecorated(false);
        view.setIndentation(0);
        view.setItemDelegate(new GroupRowDelegate(&view));
        QPalette palette = view.palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Highlight, QColor(0, 120, 0));
        view.setPalette(palette);
        view.resize(400, 120);
        view.expandAll();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QModelIndex groupIndex = model.index(0, 0);
        QVERIFY(GroupRowDelegate::isGroupRow(groupIndex));
        QVERIFY(!GroupRowDelegate::isGroupRow(model.index(0, 0, groupIndex)));
        const QRect row = view.visualRect(groupIndex);
        const int bandY = row.top() + row.height() - 4;
        const auto band = [&](int x) { return view.viewport()->grab().toImage().pixel(x, bandY); };
        QVERIFY(near(band(row.left()), GroupRowDelegate::bandColour(), 20));
        const int right = view.visualRect(model.index(0, 1)).right();
        QVERIFY(near(band(right), Qt::white, 20));
        // One band across the row: no new start where the second column begins.
        const int second = view.visualRect(model.index(0, 1)).left();
        QVERIFY(near(band(second), QColor(band(second - 1)), 20));
        // Above the band the row is the plain background.
        QCOMPARE(view.viewport()->grab().toImage().pixel(right - 2, row.top() + 1),
                 QColor(Qt::white).rgb());
        // Selected: the band runs into the selection colour.
        view.selectionModel()->select(groupIndex, QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
        QVERIFY(near(band(right), QColor(0, 120, 0), 20));
        QVERIFY(near(band(row.left()), GroupRowDelegate::bandColour(), 20));
    }

    void finishGridDrawsItsGroupRow() {
        FinishPage page;
        QVERIFY(qobject_cast<GroupRowDelegate*>(page.grdFinish()->itemDelegate()) != nullptr);
        Project project;
        project.TableName = QStringLiteral("Orders");
        page.fillTasks(project);
        QCOMPARE(page.rowText(1, FinishPage::Feature), QStringLiteral("Task List"));
        QVERIFY(page.grdFinish()
                    ->model()
                    ->index(0, FinishPage::Feature)
                    .data(Qt::FontRole)
                    .value<QFont>()
                    .bold());
    }

    void workAreasComeFromTheScreens() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen != nullptr);
        const std::optional<Monitor> monitor = monitorAt(screen->geometry().center());
        QVERIFY(monitor.has_value());
        QCOMPARE(monitor->name, screen->name());
        QVERIFY(monitor->primary);
        QCOMPARE(monitor->geometry, screen->geometry());
        QCOMPARE(monitor->workArea, screen->availableGeometry());
        QCOMPARE(workAreaAt(screen->geometry().center()), screen->availableGeometry());
        // A point on no display: no monitor, and the primary display's work area.
        const QPoint nowhere(-100000, -100000);
        QVERIFY(!monitorAt(nowhere).has_value());
        QCOMPARE(workAreaAt(nowhere), screen->availableGeometry());
    }
};

QTEST_MAIN(GridDrawingTest)
#include "tst_griddrawing.moc"
