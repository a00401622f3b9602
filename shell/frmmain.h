#pragma once

#include "project/projectsession.h"
#include "project/recentprojects.h"
#include "wizard/wizardnavigator.h"

#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <vector>

class QAction;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolBar;

namespace ordwick {

class DataSourcePage;
class GenerationEngine;
class FeaturesPage;
class FinishPage;
class QueryPage;
class Prompt;
class TableSourcePage;
class TaskPane;

// The main window: the wizard's frame with its menus, tool bar, status bar,
// task pane, the ten step frames and the step buttons.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit frmMain(Prompt& prompt, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: prepares the window, opens the project named by the command
    // line arguments (without the program name) and shows the window.
    void Form_Load(const QStringList& arguments);

    void SetStatusbar(int code);
    void NewProject();
    void UpdateUIStatus();
    void LoadRecent();

    // The commands of the menus and the tool bar.
    void newProjectCommand();
    void openProjectCommand();
    void saveProjectCommand();
    void openRecentProject(const QString& path);
    void showBarCommand();
    void helpCommand();
    void aboutCommand();
    void configureCommand();
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void optDataSource_Click(int index);
    void cmdDataSource_Click();
    void cmdRefresh_Click();
    void icbDataSource_Click();
    void cmdConnectionString_Click();
    void cmdDestinationPath_Click();
    // The engine reports the task shown in grid row progressStatus + 1 done.
    void oObject_Progress(int progressStatus);
    void chkCopyDatabase_Click(bool checked);

    ProjectSession& session() { return m_session; }
    bool isLoading() const { return m_loading; }
    QString statusText() const;
    QString statusIconKey() const;
    QList<QAction*> recentActions() const { return m_recentActions; }
    TaskPane& taskPane() { return *m_taskPane; }
    DataSourcePage& dataSourcePage() { return *m_dataSourcePage; }
    TableSourcePage& tableSourcePage() { return *m_tableSourcePage; }
    FeaturesPage& featuresPage() { return *m_featuresPage; }
    QueryPage& queryPage() { return *m_queryPage; }
    FinishPage& finishPage() { return *m_finishPage; }
    QMenu* popupMenu() const { return m_popupMenu; }

    // How help pages are opened; the desktop's browser unless replaced.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // The generation engine library a run loads; the one beside the program by default.
    void setEngineLibrary(const QString& path) { m_engineLibrary = path; }
    bool generating() const { return m_oObject != nullptr; }
Q_SIGNALS:
    // A modal dialog (About, settings) is about to run; lets callers reach it.
    void dialogOpened(QDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QWidget* buildStepArea();
    void buildTaskPane();
    void setTaskPaneVisible(bool visible);
    bool UpdateProjectSettings(int step);
    // Cancel's question; true when the window may close.
    bool confirmExit();
    void refreshWizard();
    void showDialog(QDialog& dialog);
    bool applyDataSourceStep();
    bool applyFeaturesStep();
    bool applyTableStep();
    bool applyQueryStep();
    bool applyColumnCustomizationStep();
    void prepareFinish();
    void finish();
    void GenerateASPScript();
    void oObject_Aborted(bool state);
    void resetProgress();
    void offerNewProject(const QString& firstLine);
    // Shows the data source of a project just opened in the first step.
    void showLoadedDataSource();

    Prompt& m_prompt;
    ProjectSession m_session;
    RecentProjects m_recent;
    WizardNavigator m_navigator;
    UrlOpener m_openUrl;
    QString m_engineLibrary;
    // The engine of the run in progress; empty between runs.
    GenerationEngine* m_oObject = nullptr;

    bool m_loading = false;
    bool m_exitConfirmed = false;

    TaskPane* m_taskPane = nullptr;
    DataSourcePage* m_dataSourcePage = nullptr;
    TableSourcePage* m_tableSourcePage = nullptr;
    FeaturesPage* m_featuresPage = nullptr;
    QueryPage* m_queryPage = nullptr;
    FinishPage* m_finishPage = nullptr;
    QStackedWidget* m_stepFrames = nullptr;
    std::vector<QGroupBox*> m_fraStep;
    QLabel* m_lblStepStatus = nullptr;
    QPushButton* m_cmdBack = nullptr;
    QPushButton* m_cmdNext = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QLabel* m_statusIcon = nullptr;
    QLabel* m_statusText = nullptr;
    QString m_statusIconKey;
    QAction* m_showBar = nullptr;
    QAction* m_recentSeparator = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_popupMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QList<QAction*> m_recentActions;
};

} // namespace ordwick
