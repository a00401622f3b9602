#pragma once

#include <QStackedWidget>
#include <functional>
#include <vector>

class QDialog;
class QGroupBox;
class QMenu;

namespace ordwick {

class ColumnCustomizationPage;
class ColumnOrderPage;
class DataSourcePage;
class FeaturesPage;
class FinishPage;
class LayoutPage;
class LoginPage;
class NumberedBlocks;
class ProjectSession;
class Prompt;
class QueryPage;
class SearchPage;
class TableSourcePage;

// The ten step frames and their pages, and what happens when a step is
// applied, shown, cleared for a new project or filled from an opened one.
// The rules live in the step classes (DataSourceStep, TableStep, ...); this
// class hands each step what the others produced. The main window routes the
// buttons and menus here and owns nothing of a step.
class Wizard final : public QStackedWidget {
    Q_OBJECT
public:
    using StatusSetter = std::function<void(int code)>;

    Wizard(ProjectSession& session, Prompt& prompt, StatusSetter setStatus,
           QWidget* parent = nullptr);

    // Validates the step on screen and copies it into the project, filling the
    // steps that depend on it; false keeps the step on screen.
    bool apply(int step);
    // Puts the step's frame on screen with what the step shows on arrival.
    void showStep(int step);

    // A new project, in the numbered blocks of the caller: the pages are
    // cleared, then the first step is shown with its data source names.
    void clearPages(NumberedBlocks& blocks);
    void showFirstStep(NumberedBlocks& blocks);
    // Shows the data source of a project just opened in the first step.
    void showLoadedDataSource();
    // The data file chosen last time, or the sample database on a first start.
    void offerStartingDataFile();

    // Finish: checks the destination box and the page names, and stores the
    // box in the project; false when the user must correct either.
    bool takeDestination();
    // Locks what the user may change while a run writes the site.
    void setFinishControlsEnabled(bool enabled);

    // While a project is being loaded, option clicks are the loader's own.
    void setLoading(bool loading) { m_loading = loading; }

    // The user's actions on the pages.
    void onDataSourceOptionClicked(int index);
    void browseDataFile();
    void refreshDataSources();
    void onDataSourcePicked();
    void buildConnectionString();
    void browseDestination();
    void onCopyDatabaseToggled(bool checked);
    void openOrderDetails();
    void openRenameDialog();
    // "more" on a radio button or lookup field row of the add/edit grid.
    void openLookupDetails(int row);
    void loadLoginFields(const QString& table, const QString& loginField = {},
                         const QString& passwordField = {});
    // The window's grid popup, run by the pages whose grids offer it.
    void setPopupMenu(QMenu* menu);

    DataSourcePage& dataSourcePage() { return *m_dataSourcePage; }
    FeaturesPage& featuresPage() { return *m_featuresPage; }
    TableSourcePage& tableSourcePage() { return *m_tableSourcePage; }
    QueryPage& queryPage() { return *m_queryPage; }
    FinishPage& finishPage() { return *m_finishPage; }
    ColumnOrderPage& columnOrderPage() { return *m_columnOrderPage; }
    ColumnCustomizationPage& columnCustomizationPage() { return *m_columnCustomizationPage; }
    SearchPage& searchPage() { return *m_searchPage; }
    LayoutPage& layoutPage() { return *m_layoutPage; }
    LoginPage& loginPage() { return *m_loginPage; }

Q_SIGNALS:
    // A modal dialog is about to run; lets callers reach it.
    void dialogOpened(QDialog* dialog);

private:
    QGroupBox* addFrame(int step);
    bool applyDataSourceStep();
    bool applyFeaturesStep();
    bool applyTableStep();
    bool applyQueryStep();
    void fillColumnOrder();
    bool applyColumnOrderStep();
    bool applyColumnCustomizationStep();
    void prepareFinish();
    void prepareSearchAndLayout();
    bool applyLayoutStep();
    void prepareLogin();
    void showFinishStep();
    void focusFirstInput();

    ProjectSession& m_session;
    Prompt& m_prompt;
    StatusSetter m_setStatus;
    bool m_loading = false;

    DataSourcePage* m_dataSourcePage = nullptr;
    FeaturesPage* m_featuresPage = nullptr;
    TableSourcePage* m_tableSourcePage = nullptr;
    QueryPage* m_queryPage = nullptr;
    FinishPage* m_finishPage = nullptr;
    ColumnOrderPage* m_columnOrderPage = nullptr;
    ColumnCustomizationPage* m_columnCustomizationPage = nullptr;
    SearchPage* m_searchPage = nullptr;
    LayoutPage* m_layoutPage = nullptr;
    LoginPage* m_loginPage = nullptr;
};

} // namespace ordwick
