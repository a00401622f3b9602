#include "wizard/wizard.h"

#include "controls/busycursor.h"
#include "datasource/dataconnection.h"
#include "foundation/busycall.h"
#include "foundation/filedialogs.h"
#include "foundation/odbcdatasources.h"
#include "foundation/paths.h"
#include "foundation/programfolder.h"
#include "foundation/prompt.h"
#include "foundation/runtimeerror.h"
#include "foundation/trap.h"
#include "generation/tasklist.h"
#include "project/projectsession.h"
#include "wizard/columncustomizationpage.h"
#include "wizard/columncustomizationstep.h"
#include "wizard/columnencodings.h"
#include "wizard/columnorderpage.h"
#include "wizard/columnorderstep.h"
#include "wizard/connectionstringdialog.h"
#include "wizard/datasourcepage.h"
#include "wizard/datasourcestep.h"
#include "wizard/featurespage.h"
#include "wizard/finishpage.h"
#include "wizard/finishstep.h"
#include "wizard/layoutpage.h"
#include "wizard/layoutstep.h"
#include "wizard/loginpage.h"
#include "wizard/loginstep.h"
#include "wizard/lookupdetailsdialog.h"
#include "wizard/orderbydialog.h"
#include "wizard/querypage.h"
#include "wizard/querystep.h"
#include "wizard/renamedialog.h"
#include "wizard/searchpage.h"
#include "wizard/searchstep.h"
#include "wizard/tablesourcepage.h"
#include "wizard/tablestep.h"
#include "wizard/wizardsteps.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>
#include <utility>

namespace ordwick {

namespace {

// What each step is for, shown in its frame above the step's controls.
const std::array<QString, kStepCount> kStepDescriptions = {
    QStringLiteral("Choose where the data comes from: a database, text or spreadsheet file, an "
                   "ODBC data source name, or a connection string."),
    QStringLiteral("Choose what the generated pages can do: add, edit and delete records, basic "
                   "and advanced search, sorting, paging and a login page."),
    QStringLiteral("Choose the table, the columns the pages show and the columns that identify "
                   "a record."),
    QStringLiteral("Adjust the query that selects the records, and add a condition."),
    QStringLiteral("Put the columns in the order the pages show them."),
    QStringLiteral("Caption, display, format, alignment and editing of every column."),
    QStringLiteral("Choose the columns offered by basic and advanced search."),
    QStringLiteral("Choose the layout options and the HTML template that frames the pages."),
    QStringLiteral("Set the login name and password, or the table that holds the logins."),
    QStringLiteral("Choose the folder the web application is written to, and generate it."),
};

// Clears what the user typed or chose, leaving the frames alone.
void resetControls(QWidget* root) {
    for (QLineEdit* edit : root->findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parentWidget()) == nullptr)
            edit->clear();
    }
    for (QCheckBox* box : root->findChildren<QCheckBox*>())
        box->setChecked(false);
    for (QRadioButton* option : root->findChildren<QRadioButton*>()) {
        const bool exclusive = option->autoExclusive();
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(exclusive);
    }
    for (QComboBox* combo : root->findChildren<QComboBox*>())
        combo->clear();
    for (QTextEdit* text : root->findChildren<QTextEdit*>())
        text->clear();
    for (QPlainTextEdit* text : root->findChildren<QPlainTextEdit*>())
        text->clear();
}

void addPage(QGroupBox* frame, QWidget* page) {
    static_cast<QVBoxLayout*>(frame->layout())->addWidget(page, 1);
}

} // namespace

Wizard::Wizard(ProjectSession& session, Prompt& prompt, StatusSetter setStatus, QWidget* parent)
    : QStackedWidget(parent), m_session(session), m_prompt(prompt),
      m_setStatus(std::move(setStatus)) {
    setObjectName(QStringLiteral("iefStepFrame"));
    for (int step = 1; step <= kStepCount; ++step) {
        QGroupBox* frame = addFrame(step);
        switch (step) {
        case 1:
            m_dataSourcePage = new DataSourcePage(frame);
            addPage(frame, m_dataSourcePage);
            break;
        case 2:
            m_featuresPage = new FeaturesPage(frame);
            addPage(frame, m_featuresPage);
            break;
        case 3:
            m_tableSourcePage = new TableSourcePage(m_session, m_prompt, m_setStatus, frame);
            addPage(frame, m_tableSourcePage);
            break;
        case 4:
            m_queryPage = new QueryPage(m_session, frame);
            addPage(frame, m_queryPage);
            break;
        case 5:
            m_columnOrderPage = new ColumnOrderPage(m_prompt, frame);
            addPage(frame, m_columnOrderPage);
            break;
        case 6:
            m_columnCustomizationPage = new ColumnCustomizationPage(m_prompt, frame);
            addPage(frame, m_columnCustomizationPage);
            break;
        case 7:
            m_searchPage = new SearchPage(frame);
            addPage(frame, m_searchPage);
            break;
        case 8:
            m_layoutPage = new LayoutPage(m_prompt, frame);
            addPage(frame, m_layoutPage);
            break;
        case 9:
            m_loginPage = new LoginPage(frame);
            addPage(frame, m_loginPage);
            break;
        case kFinishStep:
            m_finishPage = new FinishPage(frame);
            addPage(frame, m_finishPage);
            break;
        default:
            static_cast<QVBoxLayout*>(frame->layout())->addStretch();
            break;
        }
    }
    connect(m_dataSourcePage, &DataSourcePage::optionClicked, this,
            &Wizard::onDataSourceOptionClicked);
    connect(m_dataSourcePage, &DataSourcePage::browseRequested, this, &Wizard::browseDataFile);
    connect(m_dataSourcePage, &DataSourcePage::refreshRequested, this, &Wizard::refreshDataSources);
    connect(m_dataSourcePage, &DataSourcePage::dataSourceClicked, this,
            &Wizard::onDataSourcePicked);
    connect(m_dataSourcePage, &DataSourcePage::connectionBuilderRequested, this,
            &Wizard::buildConnectionString);
    connect(m_finishPage, &FinishPage::destinationRequested, this, &Wizard::browseDestination);
    connect(m_finishPage, &FinishPage::copyDatabaseClicked, this, &Wizard::onCopyDatabaseToggled);
    connect(m_finishPage, &FinishPage::renameRequested, this, &Wizard::openRenameDialog);
    connect(m_layoutPage, &LayoutPage::orderDetailsRequested, this, &Wizard::openOrderDetails);
    connect(m_columnCustomizationPage, &ColumnCustomizationPage::lookupDetailsRequested, this,
            &Wizard::openLookupDetails);
    connect(m_loginPage, &LoginPage::tableChosen, this,
            [this](const QString& table) { loadLoginFields(table); });
}

QGroupBox* Wizard::addFrame(int step) {
    auto* frame = new QGroupBox(stepInfo(step).frameCaption, this);
    frame->setObjectName(QStringLiteral("fraStep(%1)").arg(step - 1));
    auto* layout = new QVBoxLayout(frame);
    auto* description = new QLabel(kStepDescriptions.at(static_cast<size_t>(step - 1)), frame);
    description->setWordWrap(true);
    layout->addWidget(description);
    addWidget(frame);
    return frame;
}

bool Wizard::apply(int step) {
    bool applied = false;
    Trap(QStringLiteral("frmMain.UpdateProjectSettings"), [&] {
        switch (step) {
        case 1:
            applied = applyDataSourceStep();
            break;
        case 2:
            applied = applyFeaturesStep();
            break;
        case 3:
            applied = applyTableStep();
            break;
        case 4:
            applied = applyQueryStep();
            if (applied)
                fillColumnOrder();
            break;
        case 5:
            applied = applyColumnOrderStep();
            break;
        case 6:
            applied = applyColumnCustomizationStep();
            break;
        case 7:
            SearchStep::apply(m_session.project, m_searchPage->rows());
            applied = true;
            break;
        case 8:
            applied = applyLayoutStep();
            break;
        case 9:
            LoginStep::apply(m_session.project, m_loginPage->choice());
            prepareFinish();
            applied = true;
            break;
        default:
            // Finish stores its destination when the run starts.
            applied = true;
            break;
        }
        // Search and layout show the columns as the customization left them.
        if (applied && step == 6)
            prepareSearchAndLayout();
    });
    return applied;
}

void Wizard::showStep(int step) {
    const QString name = QStringLiteral("frmMain.UpdateUIStatus.");
    Trap(name + QStringLiteral("2"), [&] {
        if (step == 1)
            m_dataSourcePage->showFrame(m_session.project.DatasourceStatus);
    });
    Trap(name + QStringLiteral("3"), [&] {
        if (step == kFinishStep)
            showFinishStep();
    });
    Trap(name + QStringLiteral("5"), [&] {
        setCurrentIndex(step - 1);
        focusFirstInput();
    });
    Trap(name + QStringLiteral("6"), [&] {
        QComboBox* tables = m_tableSourcePage->icbTables();
        if (step == 3 && tables->currentIndex() < 0 && tables->count() > 0) {
            tables->setCurrentIndex(0);
            m_tableSourcePage->loadColumns();
        }
    });
}

void Wizard::focusFirstInput() {
    // The first control of the step that takes the keyboard, in tab order.
    QWidget* frame = currentWidget();
    for (QWidget* w = frame->nextInFocusChain(); w != nullptr && w != frame;
         w = w->nextInFocusChain()) {
        if (!frame->isAncestorOf(w))
            break;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(frame) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void Wizard::showFinishStep() {
    Project& project = m_session.project;
    const bool offered = FinishStep::offersDatabaseCopy(project);
    m_finishPage->chkCopyDatabase()->setVisible(offered);
    m_finishPage->chkCopyDatabase()->setChecked(offered);
    project.CopyDatabase = offered;
    m_finishPage->txtDestinationPath()->setText(FinishStep::shownDestination());
}

void Wizard::clearPages(NumberedBlocks& blocks) {
    blocks.run(3, [&] {
        resetControls(this);
        m_tableSourcePage->clear();
        m_searchPage->fill({}, false, false);
        m_dataSourcePage->txtConnectionString()->setText(
            DataSourcePage::startingConnectionString());
    });
}

void Wizard::showFirstStep(NumberedBlocks& blocks) {
    blocks.run(7, [&] { m_dataSourcePage->showFrame(DatasourceFile); });
    blocks.run(8, [&] { setCurrentIndex(0); });
    blocks.run(11, [&] { m_dataSourcePage->populateDataSources(); });
    blocks.run(12, [&] { m_dataSourcePage->selectOption(0); });
}

void Wizard::showLoadedDataSource() {
    const Project& project = m_session.project;
    m_dataSourcePage->selectOption(project.DatasourceStatus - 1);
    if (project.DatasourceStatus == DatasourceFile) {
        m_dataSourcePage->txtDataSource()->setText(project.DatabaseName);
        m_dataSourcePage->txtDatabaseLogin()->setText(project.DBLogin);
        m_dataSourcePage->txtDatabasePassword()->setText(project.DBPassword);
    } else if (project.DatasourceStatus == DatasourceDsn) {
        m_dataSourcePage->selectDataSource(project.DatabaseName);
        m_dataSourcePage->txtODBCLogin()->setText(project.DBLogin);
        m_dataSourcePage->txtODBCPassword()->setText(project.DBPassword);
    } else if (project.DatasourceStatus == DatasourceConnection) {
        // The typed string is what the project was made from.
        m_dataSourcePage->txtConnectionString()->setText(project.DatabaseName);
    }
}

void Wizard::offerStartingDataFile() {
    // A project opened from the command line keeps its own data file.
    if (!m_dataSourcePage->txtDataSource()->text().isEmpty())
        return;
    QString file = FileDialogs::lastDataFile();
    const QString sample = QualityPath(shippedDataFolder()) + QStringLiteral("samples/shop.db");
    if (file.isEmpty() && QFileInfo(sample).isFile())
        file = sample;
    m_dataSourcePage->txtDataSource()->setText(file);
}

bool Wizard::applyDataSourceStep() {
    DataSourceStep dataSource(m_session, m_prompt);
    const DataSourceStep::Outcome outcome = dataSource.takeChoice(m_dataSourcePage->choice());
    if (!outcome.taken) {
        if (outcome.focus)
            m_dataSourcePage->focus(*outcome.focus);
        return false;
    }
    m_featuresPage->setFeatures(Features::of(m_session.project));
    // A source that cannot be opened keeps the user here: moving on would
    // read the tables of whatever string was stored before.
    return m_tableSourcePage->loadTables(m_dataSourcePage->txtConnectionString()->text()) &&
           !m_session.project.ConnectionString.isEmpty();
}

bool Wizard::applyFeaturesStep() {
    Project& project = m_session.project;
    m_featuresPage->features().applyTo(project);
    // Access files and data source names can tell their keys now.
    if ((project.DatasourceStatus == DatasourceFile && project.DatasourceType == 1) ||
        project.DatasourceStatus == DatasourceDsn)
        m_tableSourcePage->loadPrimaryKey();
    return true;
}

bool Wizard::applyTableStep() {
    const TableStep::Refusal refusal =
        TableStep::apply(m_session.project, m_tableSourcePage->icbTables()->currentText(),
                         m_tableSourcePage->columns().rows(),
                         m_featuresPage->features().changesRecords(), m_session.projectOrigin);
    if (refusal) {
        m_prompt.warning(*refusal);
        m_tableSourcePage->grdColumns()->setFocus();
        return false;
    }
    m_queryPage->prepare();
    return true;
}

bool Wizard::applyQueryStep() {
    m_queryPage->setWhereText(QueryText::storedWhere(m_queryPage->whereText()));
    const QString statement =
        QueryText::checkedStatement(m_queryPage->selectText(), m_queryPage->whereText());
    if (!statement.isEmpty()) {
        const QString connection = m_session.project.ConnectionString;
        try {
            const BusyCursor busy;
            runResponsively([&] { openConnection(connection)->checkQuery(statement); });
        } catch (const RuntimeError& error) {
            if (error.number() != DataError::ErrorsInCommand &&
                error.number() != DataError::ParameterNotOptional)
                throw;
            m_prompt.warning(QueryText::invalidQueryMessage());
            return false;
        }
    }
    m_session.project.SQLString = m_queryPage->selectText();
    m_session.project.SQLWhereString = m_queryPage->whereText();
    return true;
}

void Wizard::fillColumnOrder() {
    const Project& project = m_session.project;
    m_columnOrderPage->setNames(ColumnOrderStep::orderedNames(project),
                                [&project](const QString& name) {
                                    for (const ColumnSettings& column : project.Columns) {
                                        if (column.ColumnName == name)
                                            return ColumnEncoding::dataTypeIconKey(column.DataType);
                                    }
                                    return QString();
                                });
}

bool Wizard::applyColumnOrderStep() {
    const QStringList names = m_columnOrderPage->names();
    ColumnOrderStep::apply(m_session.project, names);
    m_columnCustomizationPage->fill(ColumnCustomizationStep::fill(m_session.project, names, false),
                                    ColumnCustomizationStep::fill(m_session.project, names, true));
    return true;
}

bool Wizard::applyColumnCustomizationStep() {
    ColumnCustomizationPage& page = *m_columnCustomizationPage;
    // An editor still open keeps its text only if the grid accepts it.
    if (!page.endEdit())
        return false;
    const ColumnCustomizationStep::Refusal refusal = ColumnCustomizationStep::apply(
        m_session.project, page.model(0).rows(), page.model(1).rows());
    if (refusal) {
        m_prompt.warning(*refusal);
        return false;
    }
    return true;
}

void Wizard::prepareFinish() {
    m_finishPage->txtDestinationPath()->setText(m_session.project.DestinationPath);
    m_finishPage->fillTasks(m_session.project);
    FinishStep::registerPageFiles(m_session.project);
}

void Wizard::prepareSearchAndLayout() {
    const Project& project = m_session.project;
    // Filled even when the search step is skipped: Back still passes through
    // it and stores what it shows.
    m_searchPage->fill(SearchStep::rows(project), project.SimpleSearch, project.AdvancedSearch);
    m_layoutPage->fill(LayoutStep::of(project), project.PageSupport, project.InitialSort);
}

bool Wizard::applyLayoutStep() {
    if (const std::optional<QString> refusal =
            LayoutStep::apply(m_session.project, m_layoutPage->choice())) {
        m_prompt.warning(*refusal);
        m_layoutPage->txtMoreLink()->setFocus();
        return false;
    }
    // Without a login page the login step is skipped: Finish comes next.
    if (m_session.project.LoginPage)
        prepareLogin();
    else
        prepareFinish();
    return true;
}

void Wizard::prepareLogin() {
    const Project& project = m_session.project;
    QStringList tables;
    const QComboBox* source = m_tableSourcePage->icbTables();
    for (int i = 0; i < source->count(); ++i)
        tables.append(source->itemText(i));
    const LoginChoice stored = LoginStep::of(project);
    m_loginPage->fill(stored, tables);
    if (!m_loginPage->choice().table.isEmpty())
        loadLoginFields(stored.table, stored.loginField, stored.passwordField);
}

void Wizard::loadLoginFields(const QString& table, const QString& loginField,
                             const QString& passwordField) {
    m_loginPage->clearFields();
    Trap(QStringLiteral("frmMain.icbTableName_Click"), [&] {
        const QString connection = m_session.project.ConnectionString;
        const BusyCursor busy;
        const std::vector<ColumnInfo> columns =
            runResponsively([&] { return openConnection(connection)->columns(table); });
        m_loginPage->setFields(LoginStep::fieldNames(columns), loginField, passwordField);
    });
}

void Wizard::openOrderDetails() {
    Trap(QStringLiteral("frmMain.cmbInitialOrderBy_Click"), [&] {
        Project& project = m_session.project;
        OrderByDialog dialog(ColumnOrderStep::orderedNames(project), project.SortColumnID, m_prompt,
                             this);
        Q_EMIT dialogOpened(&dialog);
        dialog.exec();
        project.SortColumnID = dialog.sortColumnId();
    });
}

void Wizard::openLookupDetails(int row) {
    ColumnCustomizationModel& grid = m_columnCustomizationPage->model(1);
    if (row < 0 || row >= grid.rowCount())
        return;
    const Project& project = m_session.project;
    const int editType = ColumnEncoding::editTypeCode(grid.row(row).editAs);
    LookupDetailsDialog dialog(project.ConnectionString, LookupDetails::quotingFor(project),
                               grid.row(row).details, editType, m_prompt, this);
    Q_EMIT dialogOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog is modal, but the grid may have been refilled meanwhile.
    if (row >= grid.rowCount())
        return;
    ColumnCustomizationStep::setDetails(grid.row(row), dialog.details());
    grid.rowChanged(row);
}

void Wizard::openRenameDialog() {
    Trap(QStringLiteral("frmMain.lblFinish_Click"), [&] {
        RenameDialog dialog(m_session.project.Rename, fixedSiteFileNames(m_session.project),
                            m_prompt, this);
        Q_EMIT dialogOpened(&dialog);
        dialog.exec();
        m_session.project.Rename = dialog.renameList();
    });
}

void Wizard::setPopupMenu(QMenu* menu) {
    m_searchPage->setPopupMenu(menu);
}

bool Wizard::takeDestination() {
    if (!FinishStep::destinationAccepted(m_finishPage->txtDestinationPath()->text(), m_prompt)) {
        m_finishPage->txtDestinationPath()->setFocus();
        return false;
    }
    if (!FinishStep::pageFilesAccepted(m_session.project, m_prompt))
        return false;
    m_session.project.DestinationPath = m_finishPage->txtDestinationPath()->text().trimmed();
    return true;
}

void Wizard::setFinishControlsEnabled(bool enabled) {
    m_finishPage->cmdDestinationPath()->setEnabled(enabled);
    m_finishPage->txtDestinationPath()->setReadOnly(!enabled);
    m_finishPage->chkCopyDatabase()->setEnabled(enabled);
}

void Wizard::onDataSourceOptionClicked(int index) {
    Trap(QStringLiteral("frmMain.optDataSourse_Click"), [&] {
        if (m_loading)
            return;
        m_session.project.DatasourceStatus = index + 1;
        m_dataSourcePage->showFrame(m_session.project.DatasourceStatus);
    });
}

void Wizard::browseDataFile() {
    Trap(QStringLiteral("frmMain.cmbDataSource_Click"), [&] {
        const QString file = FileDialogs(m_prompt).GetSelectedFile(
            DataSourcePage::dataFileFilter(), QStringLiteral("mdb"),
            QStringLiteral("Select Data Source File"));
        if (!file.isEmpty())
            m_dataSourcePage->txtDataSource()->setText(file);
        m_session.projectOrigin = OriginNew;
        m_setStatus(0);
    });
}

void Wizard::refreshDataSources() {
    Trap(QStringLiteral("frmMain.cmbRefresh_Click"), [&] {
        const BusyCursor busy;
        m_setStatus(5);
        m_dataSourcePage->populateDataSources();
        m_setStatus(0);
    });
}

void Wizard::onDataSourcePicked() {
    m_session.projectOrigin = OriginNew;
    m_setStatus(0);
}

void Wizard::buildConnectionString() {
    // A failing or cancelled builder leaves the typed string as it was.
    try {
        ConnectionStringDialog builder(installedDrivers(), this);
        Q_EMIT dialogOpened(&builder);
        if (builder.exec() == QDialog::Accepted)
            m_dataSourcePage->txtConnectionString()->setText(builder.connectionString());
    } catch (const std::exception&) {
    }
}

void Wizard::browseDestination() {
    Trap(QStringLiteral("frmMain.cmbDestinationPath_Click"), [&] {
        const QString folder = FileDialogs(m_prompt).GetSelectedFolder(
            QStringLiteral("Select folder to store ASP script files"),
            m_finishPage->txtDestinationPath()->text());
        if (folder.trimmed().isEmpty())
            return;
        m_finishPage->txtDestinationPath()->setText(folder.trimmed());
        FinishStep::rememberDestination(folder.trimmed());
    });
}

void Wizard::onCopyDatabaseToggled(bool checked) {
    m_session.project.CopyDatabase = checked;
}

} // namespace ordwick
