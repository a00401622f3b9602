#include "shell/frmmain.h"

#include "controls/accessibility.h"
#include "controls/busycursor.h"
#include "controls/iconstore.h"
#include "controls/taskpane.h"
#include "datasource/dataconnection.h"
#include "generation/enginebinding.h"
#include "shell/clsini.h"
#include "shell/commandline.h"
#include "shell/filedialogs.h"
#include "shell/frmabout.h"
#include "shell/frmconfigure.h"
#include "shell/odbcdatasources.h"
#include "shell/programfolder.h"
#include "shell/prompt.h"
#include "shell/runtimeerror.h"
#include "shell/settings.h"
#include "shell/theme.h"
#include "shell/trap.h"
#include "util/busycall.h"
#include "util/paths.h"
#include "wizard/connectionstringdialog.h"
#include "wizard/datasourcepage.h"
#include "wizard/datasourcestep.h"
#include "wizard/featurespage.h"
#include "wizard/finishpage.h"
#include "wizard/finishstep.h"
#include "wizard/querypage.h"
#include "wizard/querystep.h"
#include "wizard/tablesourcepage.h"
#include "wizard/tablestep.h"
#include "wizard/wizardsteps.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace ordwick {

namespace {

const QString kHomeBar = QStringLiteral("Home");
const QString kOptionsBar = QStringLiteral("Options");

// What each step is for, shown in its frame until the step's own controls fill it.
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

struct StatusEntry {
    QString iconKey;
    QString text;
};

// Clears what the user typed or chose, leaving the window's frame alone.
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

} // namespace

frmMain::frmMain(Prompt& prompt, QWidget* parent)
    : QMainWindow(parent), m_prompt(prompt), m_session(prompt),
      m_navigator(m_session, {[this](int step) { return UpdateProjectSettings(step); },
                              [this] { UpdateUIStatus(); }}),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Prompt::productName());
    buildMenus();
    buildToolBar();
    buildStatusBar();

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    buildTaskPane();
    layout->addWidget(m_taskPane);
    layout->addWidget(buildStepArea(), 1);
    setCentralWidget(central);
    resize(900, 640);

    m_session.onProjectFileUsed = [this](const QString& path) {
        m_recent.UpdateRecent(path);
        LoadRecent();
    };
    m_session.onProjectFileMissing = [this](const QString& path) {
        m_recent.RemoveRecent(path);
        LoadRecent();
    };
}

frmMain::~frmMain() = default;

void frmMain::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("mnuFile"));
    QAction* newAction =
        m_fileMenu->addAction(QStringLiteral("&New"), this, &frmMain::newProjectCommand);
    newAction->setObjectName(QStringLiteral("mnuNew"));
    newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* openAction =
        m_fileMenu->addAction(QStringLiteral("&Open"), this, &frmMain::openProjectCommand);
    openAction->setObjectName(QStringLiteral("mnuOpen"));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_fileMenu->addSeparator();
    QAction* saveAction =
        m_fileMenu->addAction(QStringLiteral("&Save"), this, &frmMain::saveProjectCommand);
    saveAction->setObjectName(QStringLiteral("mnuSave"));
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_fileMenu->addSeparator();
    QAction* exitAction = m_fileMenu->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exitAction->setObjectName(QStringLiteral("mnuExit"));
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    m_recentSeparator = m_fileMenu->addSeparator();
    m_recentSeparator->setObjectName(QStringLiteral("mnuSep3"));
    m_recentSeparator->setVisible(false);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    m_showBar = view->addAction(QStringLiteral("Show Bar"), this, &frmMain::showBarCommand);
    m_showBar->setObjectName(QStringLiteral("mnuShowBar"));
    m_showBar->setCheckable(true);
    m_showBar->setChecked(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(QStringLiteral("&Content"), this, &frmMain::helpCommand)
        ->setObjectName(QStringLiteral("mnuContent"));
    help->addAction(QStringLiteral("&About"), this, &frmMain::aboutCommand)
        ->setObjectName(QStringLiteral("mnuAbout"));

    // Never shown in the menu bar: it pops up over the column grids.
    m_popupMenu = new QMenu(QStringLiteral("Popup"), this);
    m_popupMenu->setObjectName(QStringLiteral("mnuPopup"));
    m_popupMenu->addAction(QStringLiteral("Select All"))
        ->setObjectName(QStringLiteral("mnuSelectAll"));
    m_popupMenu->addAction(QStringLiteral("Deselect All"))
        ->setObjectName(QStringLiteral("mnuDeselectAll"));
    m_popupMenu->addAction(QStringLiteral("Inverse Select"))
        ->setObjectName(QStringLiteral("mnuInverseSelect"));
}

void frmMain::buildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setObjectName(QStringLiteral("tlbMenuTool"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        QString key;
        QStyle::StandardPixmap icon;
        void (frmMain::*command)();
    };
    const Button buttons[] = {
        {QStringLiteral("New"), QStyle::SP_FileIcon, &frmMain::newProjectCommand},
        {QStringLiteral("Open"), QStyle::SP_DialogOpenButton, &frmMain::openProjectCommand},
        {QStringLiteral("Save"), QStyle::SP_DialogSaveButton, &frmMain::saveProjectCommand},
        {QStringLiteral("Configure"), QStyle::SP_FileDialogDetailedView,
         &frmMain::configureCommand},
        {QStringLiteral("Help"), QStyle::SP_DialogHelpButton, &frmMain::helpCommand},
    };
    for (const Button& button : buttons) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(button.icon), button.key);
        action->setObjectName(button.key);
        action->setData(button.key);
        const auto command = button.command;
        connect(action, &QAction::triggered, this, [this, command] {
            Trap(QStringLiteral("frmMain.tlbMenuTool_ButtonClick"), [&] { (this->*command)(); });
        });
    }
}

void frmMain::buildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusIcon = new QLabel(this);
    m_statusIcon->setObjectName(QStringLiteral("sbStatusIcon"));
    m_statusIcon->setFixedWidth(20);
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("sbStatusText"));
    m_statusText->setAccessibleName(QStringLiteral("Status"));
    statusBar()->addWidget(m_statusIcon);
    statusBar()->addWidget(m_statusText, 1);
}

void frmMain::buildTaskPane() {
    m_taskPane = new TaskPane(this);
    m_taskPane->addBar(kHomeBar, Prompt::productName(), false);
    for (const TaskPaneItem& item : homeBarItems())
        m_taskPane->addItem(kHomeBar, item.key, item.caption, QStringLiteral("UNCHECK"));
    m_taskPane->addBar(kOptionsBar, QStringLiteral("Options"), true);
    m_taskPane->addItem(kOptionsBar, QStringLiteral("Configuration"),
                        QStringLiteral("Configuration"));
    m_taskPane->addItem(kOptionsBar, QStringLiteral("Help"), QStringLiteral("Help"));
    connect(m_taskPane, &TaskPane::itemClicked, this, [this](const QString& key) {
        if (key == QLatin1String("Configuration"))
            configureCommand();
        else if (key == QLatin1String("Help"))
            helpCommand();
    });
    connect(m_taskPane, &TaskPane::closeRequested, this, [this] {
        m_showBar->setChecked(false);
        setTaskPaneVisible(false);
    });
}

QWidget* frmMain::buildStepArea() {
    auto* picStep = new QWidget(this);
    picStep->setObjectName(QStringLiteral("picStep"));
    auto* layout = new QVBoxLayout(picStep);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* picStepStatus = new QWidget(picStep);
    picStepStatus->setObjectName(QStringLiteral("picStepStatus"));
    auto* statusLayout = new QHBoxLayout(picStepStatus);
    statusLayout->setContentsMargins(12, 6, 6, 6);
    m_lblStepStatus = new QLabel(picStepStatus);
    m_lblStepStatus->setObjectName(QStringLiteral("lblStepStatus"));
    QFont font = m_lblStepStatus->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    m_lblStepStatus->setFont(font);
    statusLayout->addWidget(m_lblStepStatus);
    layout->addWidget(picStepStatus);

    m_stepFrames = new QStackedWidget(picStep);
    m_stepFrames->setObjectName(QStringLiteral("iefStepFrame"));
    for (int step = 1; step <= kStepCount; ++step) {
        auto* frame = new QGroupBox(stepInfo(step).frameCaption, m_stepFrames);
        frame->setObjectName(QStringLiteral("fraStep(%1)").arg(step - 1));
        auto* frameLayout = new QVBoxLayout(frame);
        auto* description = new QLabel(kStepDescriptions.at(static_cast<size_t>(step - 1)), frame);
        description->setWordWrap(true);
        frameLayout->addWidget(description);
        if (step == 1) {
            m_dataSourcePage = new DataSourcePage(frame);
            frameLayout->addWidget(m_dataSourcePage, 1);
        } else if (step == 2) {
            m_featuresPage = new FeaturesPage(frame);
            frameLayout->addWidget(m_featuresPage, 1);
        } else if (step == 4) {
            m_queryPage = new QueryPage(m_session, frame);
            frameLayout->addWidget(m_queryPage, 1);
        } else if (step == kFinishStep) {
            m_finishPage = new FinishPage(frame);
            frameLayout->addWidget(m_finishPage, 1);
        } else if (step == 3) {
            m_tableSourcePage = new TableSourcePage(
                m_session, m_prompt, [this](int code) { SetStatusbar(code); }, frame);
            frameLayout->addWidget(m_tableSourcePage, 1);
        } else {
            frameLayout->addStretch();
        }
        m_stepFrames->addWidget(frame);
        m_fraStep.push_back(frame);
    }
    layout->addWidget(m_stepFrames, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cmdBack = new QPushButton(QStringLiteral("&Back"), picStep);
    m_cmdBack->setObjectName(QStringLiteral("cmdBack"));
    m_cmdNext = new QPushButton(QStringLiteral("&Next"), picStep);
    m_cmdNext->setObjectName(QStringLiteral("cmdNext"));
    m_cmdNext->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), picStep);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(m_cmdBack);
    buttons->addWidget(m_cmdNext);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);
    connect(m_dataSourcePage, &DataSourcePage::optionClicked, this, &frmMain::optDataSource_Click);
    connect(m_dataSourcePage, &DataSourcePage::browseRequested, this,
            &frmMain::cmdDataSource_Click);
    connect(m_dataSourcePage, &DataSourcePage::refreshRequested, this, &frmMain::cmdRefresh_Click);
    connect(m_dataSourcePage, &DataSourcePage::dataSourceClicked, this,
            &frmMain::icbDataSource_Click);
    connect(m_dataSourcePage, &DataSourcePage::connectionBuilderRequested, this,
            &frmMain::cmdConnectionString_Click);
    connect(m_finishPage, &FinishPage::destinationRequested, this,
            &frmMain::cmdDestinationPath_Click);
    connect(m_finishPage, &FinishPage::copyDatabaseClicked, this, &frmMain::chkCopyDatabase_Click);
    connect(m_cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(m_cmdBack, &QPushButton::clicked, this, &frmMain::cmdBack_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    return picStep;
}

void frmMain::Form_Load(const QStringList& arguments) {
    NumberedBlocks blocks(QStringLiteral("frmMain.Form_Load."));
    QString projectPath;
    blocks.run(1, [&] { projectPath = projectPathFromCommandLine(arguments); });
    blocks.run(2, [&] { Theme::apply(Settings::readThemeCode()); });
    blocks.run(3, [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        SetStatusbar(1);
    });
    blocks.run(4, [&] {
        hide();
        m_loading = true;
    });
    blocks.run(5, [&] { assignAccessibleNames(this); });
    blocks.run(6, [&] { LoadRecent(); });
    blocks.run(7, [&] {
        if (!projectPath.isEmpty() && QFileInfo(projectPath).isFile())
            m_session.ProjectOrigin = OriginLoaded;
        NewProject();
        UpdateUIStatus();
    });
    blocks.run(8, [&] {
        m_loading = false;
        if (!projectPath.isEmpty() && m_session.OpenProject(projectPath)) {
            showLoadedDataSource();
            UpdateUIStatus();
        }
    });
    blocks.run(9, [&] {
        show();
        SetStatusbar(0);
        QApplication::restoreOverrideCursor();
    });
    blocks.run(10, [&] {
        // The data file chosen last time, or the sample database on a first start;
        // a project opened from the command line keeps its own.
        if (!m_dataSourcePage->txtDataSource()->text().isEmpty())
            return;
        QString file = FileDialogs::lastDataFile();
        const QString sample = QualityPath(programFolder()) + QStringLiteral("samples/shop.db");
        if (file.isEmpty() && QFileInfo(sample).isFile())
            file = sample;
        m_dataSourcePage->txtDataSource()->setText(file);
    });
    if (blocks.failed()) {
        m_loading = false;
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    }
}

void frmMain::SetStatusbar(int code) {
    Trap(QStringLiteral("frmMain.SetStatusbar"), [&] {
        StatusEntry entry;
        switch (code) {
        case 0:
            entry = {QString(), QStringLiteral("Ready")};
            break;
        case 1:
            entry = {QStringLiteral("DBCONNECT"),
                     m_session.CurrentStep == 1
                         ? QStringLiteral("Please wait! Connecting to data source...")
                     : m_session.CurrentStep == 3
                         ? QStringLiteral("Please wait! Connecting to tablesource...")
                         : QStringLiteral("Please wait! Initializing...")};
            break;
        case 3:
            entry = {QStringLiteral("POPULATE"),
                     QStringLiteral("Please wait! Retrieving values...")};
            break;
        case 4:
            entry = {QStringLiteral("GENERATE"),
                     QStringLiteral("Please wait! Generating result...")};
            break;
        case 5:
            entry = {QStringLiteral("REFRESH"), QStringLiteral("Please wait! Refreshing...")};
            break;
        case 6:
            entry = {QString(), QStringLiteral("Please wait aborting...")};
            break;
        default:
            return;
        }
        m_statusIconKey = entry.iconKey;
        m_statusIcon->setPixmap(iconFor(entry.iconKey).pixmap(16, 16));
        m_statusText->setText(entry.text);
    });
}

QString frmMain::statusText() const {
    return m_statusText->text();
}

QString frmMain::statusIconKey() const {
    return m_statusIconKey;
}

void frmMain::NewProject() {
    NumberedBlocks blocks(QStringLiteral("frmMain.NewProject."));
    blocks.run(2, [&] { m_session.resetRecord(); });
    blocks.run(3, [&] {
        resetControls(m_stepFrames);
        m_tableSourcePage->clear();
        m_dataSourcePage->txtConnectionString()->setText(
            DataSourcePage::startingConnectionString());
    });
    blocks.run(4, [&] { m_taskPane->setRedraw(false); });
    blocks.run(5, [&] {
        for (int position = 1; position <= m_taskPane->itemCount(kHomeBar); ++position) {
            m_taskPane->setItemIconKey(kHomeBar, position, QStringLiteral("UNCHECK"));
            m_taskPane->setItemBold(kHomeBar, position, position == 1);
        }
    });
    blocks.run(6, [&] { m_taskPane->setRedraw(true); });
    blocks.run(7, [&] { m_dataSourcePage->showFrame(DatasourceFile); });
    blocks.run(8, [&] { m_stepFrames->setCurrentIndex(0); });
    blocks.run(11, [&] { m_dataSourcePage->PopulateDataSource(); });
    blocks.run(12, [&] { m_dataSourcePage->selectOption(0); });
    if (blocks.failed())
        m_taskPane->setRedraw(true);
}

void frmMain::UpdateUIStatus() {
    const int step = m_session.CurrentStep;
    const QString name = QStringLiteral("frmMain.UpdateUIStatus.");
    Trap(name + QStringLiteral("1"),
         [&] { m_lblStepStatus->setText(stepInfo(step).statusCaption); });
    Trap(name + QStringLiteral("2"), [&] {
        if (step == 1)
            m_dataSourcePage->showFrame(m_session.project.DatasourceStatus);
    });
    Trap(name + QStringLiteral("3"), [&] {
        if (step != kFinishStep)
            return;
        Project& project = m_session.project;
        const bool offered = FinishStep::offersDatabaseCopy(project);
        m_finishPage->chkCopyDatabase()->setVisible(offered);
        m_finishPage->chkCopyDatabase()->setChecked(offered);
        project.CopyDatabase = offered;
        m_finishPage->txtDestinationPath()->setText(FinishStep::shownDestination());
    });
    Trap(name + QStringLiteral("4"), [&] {
        m_cmdNext->setText(step > 9 ? QStringLiteral("&Finish") : QStringLiteral("&Next"));
    });
    Trap(name + QStringLiteral("5"), [&] { m_stepFrames->setCurrentIndex(step - 1); });
    Trap(name + QStringLiteral("6"), [&] {
        QComboBox* tables = m_tableSourcePage->icbTables();
        if (step == 3 && tables->currentIndex() < 0 && tables->count() > 0) {
            tables->setCurrentIndex(0);
            m_tableSourcePage->GetDataSourceColumns();
        }
    });
    Trap(name + QStringLiteral("7"), [&] {
        m_taskPane->setRedraw(false);
        for (int position = 1; position <= m_taskPane->itemCount(kHomeBar); ++position) {
            Trap(name + QStringLiteral("7b.") + QString::number(position), [&] {
                m_taskPane->setItemBold(kHomeBar, position, position == step);
                // The step walked before this one is done; a skipped login step is not.
                if (position == step && position > 1)
                    m_taskPane->setItemIconKey(kHomeBar,
                                               stepBefore(step, m_session.project.LoginPage),
                                               QStringLiteral("CHECK"));
            });
        }
        m_taskPane->setRedraw(true);
    });
}

bool frmMain::UpdateProjectSettings(int step) {
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
            break;
        case 6:
            applied = applyColumnCustomizationStep();
            break;
        case 8:
            // Without a login page the login step is skipped: Finish comes next.
            if (!m_session.project.LoginPage)
                prepareFinish();
            applied = true;
            break;
        case 9:
            prepareFinish();
            applied = true;
            break;
        default:
            // Column order, search and layout have no controls of their own
            // yet, so there is nothing to store.
            applied = true;
            break;
        }
    });
    return applied;
}

bool frmMain::applyDataSourceStep() {
    DataSourceStep dataSource(m_session, m_prompt);
    const DataSourceStep::Outcome outcome = dataSource.takeChoice(m_dataSourcePage->choice());
    if (!outcome.taken) {
        if (outcome.focus)
            m_dataSourcePage->focus(*outcome.focus);
        return false;
    }
    m_featuresPage->setFeatures(Features::of(m_session.project));
    m_tableSourcePage->GetDataSourceTables(m_dataSourcePage->txtConnectionString()->text());
    return !m_session.project.ConnectionString.isEmpty();
}

bool frmMain::applyFeaturesStep() {
    Project& project = m_session.project;
    m_featuresPage->features().applyTo(project);
    // Access files and data source names can tell their keys now.
    if ((project.DatasourceStatus == DatasourceFile && project.DatasourceType == 1) ||
        project.DatasourceStatus == DatasourceDsn)
        m_tableSourcePage->GetDataSourcePrimaryKey();
    return true;
}

bool frmMain::applyTableStep() {
    const TableStep::Refusal refusal =
        TableStep::apply(m_session.project, m_tableSourcePage->icbTables()->currentText(),
                         m_tableSourcePage->columns().rows(),
                         m_featuresPage->features().changesRecords(), m_session.ProjectOrigin);
    if (refusal) {
        m_prompt.warning(*refusal);
        m_tableSourcePage->grdColumns()->setFocus();
        return false;
    }
    m_queryPage->prepare();
    return true;
}

bool frmMain::applyQueryStep() {
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

bool frmMain::applyColumnCustomizationStep() {
    const Project& project = m_session.project;
    if (!project.SimpleSearch && !project.AdvancedSearch) {
        // No search page: the search step is passed over on the way forward.
        ++m_session.CurrentStep;
        UpdateUIStatus();
    }
    return true;
}

void frmMain::prepareFinish() {
    m_finishPage->txtDestinationPath()->setText(m_session.project.DestinationPath);
    m_finishPage->fillTasks(m_session.project);
    FinishStep::registerPageFiles(m_session.project);
}

void frmMain::cmdDestinationPath_Click() {
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

void frmMain::chkCopyDatabase_Click(bool checked) {
    m_session.project.CopyDatabase = checked;
}

void frmMain::finish() {
    if (!FinishStep::destinationAccepted(m_finishPage->txtDestinationPath()->text(), m_prompt)) {
        m_finishPage->txtDestinationPath()->setFocus();
        return;
    }
    m_session.project.DestinationPath = m_finishPage->txtDestinationPath()->text().trimmed();
    m_cmdNext->setEnabled(false);
    m_taskPane->setItemIconKey(kHomeBar, kFinishStep, QStringLiteral("CHECK"));
    m_cmdCancel->setEnabled(false);
    m_finishPage->cmdDestinationPath()->setEnabled(false);
    Trap(QStringLiteral("frmMain.cmbNext_Click.5"), [&] { GenerateASPScript(); });
    m_cmdCancel->setEnabled(true);
    m_finishPage->cmdDestinationPath()->setEnabled(true);
    m_cmdNext->setEnabled(true);
}

void frmMain::resetProgress() {
    m_finishPage->pgbProgress()->setMaximum(qMax(1, m_finishPage->rowCount()));
    m_finishPage->pgbProgress()->setValue(0);
}

void frmMain::GenerateASPScript() {
    const Project& project = m_session.project;
    const QString saved = m_session.SaveProject();
    if (saved.isEmpty())
        return;
    const QString destination = QualityPath(project.DestinationPath);
    QStringList folders{QStringLiteral("include"), QStringLiteral("images")};
    if (project.DatasourceStatus == DatasourceFile)
        folders.prepend(QStringLiteral("db"));
    for (const QString& folder : std::as_const(folders)) {
        if (!QDir().mkpath(destination + folder))
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("Path/File access error: cannot create \"%1\"")
                                   .arg(destination + folder));
    }
    resetProgress();
    GenerationEngine engine(m_engineLibrary.isEmpty() ? GenerationEngine::defaultLibraryPath()
                                                      : m_engineLibrary);
    m_oObject = &engine;
    const auto release = qScopeGuard([this] { m_oObject = nullptr; });
    engine.setProjectFilePath(saved);
    const QString application = programFolder();
    QDir().mkpath(QualityPath(application) + QStringLiteral("template"));
    engine.setApplicationPath(application);
    connect(&engine, &GenerationEngine::Progress, this, &frmMain::oObject_Progress);
    connect(&engine, &GenerationEngine::Aborted, this, &frmMain::oObject_Aborted);
    connect(&engine, &GenerationEngine::clsASPScriptErr, this,
            [](const QString& module, const QString& description, int number) {
                // The engine decides how it carries on; the report is only shown.
                ReportError(module, description, number);
            });
    SetStatusbar(4);
    engine.Generate();
    SetStatusbar(0);
    resetProgress();
    if (!engine.Abort())
        offerNewProject(QStringLiteral("ASP files for ") + project.TableName +
                        QStringLiteral(" has been sucessfully generated!"));
}

void frmMain::oObject_Progress(int progressStatus) {
    Trap(QStringLiteral("frmMain.oObject_Progress"), [&] {
        if (progressStatus < 0 || progressStatus >= m_finishPage->rowCount())
            return;
        m_finishPage->pgbProgress()->setValue(progressStatus);
        m_finishPage->markDone(progressStatus + 1);
    });
}

void frmMain::oObject_Aborted(bool state) {
    if (!state)
        return;
    m_cmdCancel->setEnabled(true);
    SetStatusbar(0);
    offerNewProject(QStringLiteral("ASP files generation aborted by user!"));
}

void frmMain::offerNewProject(const QString& firstLine) {
    if (m_prompt.question(firstLine + QStringLiteral("\nWould you like to create a new project?")))
        newProjectCommand();
}

void frmMain::showLoadedDataSource() {
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

void frmMain::optDataSource_Click(int index) {
    Trap(QStringLiteral("frmMain.optDataSourse_Click"), [&] {
        if (m_loading)
            return;
        m_session.project.DatasourceStatus = index + 1;
        UpdateUIStatus();
    });
}

void frmMain::cmdDataSource_Click() {
    Trap(QStringLiteral("frmMain.cmbDataSource_Click"), [&] {
        const QString file = FileDialogs(m_prompt).GetSelectedFile(
            DataSourcePage::dataFileFilter(), QStringLiteral("mdb"),
            QStringLiteral("Select Data Source File"));
        if (!file.isEmpty())
            m_dataSourcePage->txtDataSource()->setText(file);
        m_session.ProjectOrigin = OriginNew;
        SetStatusbar(0);
    });
}

void frmMain::cmdRefresh_Click() {
    Trap(QStringLiteral("frmMain.cmbRefresh_Click"), [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        SetStatusbar(5);
        m_dataSourcePage->PopulateDataSource();
        SetStatusbar(0);
        QApplication::restoreOverrideCursor();
    });
}

void frmMain::icbDataSource_Click() {
    m_session.ProjectOrigin = OriginNew;
    SetStatusbar(0);
}

void frmMain::cmdConnectionString_Click() {
    // A failing or cancelled builder leaves the typed string as it was.
    try {
        ConnectionStringDialog builder(installedDrivers(), this);
        showDialog(builder);
        if (builder.result() == QDialog::Accepted)
            m_dataSourcePage->txtConnectionString()->setText(builder.connectionString());
    } catch (const std::exception&) {
    }
}

void frmMain::refreshWizard() {
    UpdateUIStatus();
    m_cmdBack->setEnabled(m_session.CurrentStep > 1);
}

void frmMain::LoadRecent() {
    Trap(QStringLiteral("frmMain.LoadRecent"), [&] {
        for (QAction* action : std::as_const(m_recentActions)) {
            m_fileMenu->removeAction(action);
            action->deleteLater();
        }
        m_recentActions.clear();
        const QStringList paths = m_recent.entries();
        m_recentSeparator->setVisible(!paths.isEmpty());
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const QString path = paths.at(i);
            QString caption = RecentProjects::caption(static_cast<int>(i), path);
            auto* action =
                new QAction(caption.replace(QLatin1Char('&'), QStringLiteral("&&")), this);
            action->setObjectName(QStringLiteral("mnuRecent(%1)").arg(i));
            action->setData(path);
            connect(action, &QAction::triggered, this, [this, path] { openRecentProject(path); });
            m_fileMenu->addAction(action);
            m_recentActions.append(action);
        }
    });
}

void frmMain::newProjectCommand() {
    m_session.ProjectFile.clear();
    m_session.ProjectOrigin = OriginNew;
    SetStatusbar(0);
    NewProject();
    refreshWizard();
}

void frmMain::openProjectCommand() {
    m_session.ProjectFile.clear();
    m_session.ProjectOrigin = OriginLoaded;
    NewProject();
    if (m_session.OpenProject(QString()))
        showLoadedDataSource();
    refreshWizard();
}

void frmMain::openRecentProject(const QString& path) {
    Trap(QStringLiteral("frmMain.mnuRecent_Click"), [&] {
        m_session.ProjectFile.clear();
        m_session.ProjectOrigin = OriginLoaded;
        NewProject();
        if (m_session.OpenProject(path))
            showLoadedDataSource();
        refreshWizard();
    });
}

void frmMain::saveProjectCommand() {
    if (!UpdateProjectSettings(m_session.CurrentStep))
        return;
    m_session.ProjectOrigin = OriginSaving;
    m_session.SaveProject();
}

void frmMain::showBarCommand() {
    Trap(QStringLiteral("frmMain.mnuShowBar_Click"),
         [&] { setTaskPaneVisible(m_showBar->isChecked()); });
}

void frmMain::setTaskPaneVisible(bool visible) {
    m_taskPane->setVisible(visible);
}

void frmMain::helpCommand() {
    // A missing help page is not worth a message: the menu simply does nothing.
    const QString page = QualityPath(programFolder()) + QStringLiteral("help/index.html");
    if (QFileInfo(page).isFile())
        m_openUrl(QUrl::fromLocalFile(page));
}

void frmMain::showDialog(QDialog& dialog) {
    Q_EMIT dialogOpened(&dialog);
    dialog.exec();
}

void frmMain::aboutCommand() {
    frmAbout about(this);
    showDialog(about);
}

void frmMain::configureCommand() {
    frmConfigure configure(this);
    showDialog(configure);
}

void frmMain::cmdNext_Click() {
    Trap(QStringLiteral("frmMain.cmbNext_Click"), [&] {
        m_cmdBack->setEnabled(true);
        m_cmdNext->setEnabled(false);
        const WizardNavigator::NextResult result = m_navigator.next();
        m_cmdNext->setEnabled(true);
        if (result == WizardNavigator::NextResult::Finish)
            finish();
    });
    m_cmdNext->setEnabled(true);
}

void frmMain::cmdBack_Click() {
    Trap(QStringLiteral("frmMain.cmbBack_Click"), [&] {
        if (m_session.CurrentStep <= 1) {
            m_cmdBack->setEnabled(false);
            return;
        }
        m_cmdNext->setEnabled(true);
        m_cmdBack->setEnabled(false);
        m_navigator.back();
        m_cmdBack->setEnabled(true);
    });
}

bool frmMain::confirmExit() {
    if (m_session.CurrentStep >= kFinishStep) {
        if (m_oObject != nullptr) {
            // A run is going: ask the engine to stop. The window stays open (the
            // run is still on the stack) until the user closes it afterwards.
            m_cmdCancel->setEnabled(false);
            m_oObject->setAbort(true);
            SetStatusbar(6);
            return false;
        }
        m_exitConfirmed = true;
        return true;
    }
    m_cmdCancel->setEnabled(false);
    m_exitConfirmed = true;
    if (m_prompt.question(QStringLiteral("Would you like to exit ") + Prompt::productName() +
                          QLatin1Char('?')))
        return true;
    m_exitConfirmed = false;
    m_cmdCancel->setEnabled(true);
    return false;
}

void frmMain::cmdCancel_Click() {
    if (confirmExit())
        close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_exitConfirmed || confirmExit())
        event->accept();
    else
        event->ignore();
}

} // namespace ordwick
