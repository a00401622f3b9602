#pragma once

#include "project/projectsession.h"
#include "project/recentprojects.h"
#include "wizard/wizardnavigator.h"

#include <QMainWindow>
#include <QUrl>
#include <functional>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;

namespace ordwick {

class GenerationRun;
class PreviewHost;
class Prompt;
class TaskPane;
class Wizard;

// The wizard's frame: menus, tool bar, status bar, task pane and the step
// buttons. It routes commands to the project session, the wizard's steps and
// the generation run, and keeps the window's state in step with them.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit MainWindow(Prompt& prompt, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: prepares the window, opens the project named by the command
    // line arguments (without the program name) and shows the window.
    void load(const QStringList& arguments);

    // The status bar's icon and text for a status code (0 "Ready", 1 connecting, ...).
    void setStatus(int code);
    // Puts the current step on screen: its frame, caption, button text and pane item.
    void showCurrentStep();
    void rebuildRecentMenu();

    // The commands of the menus, the tool bar and the step buttons.
    void newProject();
    void openProject();
    void saveProject();
    void openRecentProject(const QString& path);
    void onShowBarToggled();
    void showHelp();
    void showAbout();
    void showSettings();
    void onNextClicked();
    void onBackClicked();
    void onCancelClicked();
    // Serves a generated site on this machine and opens it in the browser.
    void previewSite(const QString& folder);

    ProjectSession& session() { return m_session; }
    Wizard& wizard() { return *m_wizard; }
    TaskPane& taskPane() { return *m_taskPane; }
    bool isLoading() const { return m_loading; }
    QString statusText() const;
    QString statusIconKey() const;
    QList<QAction*> recentActions() const { return m_recentActions; }
    QMenu* popupMenu() const { return m_popupMenu; }

    // How help pages are opened; the desktop's browser unless replaced.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // The generation engine library a run loads; the installed one by default.
    void setEngineLibrary(const QString& path) { m_engineLibrary = path; }
    bool generating() const;
    PreviewHost& previewHost() { return *m_preview; }

Q_SIGNALS:
    // A modal dialog (About, settings, connection builder) is about to run.
    void dialogOpened(QDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildTaskPane();
    void showStatusText(const QString& text);
    // After an attempt to open a project: shows it, or makes the empty one new.
    void openedOrNew(bool opened);
    QWidget* buildStepArea();
    // The record and the pages of a new, empty project.
    void resetProject();
    void refreshWizard();
    void showDialog(QDialog& dialog);
    void finish();
    void generate();
    // During a run only "stop" may act: everything that changes the project
    // or starts another run is locked.
    void setRunning(bool running);
    void offerNewProject(const QString& firstLine);
    // Cancel's question; true when the window may close.
    bool confirmExit();

    Prompt& m_prompt;
    ProjectSession m_session;
    RecentProjects m_recent;
    WizardNavigator m_navigator;
    UrlOpener m_openUrl;
    QString m_engineLibrary;
    // The run in progress; empty between runs.
    GenerationRun* m_run = nullptr;

    bool m_loading = false;
    bool m_exitConfirmed = false;

    TaskPane* m_taskPane = nullptr;
    Wizard* m_wizard = nullptr;
    QLabel* m_lblStepStatus = nullptr;
    QPushButton* m_cmdBack = nullptr;
    QPushButton* m_cmdNext = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QLabel* m_statusIcon = nullptr;
    QLabel* m_statusText = nullptr;
    QString m_statusIconKey;
    QAction* m_showBar = nullptr;
    QAction* m_previewAction = nullptr;
    PreviewHost* m_preview = nullptr;
    // The destination of the last run that wrote the whole site.
    QString m_lastSite;
    QAction* m_recentSeparator = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_popupMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QList<QAction*> m_projectActions;
    QList<QAction*> m_recentActions;
};

} // namespace ordwick
