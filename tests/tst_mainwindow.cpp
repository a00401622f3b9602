#include "controls/taskpane.h"
#include "foundation/settings.h"
#include "foundation/settingsstore.h"
#include "project/projectfile.h"
#include "project/recentprojects.h"
#include "shell/aboutdialog.h"
#include "shell/commandline.h"
#include "shell/mainwindow.h"
#include "shell/settingsdialog.h"
#include "shell/theme.h"
#include "support/testenvironment.h"
#include "wizard/datasourcepage.h"
#include "wizard/finishpage.h"
#include "wizard/querypage.h"
#include "wizard/wizard.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

const QString kHome = QStringLiteral("Home");

// A project on a copy of the sample database, saved at the table step.
QString saveSampleProject(const TestEnvironment& env, const QString& name) {
    const QString database = env.path(QStringLiteral("shop.db"));
    if (!QFileInfo::exists(database))
        QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE), database);
    Project p;
    p.DatabaseName = database;
    p.DatasourceType = 7;
    p.TableName = QStringLiteral("Orders");
    const QString file = env.path(name);
    saveProjectFile(file, p, 3);
    return file;
}

// Starts the window with the sample database in the data file box.
void startOnSample(MainWindow& window, const TestEnvironment& env) {
    window.load({});
    const QString database = env.path(QStringLiteral("shop.db"));
    if (!QFileInfo::exists(database))
        QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE), database);
    window.wizard().dataSourcePage().txtDataSource()->setText(database);
}

QPushButton* button(MainWindow& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

QString stepCaption(MainWindow& window) {
    return window.findChild<QLabel*>(QStringLiteral("lblStepStatus"))->text();
}

int visibleStep(MainWindow& window) {
    return window.findChild<QStackedWidget*>(QStringLiteral("iefStepFrame"))->currentIndex() + 1;
}

QStringList recentCaptions(MainWindow& window) {
    QStringList captions;
    for (QAction* action : window.recentActions())
        captions << action->text();
    return captions;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsIntoAnEmptyProject() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessaline"));
        QCOMPARE(window.statusText(), QStringLiteral("Ready"));
        // A screen reader reads the message itself.
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(
            window.findChild<QLabel*>(QStringLiteral("sbStatusText")));
        QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Ready"));
        QCOMPARE(status->text(QAccessible::Description), QStringLiteral("Status"));
        QCOMPARE(window.session().currentStep, 1);
        QCOMPARE(stepCaption(window), QStringLiteral("Select Data Source"));
        QCOMPARE(visibleStep(window), 1);
        QCOMPARE(button(window, "cmdNext")->text(), QStringLiteral("&Next"));
        QVERIFY(window.findChild<QGroupBox*>(QStringLiteral("fraStep(0)"))->isVisible());
        QVERIFY(!window.findChild<QGroupBox*>(QStringLiteral("fraStep(1)"))->isVisible());
        TaskPane& pane = window.taskPane();
        QCOMPARE(pane.itemCount(kHome), 10);
        QCOMPARE(pane.itemCount(QStringLiteral("Options")), 2);
        QVERIFY(pane.itemBold(kHome, 1));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(pane.itemIconKey(kHome, i), QStringLiteral("UNCHECK"));
        QCOMPARE(Theme::code(), 2); // nothing stored: Blue
        QVERIFY(env.prompt.messages().isEmpty());
        QVERIFY(window.recentActions().isEmpty());
        QVERIFY(!window.findChild<QAction*>(QStringLiteral("mnuSep3"))->isVisible());
    }

    void menusToolBarAndPopup() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        const auto action = [&](const char* name) {
            return window.findChild<QAction*>(QString::fromLatin1(name));
        };
        QCOMPARE(action("mnuNew")->text(), QStringLiteral("&New"));
        QCOMPARE(action("mnuNew")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(action("mnuOpen")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(action("mnuSave")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(action("mnuExit")->text(), QStringLiteral("E&xit"));
        QCOMPARE(action("mnuExit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
        QVERIFY(action("mnuShowBar")->isChecked());
        QCOMPARE(action("mnuContent")->text(), QStringLiteral("&Content"));
        QCOMPARE(action("mnuAbout")->text(), QStringLiteral("&About"));
        QStringList popup;
        for (QAction* item : window.popupMenu()->actions())
            popup << item->text();
        QCOMPARE(popup, (QStringList{QStringLiteral("Select All"), QStringLiteral("Deselect All"),
                                     QStringLiteral("Inverse Select")}));
        QStringList keys;
        for (QAction* tool : window.findChild<QToolBar*>(QStringLiteral("tlbMenuTool"))->actions())
            keys << tool->data().toString();
        QCOMPARE(keys,
                 (QStringList{QStringLiteral("New"), QStringLiteral("Open"), QStringLiteral("Save"),
                              QStringLiteral("Configure"), QStringLiteral("Help")}));
    }

    void commandLinePaths() {
        TestEnvironment env;
        const QString file = saveSampleProject(env, QStringLiteral("my project.pjx"));
        QCOMPARE(projectPathFromCommandLine({}), QString());
        QCOMPARE(
            projectPathFromCommandLine({QStringLiteral("\"") + file + QStringLiteral("\" -x")}),
            file);
        QCOMPARE(projectPathFromCommandLine(file.split(QLatin1Char(' '))), file);
        QCOMPARE(projectPathFromCommandLine({file, QStringLiteral("--extra")}), file);
        QCOMPARE(projectPathFromCommandLine({QStringLiteral("/no/such.pjx")}),
                 QStringLiteral("/no/such.pjx"));

        // A name with a literal quotation mark, passed unquoted, opens.
        const QString quoted = saveSampleProject(env, QStringLiteral("the \"best\" shop.pjx"));
        QCOMPARE(projectPathFromCommandLine({quoted}), quoted);
        // A relative path is made absolute, so that it works from any folder later.
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QFileInfo(file).absolutePath()));
        QCOMPARE(projectPathFromCommandLine({QStringLiteral("my project.pjx")}), file);
        MainWindow window(env.prompt);
        window.load({QStringLiteral("my"), QStringLiteral("project.pjx")});
        QVERIFY(QDir::setCurrent(folder));
        QCOMPARE(window.session().projectFile, file);
        QCOMPARE(recentCaptions(window), QStringList{QStringLiteral("1. ") + file});
    }

    void startsWithAProjectFromTheCommandLine() {
        TestEnvironment env;
        const QString file = saveSampleProject(env, QStringLiteral("shop.pjx"));
        MainWindow window(env.prompt);
        window.load(
            {QStringLiteral("\"") + file + QStringLiteral("\""), QStringLiteral("trailing")});
        QCOMPARE(window.session().projectFile, file);
        QCOMPARE(window.session().projectOrigin, int(OriginLoaded));
        QCOMPARE(window.session().project.TableName, QStringLiteral("Orders"));
        QCOMPARE(recentCaptions(window), QStringList{QStringLiteral("1. ") + file});
        QVERIFY(window.findChild<QAction*>(QStringLiteral("mnuSep3"))->isVisible());
        QVERIFY(window.isVisible());
    }

    void startsWithAMissingProject() {
        TestEnvironment env;
        const QString missing = env.path(QStringLiteral("gone.pjx"));
        RecentProjects().UpdateRecent(missing);
        env.prompt.answer(Prompt::Ok);
        MainWindow window(env.prompt);
        window.load({missing});
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(env.prompt.messages().constFirst().text,
                 QStringLiteral("The project file no longer exists! Please select another."));
        QCOMPARE(window.session().project, Project{});
        QCOMPARE(window.session().projectOrigin, int(OriginNew));
        QVERIFY(window.recentActions().isEmpty()); // the missing file left the list
        QVERIFY(window.isVisible());
        QCOMPARE(window.statusText(), QStringLiteral("Ready"));
    }

    void anUnreadableProjectIsNotOpened() {
        TestEnvironment env;
        // A file that exists and that nobody, root included, may read.
        const QString unreadable = QStringLiteral("/proc/sys/vm/drop_caches");
        if (!QFileInfo(unreadable).isFile() || QFile(unreadable).open(QIODevice::ReadOnly))
            QSKIP("This machine has no file that cannot be read.");
        env.prompt.answer(Prompt::Ignore);
        MainWindow window(env.prompt);
        window.load({unreadable});
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY2(env.prompt.messages().constFirst().text.contains(QStringLiteral("cannot read")),
                 qPrintable(env.prompt.messages().constFirst().text));
        QCOMPARE(window.session().project, Project{});
        QCOMPARE(window.session().projectOrigin, int(OriginNew));
        QVERIFY(window.session().projectFile.isEmpty());
        QVERIFY(window.recentActions().isEmpty());
        // The same through the recent list: still nothing opened or listed.
        env.prompt.answer(Prompt::Ignore);
        window.openRecentProject(unreadable);
        QCOMPARE(window.session().projectOrigin, int(OriginNew));
        QVERIFY(window.recentActions().isEmpty());
    }

    void newOpenSaveAndRecentMenu() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        const QString first = saveSampleProject(env, QStringLiteral("first.pjx"));
        env.prompt.answerFile(first);
        window.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
        QCOMPARE(window.session().project.TableName, QStringLiteral("Orders"));
        QCOMPARE(window.session().projectFile, first);

        const QString second = env.path(QStringLiteral("second & more.pjx"));
        window.session().projectFile.clear();
        env.prompt.answerFile(second);
        window.findChild<QToolBar*>(QStringLiteral("tlbMenuTool"))->actions().at(2)->trigger();
        QVERIFY(QFileInfo::exists(second));
        QCOMPARE(window.session().projectOrigin, int(OriginSaving));
        QCOMPARE(window.recentActions().size(), 2);
        QCOMPARE(window.recentActions().at(0)->data().toString(), second);
        QCOMPARE(window.recentActions().at(0)->text(),
                 QStringLiteral("1. ") + env.path(QStringLiteral("second && more.pjx")));
        QCOMPARE(window.recentActions().at(1)->text(), QStringLiteral("2. ") + first);

        window.findChild<QAction*>(QStringLiteral("mnuNew"))->trigger();
        QCOMPARE(window.session().project, Project{});
        QCOMPARE(window.session().projectFile, QString());
        QCOMPARE(window.session().projectOrigin, int(OriginNew));

        window.recentActions().at(1)->trigger();
        QCOMPARE(window.session().projectFile, first);
        QCOMPARE(window.session().project.TableName, QStringLiteral("Orders"));
        QCOMPARE(window.recentActions().at(0)->data().toString(), first);

        QVERIFY(QFile::remove(second));
        env.prompt.answer(Prompt::Ok);
        window.recentActions().at(1)->trigger();
        QCOMPARE(env.prompt.messages().constLast().title, QStringLiteral("No Project found."));
        QCOMPARE(window.recentActions().size(), 1);
        QVERIFY(env.prompt.allAnswersUsed());
    }

    void recentListKeepsFiveWholeEntries() {
        TestEnvironment env;
        const RecentProjects recent;
        for (int i = 1; i <= 6; ++i)
            recent.UpdateRecent(QStringLiteral("/p/%1.pjx").arg(i));
        QCOMPARE(recent.entries(),
                 (QStringList{QStringLiteral("/p/6.pjx"), QStringLiteral("/p/5.pjx"),
                              QStringLiteral("/p/4.pjx"), QStringLiteral("/p/3.pjx"),
                              QStringLiteral("/p/2.pjx")}));
        recent.UpdateRecent(QStringLiteral("/p/4.pjx"));
        QCOMPARE(recent.entries().first(), QStringLiteral("/p/4.pjx"));
        QCOMPARE(recent.entries().size(), 5);
        recent.UpdateRecent(QStringLiteral("/P/4.pjx")); // letter case matters
        QCOMPARE(recent.entries().size(), 5);
        QCOMPARE(recent.entries().at(1), QStringLiteral("/p/4.pjx"));
        recent.RemoveRecent(QStringLiteral("/p/6.pjx"));
        recent.UpdateRecent(QStringLiteral("/p/new.pjx"));
        // The removal left no gap, so every remaining entry is still read.
        QCOMPARE(recent.entries(),
                 (QStringList{QStringLiteral("/p/new.pjx"), QStringLiteral("/P/4.pjx"),
                              QStringLiteral("/p/4.pjx"), QStringLiteral("/p/5.pjx"),
                              QStringLiteral("/p/3.pjx")}));
        const QString ini = env.readFile(RecentProjects::defaultListFile());
        QVERIFY(ini.contains(QStringLiteral("File5=/p/3.pjx")));
        QVERIFY(!ini.contains(QStringLiteral("File6")));
        QCOMPARE(RecentProjects::pathFromCaption(QStringLiteral("2. /a. b.pjx")),
                 QStringLiteral("/a. b.pjx"));
        QCOMPARE(RecentProjects::caption(0, QStringLiteral("/x.pjx")), QStringLiteral("1. /x.pjx"));
    }

    void exitQuestion() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        startOnSample(window, env);
        window.onNextClicked();
        window.onNextClicked();
        window.onNextClicked();
        QCOMPARE(window.session().currentStep, 4);
        env.prompt.answer(Prompt::No);
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        const Prompt::Message& question = env.prompt.messages().constLast();
        QCOMPARE(question.text, QStringLiteral("Would you like to exit Tessaline?"));
        QCOMPARE(question.title, QStringLiteral("Tessaline"));
        QCOMPARE(question.buttons, Prompt::Buttons::YesNo);
        QVERIFY(button(window, "cmdCancel")->isEnabled());
        QCOMPARE(window.session().currentStep, 4);

        env.prompt.answer(Prompt::No);
        window.findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
        QVERIFY(window.isVisible());

        env.prompt.answer(Prompt::Yes);
        button(window, "cmdCancel")->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(env.prompt.messages().size(), 3);
    }

    void stepsWalkWithTheLoginSkip() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        startOnSample(window, env);
        QPushButton* back = button(window, "cmdBack");
        back->click();
        QVERIFY(!back->isEnabled());
        QCOMPARE(window.session().currentStep, 1);
        QStringList seen;
        for (int i = 0; i < 8; ++i) {
            button(window, "cmdNext")->click();
            seen << QString::number(window.session().currentStep);
        }
        // Without a login page the login step is never shown.
        QCOMPARE(seen.join(QLatin1Char(',')), QStringLiteral("2,3,4,5,6,7,8,10"));
        QCOMPARE(stepCaption(window), QStringLiteral("Finish"));
        QCOMPARE(button(window, "cmdNext")->text(), QStringLiteral("&Finish"));
        QVERIFY(window.taskPane().itemBold(kHome, 10));
        QCOMPARE(window.taskPane().itemIconKey(kHome, 9), QStringLiteral("UNCHECK"));
        QCOMPARE(window.taskPane().itemIconKey(kHome, 8), QStringLiteral("CHECK"));
        back->click();
        QCOMPARE(window.session().currentStep, 8);
        QCOMPARE(stepCaption(window), QStringLiteral("Form Layout"));
        window.session().project.LoginPage = true;
        button(window, "cmdNext")->click();
        QCOMPARE(window.session().currentStep, 9);
        QCOMPARE(stepCaption(window), QStringLiteral("Login"));
        QVERIFY(window.findChild<QGroupBox*>(QStringLiteral("fraStep(8)"))->isVisible());
    }

    void statusCodes() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        startOnSample(window, env);
        window.setStatus(1);
        QCOMPARE(window.statusText(), QStringLiteral("Please wait! Connecting to data source..."));
        QCOMPARE(window.statusIconKey(), QStringLiteral("DBCONNECT"));
        window.setStatus(2); // not a status: nothing changes
        QCOMPARE(window.statusText(), QStringLiteral("Please wait! Connecting to data source..."));
        QCOMPARE(window.statusIconKey(), QStringLiteral("DBCONNECT"));
        window.setStatus(3);
        QCOMPARE(window.statusText(), QStringLiteral("Please wait! Retrieving values..."));
        QCOMPARE(window.statusIconKey(), QStringLiteral("POPULATE"));
        window.setStatus(4);
        QCOMPARE(window.statusText(), QStringLiteral("Please wait! Generating result..."));
        window.setStatus(5);
        QCOMPARE(window.statusIconKey(), QStringLiteral("REFRESH"));
        window.setStatus(6);
        QCOMPARE(window.statusText(), QStringLiteral("Please wait aborting..."));
        QCOMPARE(window.statusIconKey(), QString());
        window.onNextClicked();
        window.onNextClicked();
        window.setStatus(1);
        QCOMPARE(window.statusText(), QStringLiteral("Please wait! Connecting to tablesource..."));
        window.onNextClicked();
        window.setStatus(1);
        QCOMPARE(window.statusText(), QStringLiteral("Please wait! Initializing..."));
        window.setStatus(0);
        QCOMPARE(window.statusText(), QStringLiteral("Ready"));
    }

    void showBarTogglesThePane() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        QAction* showBar = window.findChild<QAction*>(QStringLiteral("mnuShowBar"));
        showBar->trigger();
        QVERIFY(!showBar->isChecked());
        QVERIFY(!window.taskPane().isVisible());
        showBar->trigger();
        QVERIFY(window.taskPane().isVisible());
        window.findChild<QToolButton*>(QStringLiteral("cmdCloseTaskPane"))->click();
        QVERIFY(!window.taskPane().isVisible());
        QVERIFY(!showBar->isChecked());
    }

    void helpOpensTheShippedGuide() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        QList<QUrl> opened;
        window.setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        window.load({});
        window.showHelp(); // no help folder: nothing, and no message
        QVERIFY(opened.isEmpty());
        QVERIFY(QDir().mkpath(env.programFolder() + QStringLiteral("/help")));
        env.writeFile(env.programFolder() + QStringLiteral("/help/index.html"), "<html></html>");
        window.findChild<QAction*>(QStringLiteral("mnuContent"))->trigger();
        window.taskPane().click(QStringLiteral("Options"), QStringLiteral("Help"));
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.first(),
                 QUrl::fromLocalFile(env.programFolder() + QStringLiteral("/help/index.html")));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void aboutBox() {
        TestEnvironment env;
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Tessaline"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Tessaline 1.0.0 for Linux"));
        QVERIFY(about.findChild<QPushButton*>(QStringLiteral("cmdOk")) != nullptr);
    }

    void settingsDialogStoresIntegers() {
        TestEnvironment env;
        Theme::apply(Settings::readThemeCode());
        {
            SettingsDialog dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Configure"));
            QVERIFY(!dialog.chkOption(0)->isChecked());
            QVERIFY(!dialog.chkOption(1)->isChecked());
            QCOMPARE(dialog.icbSkinTheme()->currentText(), QStringLiteral("Blue"));
            QCOMPARE(dialog.icbSkinTheme()->count(), 4);
            // The theme box clear: the choice in the list is not taken.
            dialog.icbSkinTheme()->setCurrentIndex(2);
            dialog.onSaveClicked();
        }
        QCOMPARE(Theme::code(), 2);
        QCOMPARE(registryValue(HKEY_LOCAL_MACHINE, Settings::ConfigureKey, QStringLiteral("Theme")),
                 QVariant(2));
        {
            SettingsDialog dialog;
            dialog.chkOption(1)->setChecked(true);
            dialog.icbSkinTheme()->setCurrentIndex(2);
            dialog.onSaveClicked();
        }
        QCOMPARE(Theme::code(), 3);
        SettingsStore registry;
        registry.setClassKey(HKEY_LOCAL_MACHINE);
        registry.setSectionKey(Settings::ConfigureKey);
        for (const auto& [name, value] : {std::pair{QStringLiteral("Associate"), 0},
                                          std::pair{QStringLiteral("ThemeSupport"), 1},
                                          std::pair{QStringLiteral("Theme"), 3}}) {
            registry.setValueKey(name);
            QCOMPARE(registry.value(), QVariant(value));
            QCOMPARE(registry.valueType(), int(REG_DWORD));
        }
        {
            // "System" shares Silver's code, so Silver is what reopening shows.
            SettingsDialog dialog;
            QVERIFY(dialog.chkOption(1)->isChecked());
            QCOMPARE(dialog.icbSkinTheme()->currentText(), QStringLiteral("OliveGreen"));
            dialog.icbSkinTheme()->setCurrentIndex(0);
            dialog.onSaveClicked();
        }
        SettingsDialog reopened;
        QCOMPARE(reopened.icbSkinTheme()->currentText(), QStringLiteral("Silver"));
        QCOMPARE(Settings::readThemeCode(), 4);
        Theme::apply(2);
    }

    void configureButtonOpensTheDialogModally() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        bool seen = false;
        connect(&window, &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
            seen = dialog->windowTitle() == QLatin1String("Configure");
            QTimer::singleShot(0, dialog, [dialog] {
                dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
            });
        });
        window.findChild<QToolBar*>(QStringLiteral("tlbMenuTool"))->actions().at(3)->trigger();
        QVERIFY(seen);
        // Cancel stores nothing.
        SettingsStore registry;
        registry.setClassKey(HKEY_LOCAL_MACHINE);
        registry.setSectionKey(Settings::ConfigureKey);
        registry.setValueKey(QStringLiteral("Theme"));
        QCOMPARE(registry.value(), QVariant());
    }

    void everyControlHasAnAccessibleName() {
        TestEnvironment env;
        MainWindow window(env.prompt);
        window.load({});
        SettingsDialog configure;
        AboutDialog about;
        for (QWidget* root : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&configure),
                              static_cast<QWidget*>(&about)}) {
            for (QWidget* widget : root->findChildren<QWidget*>()) {
                const bool control =
                    qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                    qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
                    qobject_cast<QGroupBox*>(widget);
                // Parts no one can reach (a hidden header, Qt's own helpers) need no name.
                // A combo box speaks for its own drop-down list.
                const bool insideCombo =
                    qobject_cast<QComboBox*>(widget->parentWidget()) ||
                    (widget->parentWidget() &&
                     qobject_cast<QComboBox*>(widget->parentWidget()->parentWidget()));
                const bool reachable =
                    !widget->objectName().startsWith(QLatin1String("qt_")) &&
                    !(qobject_cast<QHeaderView*>(widget) && widget->isHidden()) && !insideCombo;
                if (control && reachable)
                    QVERIFY2(!widget->accessibleName().isEmpty(),
                             qPrintable(widget->objectName() + QLatin1Char(' ') +
                                        QString::fromLatin1(widget->metaObject()->className())));
            }
        }
        QCOMPARE(button(window, "cmdNext")->accessibleName(), QStringLiteral("Next"));
        // Each step hands the keyboard to its first control, never to the pane's close button.
        QWidget* focused = window.focusWidget();
        QVERIFY(focused != nullptr);
        QVERIFY(window.findChild<QWidget*>(QStringLiteral("fraStep(0)"))->isAncestorOf(focused));
        // Names follow what the buttons read, and hidden headers name their columns.
        window.session().currentStep = 10;
        window.showCurrentStep();
        QCOMPARE(button(window, "cmdNext")->accessibleName(), QStringLiteral("Finish"));
        QPushButton* more = window.wizard().queryPage().moreButton();
        more->click();
        QCOMPARE(more->text(), QStringLiteral("&Basic"));
        QCOMPARE(more->accessibleName(), QStringLiteral("Basic"));
        const QAbstractItemModel* tasks = window.wizard().finishPage().grdFinish()->model();
        QCOMPARE(tasks->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Task"));
        QCOMPARE(tasks->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Status"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
