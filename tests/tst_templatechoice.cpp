// The template choice of the layout step (its rules and its widget, with the
// template manager opened from it), the project's SelectedTemplate, and the
// shipped templates framing generated pages.
#include "generation/enginebinding.h"
#include "project/projectfile.h"
#include "support/testenvironment.h"
#include "support/testfiles.h"
#include "templates/templatechoicewidget.h"
#include "templates/templatefiles.h"
#include "templates/templatemanager.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

using namespace ordwick;
using ordwick::test::readTestFile;
using ordwick::test::TestEnvironment;
using ordwick::test::writeTestFile;

namespace {

QStringList items(const QComboBox* box) {
    QStringList result;
    for (int i = 0; i < box->count(); ++i)
        result.append(box->itemText(i));
    return result;
}

const QByteArray kFrame = "<html><body><|body|></body></html>";

} // namespace

class TemplateChoiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

    QString store() const { return env->programFolder() + QStringLiteral("/template"); }

    // Picks an entry as the user does: the list opened, the row clicked.
    static void pickWithMouse(QComboBox* box, int row) {
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTRY_VERIFY(!view->isVisible());
    }

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() {
        QVERIFY2(env->prompt.allAnswersUsed(), "a scripted answer was not asked for");
        env.reset();
    }

    void withoutStoreOnlyNoTemplate() {
        TemplateChoiceWidget widget(env->prompt, TemplateStore(store()));
        QCOMPARE(items(widget.templateBox()), QStringList{QStringLiteral("no template")});
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("no template"));
        QVERIFY(!widget.preview()->pixmap().isNull());
        QCOMPARE(widget.manageButton()->text(), QStringLiteral("&Manage templates..."));
        QCOMPARE(widget.templateBox()->objectName(), QStringLiteral("icbTemplate"));
    }

    void pickingChecksTheBodyTagExactly() {
        writeTestFile(store() + QStringLiteral("/Aqua/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Loud/index.html"), "<html><|BODY|></html>");
        writeTestFile(store() + QStringLiteral("/Empty/readme.txt"), "no index");
        TemplateChoiceWidget widget(env->prompt, TemplateStore(store()));
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCOMPARE(items(widget.templateBox()),
                 (QStringList{QStringLiteral("no template"), QStringLiteral("Aqua"),
                              QStringLiteral("Empty"), QStringLiteral("Loud")}));
        QVERIFY(!widget.templateBox()->itemIcon(1).isNull());

        QSignalSpy changed(&widget, &TemplateChoiceWidget::templateChanged);
        pickWithMouse(widget.templateBox(), 1);
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("Aqua"));
        QCOMPARE(changed.constLast().constFirst().toString(), QStringLiteral("Aqua"));

        // The keyboard picks too, and each pick is checked.
        widget.templateBox()->setFocus();
        QTest::keyClick(widget.templateBox(), Qt::Key_Up);
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("no template"));
        env->prompt.answer(Prompt::Ok);
        QTest::keyClick(widget.templateBox(), Qt::Key_End);
        QCOMPARE(env->prompt.messages().size(), 1);
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("no template"));
        env->prompt.clear();

        env->prompt.answer(Prompt::Ok);
        pickWithMouse(widget.templateBox(), 3);
        QCOMPARE(env->prompt.messages().constFirst().text,
                 QStringLiteral("The selected template does not have required tags!\n"
                                "Please select another template!"));
        QCOMPARE(env->prompt.messages().constFirst().icon, Prompt::Icon::Warning);
        QCOMPARE(widget.templateBox()->currentText(), QStringLiteral("no template"));
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("no template"));

        // No index at all: the failure is reported under the list's name and
        // the choice goes back to "no template".
        env->prompt.clear();
        env->prompt.answer(Prompt::Ignore);
        pickWithMouse(widget.templateBox(), 2);
        QCOMPARE(env->prompt.messages().size(), 1);
        QVERIFY2(readTestFile(env->errorLogPath()).contains("frmMain.icbTemplate_Click"),
                 readTestFile(env->errorLogPath()).constData());
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("no template"));
    }

    void projectToScreenAndBack() {
        writeTestFile(store() + QStringLiteral("/Aqua/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Paper/index.html"), kFrame);
        TemplateChoice choice(env->prompt, TemplateStore(store()));
        choice.showProject(QStringLiteral("Paper"));
        QCOMPARE(choice.text(), QStringLiteral("Paper"));
        // A deleted template, or one in other letters, leaves the selection.
        choice.showProject(QStringLiteral("Gone"));
        QCOMPARE(choice.text(), QStringLiteral("Paper"));
        choice.showProject(QStringLiteral("paper"));
        QCOMPARE(choice.text(), QStringLiteral("Paper"));
        choice.showProject(QStringLiteral(" no template "));
        QCOMPARE(choice.text(), QStringLiteral("Paper"));
        choice.fill();
        choice.showProject(QStringLiteral("Gone"));
        QCOMPARE(choice.text(), QStringLiteral("no template"));

        // "no template" is stored as exactly that text.
        Project project;
        project.SelectedTemplate = choice.text();
        const QString file = env->path(QStringLiteral("saved.pjx"));
        saveProjectFile(file, project, 8);
        QVERIFY2(readTestFile(file).contains("SelectedTemplate=no template\r\n"),
                 readTestFile(file).constData());
    }

    void previewPerTemplate() {
        writeTestFile(store() + QStringLiteral("/Aqua/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Plain/index.html"), kFrame);
        QImage picture(64, 40, QImage::Format_RGB32);
        picture.fill(QColor(0x12, 0x34, 0x56));
        QVERIFY(picture.save(store() + QStringLiteral("/Aqua/preview.png")));
        TemplateChoiceWidget widget(env->prompt, TemplateStore(store()));
        QCOMPARE(widget.choice().previewOf(1), store() + QStringLiteral("/Aqua/preview.png"));
        QCOMPARE(widget.choice().previewOf(2), QString());
        widget.showProject(QStringLiteral("Aqua"));
        const QImage shownAqua = widget.preview()->pixmap().toImage();
        QCOMPARE(shownAqua.pixelColor(shownAqua.width() / 2, shownAqua.height() / 2),
                 QColor(0x12, 0x34, 0x56));
        widget.showProject(QStringLiteral("Plain"));
        const QImage shownPlain = widget.preview()->pixmap().toImage();
        QVERIFY(shownPlain.pixelColor(shownPlain.width() / 2, shownPlain.height() / 2) !=
                QColor(0x12, 0x34, 0x56));
    }

    void managerRefillsTheList() {
        writeTestFile(store() + QStringLiteral("/Aqua/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Paper/index.html"), kFrame);
        TemplateChoiceWidget widget(env->prompt, TemplateStore(store()));
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.showProject(QStringLiteral("Paper"));
        bool managerSeen = false;
        // The user deletes Aqua in the manager and closes it.
        QTimer::singleShot(0, [&] {
            auto* manager = qobject_cast<TemplateManager*>(QApplication::activeModalWidget());
            QVERIFY(manager != nullptr);
            managerSeen = true;
            auto* list = manager->findChild<QTreeWidget*>(QStringLiteral("lvwTemplateList"));
            list->setCurrentItem(list->topLevelItem(0));
            env->prompt.answer(Prompt::Yes);
            manager->templateMenu()->actions().constFirst()->trigger();
            QTest::mouseClick(manager->findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(widget.manageButton(), Qt::LeftButton);
        QVERIFY(managerSeen);
        QVERIFY(!QFileInfo::exists(store() + QStringLiteral("/Aqua")));
        QCOMPARE(items(widget.templateBox()),
                 (QStringList{QStringLiteral("no template"), QStringLiteral("Paper")}));
        QCOMPARE(widget.selectedTemplate(), QStringLiteral("no template"));
    }

    void shippedTemplatesFrameGeneratedPages_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : QDir(QStringLiteral(ORDWICK_TEMPLATE_DIR))
                                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            QTest::newRow(qPrintable(name)) << name;
    }
    void shippedTemplatesFrameGeneratedPages() {
        QFETCH(QString, name);
        const QString shipped = QStringLiteral(ORDWICK_TEMPLATE_DIR "/") + name;
        // Every shipped template passes the wizard's check and has a preview.
        TemplateChoice choice(env->prompt, TemplateStore(QStringLiteral(ORDWICK_TEMPLATE_DIR)));
        QVERIFY(choice.pick(static_cast<int>(choice.entries().indexOf(name))));
        QVERIFY(!QImage(shipped + QStringLiteral("/preview.png")).isNull());

        QStringList failures;
        copyFolder(shipped, store() + QLatin1Char('/') + name, failures);
        QCOMPARE(failures, QStringList());
        Project p;
        p.DatasourceStatus = DatasourceFile;
        p.DatasourceType = 7;
        p.DatabaseName = QStringLiteral(ORDWICK_SAMPLE_DATABASE);
        p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + p.DatabaseName;
        p.TableName = QStringLiteral("Products");
        ColumnSettings id;
        id.ColumnName = QStringLiteral("ProductID");
        id.DataType = 1;
        id.Position = 1;
        id.ListCaption = id.EditCaption = id.ColumnName;
        ColumnSettings product = id;
        product.ColumnName = product.ListCaption = product.EditCaption =
            QStringLiteral("ProductName");
        product.DataType = 4;
        product.Position = 2;
        product.MaxLength = 50;
        p.Columns = {id, product};
        p.SQLString = QStringLiteral("SELECT [ProductID], [ProductName] FROM  [Products]");
        p.UniqueKey = {QStringLiteral("ProductID")};
        p.SelectedTemplate = name;
        p.DestinationPath = env->path(QStringLiteral("site"));
        QDir().mkpath(p.DestinationPath);
        const QString file = env->path(QStringLiteral("shipped.pjx"));
        saveProjectFile(file, p, 10);

        GenerationEngine engine(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        QStringList reports;
        connect(&engine, &GenerationEngine::failureReported,
                [&](const QString&, const QString& d, int) { reports.append(d); });
        engine.setProjectFilePath(file);
        engine.setApplicationPath(env->programFolder());
        QCOMPARE(engine.generate(), GenerationEngine::Outcome::Finished);
        QCOMPARE(reports, QStringList());
        const QStringList pages =
            QDir(p.DestinationPath).entryList({QStringLiteral("*_index.asp")}, QDir::Files);
        QCOMPARE(pages.size(), 1);
        const QByteArray page =
            readTestFile(p.DestinationPath + QLatin1Char('/') + pages.constFirst());
        const QByteArray frame = readTestFile(shipped + QStringLiteral("/index.html"));
        // The template's own text before its body tag frames the page.
        const QByteArray head = frame.left(frame.indexOf("<|body|>")).right(40);
        QVERIFY2(page.contains(head.trimmed()), page.left(400).constData());
        QVERIFY(!page.contains("<|body|>"));
    }
};

QTEST_MAIN(TemplateChoiceTest)
#include "tst_templatechoice.moc"
