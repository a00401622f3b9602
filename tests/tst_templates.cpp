// The template store and the template manager window, through the real window
// on the offscreen platform with a scripted user: real folders and files in
// temporary folders.
#include "foundation/inifile.h"
#include "foundation/programfolder.h"
#include "support/testenvironment.h"
#include "support/testfiles.h"
#include "templates/templatemanager.h"
#include "templates/templatepaths.h"
#include "templates/templatestore.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

using namespace ordwick;
using ordwick::test::readTestFile;
using ordwick::test::TestEnvironment;
using ordwick::test::writeTestFile;

namespace {

QStringList texts(const QTreeWidget* list) {
    QStringList result;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        result.append(list->topLevelItem(i)->text(0));
    return result;
}

QStringList tags(const QTreeWidget* list) {
    QStringList result;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        result.append(list->topLevelItem(i)->data(0, Qt::UserRole).toString());
    return result;
}

QStringList shown(const QList<Prompt::Message>& messages) {
    QStringList result;
    for (const Prompt::Message& m : messages)
        result.append(m.text);
    return result;
}

const QByteArray kFrame = "<html><body><|body|></body></html>";

} // namespace

class TemplatesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<TemplateManager> window;

    QString store() const { return env->programFolder() + QStringLiteral("/template"); }

    void open() {
        window = std::make_unique<TemplateManager>(env->prompt, TemplateStore(store()));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T> T* find(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no widget %s", name);
        return widget;
    }
    QTreeWidget* templateList() const { return find<QTreeWidget>("lvwTemplateList"); }
    QTreeWidget* fileList() const { return find<QTreeWidget>("lvwFileList"); }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }

    void clickTemplate(int row) {
        QTreeWidget* list = templateList();
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // Right button on a list entry, then "&Delete" from the menu that opened.
    void deleteByMenu(QTreeWidget* list, int row, QMenu* menu) {
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        // Through the window, as the platform delivers it: the press and the menu request.
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                          list->viewport()->mapTo(window.get(), rect.center()));
        QTRY_VERIFY(menu->isVisible());
        menu->actions().constFirst()->trigger();
        menu->hide();
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnvironment>();
        QDir().mkpath(env->path(QStringLiteral("data")));
    }
    void cleanup() {
        if (window)
            window.reset();
        QVERIFY2(env->prompt.allAnswersUsed(), "a scripted answer was not asked for");
        env.reset();
    }

    void pathHelpersAndNames() {
        QString path = QStringLiteral("  /a/b/style.css ");
        QCOMPARE(GetFile(path), QStringLiteral("style.css"));
        QCOMPARE(path, QStringLiteral("/a/b/style.css"));
        QCOMPARE(GetPath(path), QStringLiteral("/a/b/"));
        QString folder = QStringLiteral("/a/b/");
        QCOMPARE(GetFolder(folder), QString());
        QString bare = QStringLiteral(" name ");
        QCOMPARE(GetFolder(bare), QStringLiteral("name"));
        QCOMPARE(GetPath(bare), QString());

        QCOMPARE(unusableTemplateName(QStringLiteral("Blue Sky")), QString());
        QCOMPARE(unusableTemplateName(QStringLiteral("a/b")),
                 QStringLiteral("\"a/b\" holds a path separator (\"/\" or \"\\\")."));
        QCOMPARE(unusableTemplateName(QStringLiteral("..")),
                 QStringLiteral("\"..\" names a folder of its own."));
        QCOMPARE(unusableTemplateName(QStringLiteral("No Template")),
                 QStringLiteral("\"no template\" means that no template is used."));
        QCOMPARE(unusableFileName(QStringLiteral("No Template")), QString());
        QCOMPARE(unusableFileName(QStringLiteral("a\tb")),
                 QStringLiteral("\"a\tb\" holds a control character."));
    }

    void storeIsPerUserAndSeededOnceFromTheShippedTemplates() {
        // The shipped folder (TESSALINE_APP_DIR) is only ever read: its files are
        // left read-only, as an install's are for a user.
        const QString shipped = env->programFolder();
        const QString css = shipped + QStringLiteral("/template/Harbour/harbour/harbour.css");
        writeTestFile(shipped + QStringLiteral("/template/Harbour/index.html"), kFrame);
        writeTestFile(css, "body{}");
        QFile::setPermissions(css, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QString user = env->path(QStringLiteral("data/Tessaline"));

        // Before the wizard made the store, the command-line generator reads the shipped one.
        QCOMPARE(templateBaseFolder(), shipped);
        const TemplateStore own = TemplateStore::forThisUser();
        QCOMPARE(own.root(), user + QStringLiteral("/template"));
        QCOMPARE(own.baseFolder(), user);
        QCOMPARE(templateBaseFolder(), user);
        QCOMPARE(own.names(), QStringList{QStringLiteral("Harbour")});
        const QString copy = user + QStringLiteral("/template/Harbour/harbour/harbour.css");
        QCOMPARE(readTestFile(copy), QByteArray("body{}"));
        // The user's copy can be edited although the shipped file could not.
        QVERIFY(QFile::permissions(copy).testFlag(QFile::WriteOwner));

        // A shipped template the user deleted stays deleted.
        QVERIFY(QDir(user + QStringLiteral("/template/Harbour")).removeRecursively());
        QCOMPARE(TemplateStore::forThisUser().names(), QStringList());
        QVERIFY(QFileInfo::exists(css));
    }

    void missingStoreIsCreatedAndWindowStartsIdle() {
        QVERIFY(!QFileInfo::exists(store()));
        open();
        QVERIFY(QFileInfo(store()).isDir());
        QCOMPARE(window->windowTitle(), QStringLiteral("Manage templates..."));
        QCOMPARE(templateList()->topLevelItemCount(), 0);
        QCOMPARE(templateList()->headerItem()->text(0), QStringLiteral("Template Name"));
        QCOMPARE(fileList()->headerItem()->text(0), QStringLiteral("File Name"));
        QVERIFY(!find<QGroupBox>("fraDetails")->isEnabled());
        QVERIFY(!find<QGroupBox>("fraImportFiles")->isEnabled());
        QVERIFY(!box("txtTemplateName")->isEnabled());
        QVERIFY(!button("cmdUpdate")->isEnabled());
        QCOMPARE(button("cmdNew")->text(), QStringLiteral("&New"));
        // Escape closes the window like Cancel.
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void choosingTemplateListsItsFilesAndIndex() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/style.css"), "a{}");
        writeTestFile(store() + QStringLiteral("/Blue/images/Index.html"), "x");
        writeTestFile(store() + QStringLiteral("/Blue/images/logo.png"), "png");
        writeTestFile(store() + QStringLiteral("/Blue/zz/myindex.html"), "y");
        writeTestFile(store() + QStringLiteral("/Paper/index.html"), kFrame);
        open();
        QCOMPARE(texts(templateList()),
                 (QStringList{QStringLiteral(" Blue"), QStringLiteral(" Paper")}));
        QCOMPARE(tags(templateList()), (QStringList{store() + QStringLiteral("/Blue"),
                                                    store() + QStringLiteral("/Paper")}));
        clickTemplate(0);
        QVERIFY(find<QGroupBox>("fraDetails")->isEnabled());
        QVERIFY(button("cmdUpdate")->isEnabled());
        QCOMPARE(box("txtTemplateName")->text(), QStringLiteral("Blue"));
        QCOMPARE(box("txtTemplateLocation")->text(), store() + QStringLiteral("/Blue"));
        // "Index.html" is an ordinary file; "myindex.html", met last, is the index.
        QCOMPARE(box("txtIndexFile")->text(), QStringLiteral("../Blue/zz/myindex.html"));
        QCOMPARE(texts(fileList()), (QStringList{QStringLiteral("../Blue/style.css"),
                                                 QStringLiteral("../Blue/images/Index.html"),
                                                 QStringLiteral("../Blue/images/logo.png")}));
        QCOMPARE(tags(fileList()).constFirst(), store() + QStringLiteral("/Blue/style.css"));

        // Another template shows its own index, not the one before.
        clickTemplate(1);
        QCOMPARE(box("txtIndexFile")->text(), QStringLiteral("../Paper/index.html"));
        QCOMPARE(texts(fileList()), QStringList());
    }

    void saveShowsEveryMessageInOrder() {
        writeTestFile(store() + QStringLiteral("/Paper/index.html"), kFrame);
        const QString home = QDir::homePath() + QStringLiteral("/Desktop");
        const QString desktop = QDir(home).exists() ? home : QString();
        writeTestFile(env->path(QStringLiteral("pick/upper.html")), "<html><|BODY|></html>");
        writeTestFile(env->path(QStringLiteral("pick/frame.html")), kFrame);
        open();
        click("cmdNew");
        QCOMPARE(button("cmdNew")->text(), QStringLiteral("&Save"));
        QVERIFY(!button("cmdUpdate")->isEnabled());
        QVERIFY(box("txtTemplateName")->hasFocus());

        const auto saveWith = [&](const QString& name) {
            box("txtTemplateName")->setText(name);
            env->prompt.answer(Prompt::Ok);
            click("cmdNew");
        };
        saveWith(QStringLiteral("   "));
        saveWith(QStringLiteral("paper"));
        saveWith(QStringLiteral("../outside"));
        saveWith(QStringLiteral("no template"));
        saveWith(QStringLiteral("Fresh"));
        QCOMPARE(shown(env->prompt.messages()),
                 (QStringList{
                     QStringLiteral("Please specify a template name!"),
                     QStringLiteral("Please specify a different template name!"),
                     QStringLiteral("Please specify a template name that can be a folder name!\n"
                                    "\"../outside\" holds a path separator (\"/\" or \"\\\")."),
                     QStringLiteral("Please specify a template name that can be a folder name!\n"
                                    "\"no template\" means that no template is used."),
                     QStringLiteral("Please specify a index file!")}));
        QCOMPARE(env->prompt.messages().constFirst().title, QStringLiteral("Tessaline"));
        QCOMPARE(env->prompt.messages().constFirst().icon, Prompt::Icon::Warning);
        QVERIFY(button("cmdIndexFile")->hasFocus());
        QCOMPARE(button("cmdNew")->text(), QStringLiteral("&Save"));
        QVERIFY(!QFileInfo::exists(env->programFolder() + QStringLiteral("/outside")));

        // The index picker: its title, filters and start folder (the desktop).
        env->prompt.clear();
        env->prompt.answerFile(env->path(QStringLiteral("pick/upper.html")) + QStringLiteral("  "));
        click("cmdIndexFile");
        const Prompt::FileRequest request = env->prompt.fileRequests().constFirst();
        QCOMPARE(request.title, QStringLiteral("Select HTML file"));
        QCOMPARE(request.filter, QStringLiteral("(All Files) (*.asp *.html *.htm);;(HTML Only) "
                                                "(*.html *.htm);;(ASP Only) (*.asp)"));
        QCOMPARE(request.folder, desktop);
        QCOMPARE(box("txtIndexFile")->text(), env->path(QStringLiteral("pick/upper.html")));
        IniFile remembered;
        remembered.setSection(QStringLiteral("Directories"));
        remembered.setKey(QStringLiteral("Template"));
        QCOMPARE(remembered.value(), env->path(QStringLiteral("pick")));

        // A tag in capital letters is refused here as the wizard refuses it.
        env->prompt.answer(Prompt::Ok);
        click("cmdNew");
        QCOMPARE(shown(env->prompt.messages()),
                 QStringList{QStringLiteral(
                     "The selected html files does not have the '<|body|>' tag!\nThe tag must be "
                     "written exactly so, in small letters: the wizard and the generation need "
                     "it that way.")});
        QVERIFY(!QFileInfo::exists(store() + QStringLiteral("/Fresh")));
        QCOMPARE(button("cmdNew")->text(), QStringLiteral("&New"));
        QVERIFY(!button("cmdUpdate")->isEnabled());
        QCOMPARE(box("txtTemplateName")->text(), QStringLiteral("Fresh"));

        // Saved: the index with a line break, the picked file and folder.
        env->prompt.clear();
        click("cmdNew");
        box("txtTemplateName")->setText(QStringLiteral(" Fresh "));
        env->prompt.answerFile(env->path(QStringLiteral("pick/frame.html")));
        click("cmdIndexFile");
        QCOMPARE(env->prompt.fileRequests().constFirst().folder, env->path(QStringLiteral("pick")));
        writeTestFile(env->path(QStringLiteral("assets/site.css")), "css");
        writeTestFile(env->path(QStringLiteral("assets/img/a.png")), "png");
        env->prompt.answerFiles({env->path(QStringLiteral("assets/site.css"))});
        click("cmdSelectFiles");
        env->prompt.answerFile(env->path(QStringLiteral("assets/img")));
        click("cmdSelectFolders");
        QCOMPARE(texts(fileList()), (QStringList{env->path(QStringLiteral("assets/site.css")),
                                                 env->path(QStringLiteral("assets/img"))}));
        QCOMPARE(tags(fileList()), (QStringList{QStringLiteral("N"), QStringLiteral("F")}));
        QCOMPARE(env->prompt.fileRequests().at(1).title, QStringLiteral("Select files"));
        QCOMPARE(env->prompt.fileRequests().at(1).filter, QStringLiteral("(All Files) (*)"));
        QCOMPARE(env->prompt.fileRequests().at(2).title, QStringLiteral("Select Folder"));
        click("cmdNew");
        QCOMPARE(shown(env->prompt.messages()), QStringList());
        QCOMPARE(readTestFile(store() + QStringLiteral("/Fresh/index.html")), kFrame + "\r\n");
        QCOMPARE(readTestFile(store() + QStringLiteral("/Fresh/site.css")), QByteArray("css"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Fresh/img/a.png")), QByteArray("png"));
        QCOMPARE(texts(templateList()),
                 (QStringList{QStringLiteral(" Fresh"), QStringLiteral(" Paper")}));
        QCOMPARE(button("cmdNew")->text(), QStringLiteral("&New"));
    }

    void renamingOnImport() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/old.css"), "old");
        writeTestFile(env->path(QStringLiteral("pick/one.css")), "one");
        writeTestFile(env->path(QStringLiteral("pick/two.css")), "two");
        writeTestFile(env->path(QStringLiteral("pick/pics/p.png")), "p");
        writeTestFile(env->path(QStringLiteral("pick/more/m.png")), "m");
        open();
        clickTemplate(0);
        find<QCheckBox>("chkRenameFiles")->setChecked(true);
        env->prompt.answerFiles(
            {env->path(QStringLiteral("pick/one.css")), env->path(QStringLiteral("pick/two.css"))});
        click("cmdSelectFiles");
        env->prompt.answerFile(env->path(QStringLiteral("pick/pics")));
        click("cmdSelectFolders");
        env->prompt.answerFile(env->path(QStringLiteral("pick/more")));
        click("cmdSelectFolders");
        // Blank keeps the file's name; a name renames; blank merges a folder.
        env->prompt.answerInput(QStringLiteral("   "));
        env->prompt.answerInput(QStringLiteral(" renamed.css "));
        env->prompt.answerInput(QString());
        env->prompt.answerInput(QStringLiteral("gallery"));
        click("cmdUpdate");
        const QList<Prompt::InputRequest> asked = env->prompt.inputRequests();
        QCOMPARE(asked.size(), 4);
        QCOMPARE(asked.at(0).title, QStringLiteral("Rename file"));
        QCOMPARE(asked.at(0).label, QStringLiteral("New file name:"));
        QCOMPARE(asked.at(0).text, QStringLiteral("one.css"));
        QCOMPARE(asked.at(2).title, QStringLiteral("Rename folder"));
        QCOMPARE(asked.at(2).label, QStringLiteral("New folder name:"));
        QCOMPARE(asked.at(2).text, QStringLiteral("pics"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/one.css")), QByteArray("one"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/renamed.css")), QByteArray("two"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/p.png")), QByteArray("p"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/gallery/m.png")), QByteArray("m"));
        QVERIFY(!QFileInfo::exists(store() + QStringLiteral("/Blue/pics")));
        // The list now shows the template's files.
        QCOMPARE(
            texts(fileList()),
            (QStringList{QStringLiteral("../Blue/old.css"), QStringLiteral("../Blue/one.css"),
                         QStringLiteral("../Blue/p.png"), QStringLiteral("../Blue/renamed.css"),
                         QStringLiteral("../Blue/gallery/m.png")}));
    }

    void overwriteAllOnlyForFiles() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/site.css"), "old");
        writeTestFile(store() + QStringLiteral("/Blue/img/a.png"), "old");
        writeTestFile(env->path(QStringLiteral("pick/site.css")), "new");
        writeTestFile(env->path(QStringLiteral("pick/img/a.png")), "new");
        open();
        clickTemplate(0);
        env->prompt.answerFiles({env->path(QStringLiteral("pick/site.css"))});
        click("cmdSelectFiles");
        env->prompt.answerFile(env->path(QStringLiteral("pick/img")));
        click("cmdSelectFolders");
        click("cmdUpdate");
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/site.css")), QByteArray("old"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/img/a.png")), QByteArray("new"));

        find<QCheckBox>("chkOverwriteAll")->setChecked(true);
        env->prompt.answerFiles({env->path(QStringLiteral("pick/site.css"))});
        click("cmdSelectFiles");
        click("cmdUpdate");
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/site.css")), QByteArray("new"));
        QCOMPARE(shown(env->prompt.messages()), QStringList());

        // The template's own files picked again, the index by its full path:
        // each is copied onto itself, which leaves it as it was.
        clickTemplate(0);
        find<QCheckBox>("chkOverwriteAll")->setChecked(true);
        find<QLineEdit>("txtIndexFile")->setText(store() + QStringLiteral("/Blue/index.html"));
        env->prompt.answerFiles({store() + QStringLiteral("/Blue/site.css")});
        click("cmdSelectFiles");
        click("cmdUpdate");
        QCOMPARE(shown(env->prompt.messages()), QStringList());
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/site.css")), QByteArray("new"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/index.html")), kFrame);
    }

    void largeFolderImportShowsProgress() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        for (int i = 0; i < 230; ++i)
            writeTestFile(env->path(QStringLiteral("many/f%1.txt").arg(i)), "x");
        open();
        clickTemplate(0);
        QList<QPair<int, int>> steps;
        const CopyProgress shown = window->model().progress;
        window->model().progress = [&](int done, int total) {
            steps.append({done, total});
            shown(done, total);
        };
        env->prompt.answerFile(env->path(QStringLiteral("many")));
        click("cmdSelectFolders");
        click("cmdUpdate");
        QCOMPARE(steps.size(), 230);
        QCOMPARE(steps.constFirst(), (QPair<int, int>(1, 230)));
        QCOMPARE(steps.constLast(), (QPair<int, int>(230, 230)));
        QCOMPARE(QDir(store() + QStringLiteral("/Blue/many")).entryList(QDir::Files).size(), 230);
        // The progress window is gone once the copy is done.
        QCOMPARE(window->findChildren<QProgressDialog*>().size(), 0);
    }

    void deletingFileEntries() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/gone.css"), "x");
        writeTestFile(env->path(QStringLiteral("pick/kept.css")), "k");
        open();
        clickTemplate(0);
        env->prompt.answerFiles({env->path(QStringLiteral("pick/kept.css"))});
        click("cmdSelectFiles");
        QCOMPARE(texts(fileList()), (QStringList{QStringLiteral("../Blue/gone.css"),
                                                 env->path(QStringLiteral("pick/kept.css"))}));
        deleteByMenu(fileList(), 1, window->fileMenu());
        QVERIFY(QFileInfo::exists(env->path(QStringLiteral("pick/kept.css"))));
        QCOMPARE(texts(fileList()), QStringList{QStringLiteral("../Blue/gone.css")});
        QFile::setPermissions(store() + QStringLiteral("/Blue/gone.css"), QFile::ReadOwner);
        deleteByMenu(fileList(), 0, window->fileMenu());
        QVERIFY(!QFileInfo::exists(store() + QStringLiteral("/Blue/gone.css")));
        QCOMPARE(texts(fileList()), QStringList());
    }

    void updateRefusals() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Red/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Red/red.css"), "r");
        open();
        // Only index.html: nothing to include.
        clickTemplate(0);
        env->prompt.answer(Prompt::Ok);
        click("cmdUpdate");
        QVERIFY(fileList()->hasFocus());

        // Renaming onto another template is refused before anything changes.
        clickTemplate(1);
        box("txtTemplateName")->setText(QStringLiteral("blue"));
        env->prompt.answer(Prompt::Ok);
        click("cmdUpdate");
        // A new index without the tag is refused too.
        box("txtTemplateName")->setText(QStringLiteral("Red"));
        writeTestFile(env->path(QStringLiteral("bare.html")), "<html></html>");
        box("txtIndexFile")->setText(env->path(QStringLiteral("bare.html")));
        env->prompt.answer(Prompt::Ok);
        click("cmdUpdate");
        QCOMPARE(shown(env->prompt.messages()),
                 (QStringList{
                     QStringLiteral("Please select files to include!"),
                     QStringLiteral("Please specify a different template name!\nA template named "
                                    "\"blue\" already exists."),
                     QStringLiteral("The selected html files does not have the '<|body|>' "
                                    "tag!\nThe tag must be written exactly so, in small letters: "
                                    "the wizard and the generation need it that way.")}));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Red/red.css")), QByteArray("r"));
        QCOMPARE(readTestFile(store() + QStringLiteral("/Red/index.html")), kFrame);

        // A rename to a free name moves the folder and the entry.
        env->prompt.clear();
        box("txtIndexFile")->setText(QStringLiteral("../Red/index.html"));
        box("txtTemplateName")->setText(QStringLiteral(" Crimson "));
        click("cmdUpdate");
        QCOMPARE(readTestFile(store() + QStringLiteral("/Crimson/red.css")), QByteArray("r"));
        QVERIFY(!QFileInfo::exists(store() + QStringLiteral("/Red")));
        QCOMPARE(texts(templateList()),
                 (QStringList{QStringLiteral(" Blue"), QStringLiteral(" Crimson")}));
        QCOMPARE(box("txtTemplateLocation")->text(), store() + QStringLiteral("/Crimson"));
        QCOMPARE(texts(fileList()), QStringList{QStringLiteral("../Crimson/red.css")});
    }

    void failedCopiesAreReportedTogether() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(env->path(QStringLiteral("pick/lost.css")), "l");
        writeTestFile(env->path(QStringLiteral("pick/fine.css")), "f");
        open();
        clickTemplate(0);
        env->prompt.answerFiles({env->path(QStringLiteral("pick/lost.css")),
                                 env->path(QStringLiteral("pick/fine.css"))});
        click("cmdSelectFiles");
        QVERIFY(QFile::remove(env->path(QStringLiteral("pick/lost.css"))));
        env->prompt.answer(Prompt::Ok);
        click("cmdUpdate");
        // What could be done was done; what could not is named.
        QCOMPARE(readTestFile(store() + QStringLiteral("/Blue/fine.css")), QByteArray("f"));
        QCOMPARE(env->prompt.messages().size(), 1);
        const QString text = env->prompt.messages().constFirst().text;
        QVERIFY2(text.startsWith(QStringLiteral("Not everything could be done:\nCopying \"") +
                                 env->path(QStringLiteral("pick/lost.css")) +
                                 QStringLiteral("\" to \"") + store() +
                                 QStringLiteral("/Blue/lost.css\" failed: ")),
                 qPrintable(text));
    }

    void failedDeletesKeepTheirEntries() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/kept.css"), "k");
        const QString folder = store() + QStringLiteral("/Blue");
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) != 0)
            QSKIP("no immutable flag here");
        const auto restore = qScopeGuard([&] {
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
        });
        open();
        clickTemplate(0);
        env->prompt.answer(Prompt::Ok);
        deleteByMenu(fileList(), 0, window->fileMenu());
        QCOMPARE(env->prompt.messages().size(), 1);
        QVERIFY2(env->prompt.messages().constFirst().text.startsWith(
                     QStringLiteral("Not everything could be done:\nDeleting \"") + folder +
                     QStringLiteral("/kept.css\" failed: ")),
                 qPrintable(env->prompt.messages().constFirst().text));
        QCOMPARE(texts(fileList()), QStringList{QStringLiteral("../Blue/kept.css")});

        env->prompt.clear();
        env->prompt.answer(Prompt::Yes);
        env->prompt.answer(Prompt::Ok);
        deleteByMenu(templateList(), 0, window->templateMenu());
        QCOMPARE(env->prompt.messages().at(1).text,
                 QStringLiteral("Not everything could be done:\nDeleting the folder \"") + folder +
                     QStringLiteral("\" failed: not everything in it could be removed."));
        QCOMPARE(texts(templateList()), QStringList{QStringLiteral(" Blue")});
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/kept.css")));
    }

    void deletingTemplateAsksFirst() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/locked/a.css"), "a");
        QFile::setPermissions(store() + QStringLiteral("/Blue/locked/a.css"), QFile::ReadOwner);
        open();
        env->prompt.answer(Prompt::No);
        deleteByMenu(templateList(), 0, window->templateMenu());
        QCOMPARE(env->prompt.messages().size(), 1);
        QCOMPARE(env->prompt.messages().constFirst().text,
                 QStringLiteral("Delete the template \"Blue\" with all its files?"));
        QCOMPARE(env->prompt.messages().constFirst().buttons, Prompt::Buttons::YesNo);
        QVERIFY(QFileInfo::exists(store() + QStringLiteral("/Blue/index.html")));
        QCOMPARE(texts(templateList()), QStringList{QStringLiteral(" Blue")});

        env->prompt.answer(Prompt::Yes);
        deleteByMenu(templateList(), 0, window->templateMenu());
        QVERIFY(!QFileInfo::exists(store() + QStringLiteral("/Blue")));
        QCOMPARE(templateList()->topLevelItemCount(), 0);
        QCOMPARE(box("txtTemplateName")->text(), QString());
        QCOMPARE(box("txtIndexFile")->text(), QString());
        QCOMPARE(fileList()->topLevelItemCount(), 0);
        QVERIFY(find<QGroupBox>("fraDetails")->isEnabled());
    }

    void editIndexOpensTheShownFile() {
        writeTestFile(store() + QStringLiteral("/Blue/index.html"), kFrame);
        writeTestFile(store() + QStringLiteral("/Blue/zz/myindex.html"), "y");
        const QString record = env->path(QStringLiteral("opened.txt"));
        const QString editor = env->path(QStringLiteral("editor.sh"));
        writeTestFile(editor, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + record.toUtf8() + "\"\n");
        QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("VISUAL", editor.toUtf8());
        const auto unset = qScopeGuard([] { qunsetenv("VISUAL"); });
        open();
        clickTemplate(0);
        click("cmdEditIndex");
        QTRY_COMPARE(readTestFile(record),
                     (store() + QStringLiteral("/Blue/zz/myindex.html")).toUtf8());
    }
};

QTEST_MAIN(TemplatesTest)
#include "tst_templates.moc"
