#include "shell/mainwindow.h"

#include "controls/accessibility.h"
#include "controls/iconstore.h"
#include "controls/taskpane.h"
#include "foundation/paths.h"
#include "foundation/programfolder.h"
#include "foundation/prompt.h"
#include "foundation/settings.h"
#include "foundation/trap.h"
#include "preview/previewhost.h"
#include "shell/aboutdialog.h"
#include "shell/commandline.h"
#include "shell/settingsdialog.h"
#include "shell/theme.h"
#include "wizard/finishpage.h"
#include "wizard/generationrun.h"
#include "wizard/wizard.h"
#include "wizard/wizardsteps.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace ordwick {

namespace {

const QString kHomeBar = QStringLiteral("Home");
const QString kOptionsBar = QStringLiteral("Options");

struct StatusEntry {
    QString iconKey;
    QString text;
};

} // namespace

MainWindow::MainWindow(Prompt& prompt, QWidget* parent)
    : QMainWindow(parent), m_prompt(prompt), m_session(prompt),
      m_navigator(m_session, {[this](int step) { return m_wizard->apply(step); },
                              [this] { showCurrentStep(); }}),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmMain"));
    // Runs the generated site for the browser; it stops when the window goes.
    m_preview = new PreviewHost(this);
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
        rebuildRecentMenu();
    };
    m_session.onProjectFileMissing = [this](const QString& path) {
        m_recent.RemoveRecent(path);
        rebuildRecentMenu();
    };
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("mnuFile"));
    QAction* newAction =
        m_fileMenu->addAction(QStringLiteral("&New"), this, &MainWindow::newProject);
    newAction->setObjectName(QStringLiteral("mnuNew"));
    m_projectActions.append(newAction);
    newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* openAction =
        m_fileMenu->addAction(QStringLiteral("&Open"), this, &MainWindow::openProject);
    openAction->setObjectName(QStringLiteral("mnuOpen"));
    m_projectActions.append(openAction);
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_fileMenu->addSeparator();
    QAction* saveAction =
        m_fileMenu->addAction(QStringLiteral("&Save"), this, &MainWindow::saveProject);
    saveAction->setObjectName(QStringLiteral("mnuSave"));
    m_projectActions.append(saveAction);
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
    m_showBar = view->addAction(QStringLiteral("Show Bar"), this, &MainWindow::onShowBarToggled);
    m_showBar->setObjectName(QStringLiteral("mnuShowBar"));
    m_showBar->setCheckable(true);
    m_showBar->setChecked(true);
    m_previewAction = view->addAction(QStringLiteral("&Preview Last Site"), this,
                                      [this] { previewSite(m_lastSite); });
    m_previewAction->setObjectName(QStringLiteral("mnuPreview"));
    m_previewAction->setEnabled(false);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(QStringLiteral("&Content"), this, &MainWindow::showHelp)
        ->setObjectName(QStringLiteral("mnuContent"));
    help->addAction(QStringLiteral("&About"), this, &MainWindow::showAbout)
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

void MainWindow::buildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setObjectName(QStringLiteral("tlbMenuTool"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        QString key;
        QStyle::StandardPixmap icon;
        void (MainWindow::*command)();
    };
    const Button buttons[] = {
        {QStringLiteral("New"), QStyle::SP_FileIcon, &MainWindow::newProject},
        {QStringLiteral("Open"), QStyle::SP_DialogOpenButton, &MainWindow::openProject},
        {QStringLiteral("Save"), QStyle::SP_DialogSaveButton, &MainWindow::saveProject},
        {QStringLiteral("Configure"), QStyle::SP_FileDialogDetailedView, &MainWindow::showSettings},
        {QStringLiteral("Help"), QStyle::SP_DialogHelpButton, &MainWindow::showHelp},
    };
    for (const Button& button : buttons) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(button.icon), button.key);
        action->setObjectName(button.key);
        action->setData(button.key);
        if (button.command != &MainWindow::showHelp)
            m_projectActions.append(action);
        const auto command = button.command;
        connect(action, &QAction::triggered, this, [this, command] {
            Trap(QStringLiteral("frmMain.tlbMenuTool_ButtonClick"), [&] { (this->*command)(); });
        });
    }
}

void MainWindow::buildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusIcon = new QLabel(this);
    m_statusIcon->setObjectName(QStringLiteral("sbStatusIcon"));
    m_statusIcon->setFixedWidth(20);
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("sbStatusText"));
    // A screen reader reads the message as the label's name (showStatusText
    // keeps it so) and hears what it is from the description.
    m_statusText->setAccessibleDescription(QStringLiteral("Status"));
    statusBar()->addWidget(m_statusIcon);
    statusBar()->addWidget(m_statusText, 1);
}

void MainWindow::buildTaskPane() {
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
            showSettings();
        else if (key == QLatin1String("Help"))
            showHelp();
    });
    connect(m_taskPane, &TaskPane::closeRequested, this, [this] {
        m_showBar->setChecked(false);
        m_taskPane->setVisible(false);
    });
}

QWidget* MainWindow::buildStepArea() {
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

    m_wizard = new Wizard(
        m_session, m_prompt, [this](int code) { setStatus(code); }, picStep);
    connect(m_wizard, &Wizard::dialogOpened, this, &MainWindow::dialogOpened);
    m_wizard->setPopupMenu(m_popupMenu);
    connect(&m_wizard->finishPage(), &FinishPage::previewRequested, this,
            [this] { previewSite(m_lastSite); });
    layout->addWidget(m_wizard, 1);

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
    connect(m_cmdNext, &QPushButton::clicked, this, &MainWindow::onNextClicked);
    connect(m_cmdBack, &QPushButton::clicked, this, &MainWindow::onBackClicked);
    connect(m_cmdCancel, &QPushButton::clicked, this, &MainWindow::onCancelClicked);
    return picStep;
}

void MainWindow::load(const QStringList& arguments) {
    NumberedBlocks blocks(QStringLiteral("frmMain.Form_Load."));
    QString projectPath;
    blocks.run(1, [&] { projectPath = projectPathFromCommandLine(arguments); });
    blocks.run(2, [&] { Theme::apply(Settings::readThemeCode()); });
    blocks.run(3, [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        setStatus(1);
    });
    blocks.run(4, [&] {
        hide();
        m_loading = true;
        m_wizard->setLoading(true);
    });
    blocks.run(5, [&] {
        assignAccessibleNames(this);
        showFocusMarksAlways(this);
    });
    blocks.run(6, [&] { rebuildRecentMenu(); });
    blocks.run(7, [&] {
        if (!projectPath.isEmpty() && QFileInfo(projectPath).isFile())
            m_session.projectOrigin = OriginLoaded;
        resetProject();
        showCurrentStep();
    });
    blocks.run(8, [&] {
        m_loading = false;
        m_wizard->setLoading(false);
        if (!projectPath.isEmpty()) {
            if (m_session.openProject(projectPath)) {
                m_wizard->showLoadedDataSource();
                showCurrentStep();
            } else {
                m_session.projectOrigin = OriginNew;
            }
        }
    });
    blocks.run(9, [&] {
        show();
        setStatus(0);
        QApplication::restoreOverrideCursor();
    });
    blocks.run(10, [&] { m_wizard->offerStartingDataFile(); });
    if (blocks.failed()) {
        m_loading = false;
        m_wizard->setLoading(false);
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    }
}

void MainWindow::setStatus(int code) {
    Trap(QStringLiteral("frmMain.SetStatusbar"), [&] {
        StatusEntry entry;
        switch (code) {
        case 0:
            entry = {QString(), QStringLiteral("Ready")};
            break;
        case 1:
            entry = {QStringLiteral("DBCONNECT"),
                     m_session.currentStep == 1
                         ? QStringLiteral("Please wait! Connecting to data source...")
                     : m_session.currentStep == 3
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
        showStatusText(entry.text);
    });
}

void MainWindow::showStatusText(const QString& text) {
    m_statusText->setText(text);
    m_statusText->setAccessibleName(text);
}

QString MainWindow::statusText() const {
    return m_statusText->text();
}

QString MainWindow::statusIconKey() const {
    return m_statusIconKey;
}

void MainWindow::resetProject() {
    NumberedBlocks blocks(QStringLiteral("frmMain.NewProject."));
    blocks.run(2, [&] { m_session.resetRecord(); });
    m_wizard->clearPages(blocks);
    blocks.run(4, [&] { m_taskPane->setRedraw(false); });
    blocks.run(5, [&] {
        for (int position = 1; position <= m_taskPane->itemCount(kHomeBar); ++position) {
            m_taskPane->setItemIconKey(kHomeBar, position, QStringLiteral("UNCHECK"));
            m_taskPane->setItemBold(kHomeBar, position, position == 1);
        }
    });
    blocks.run(6, [&] { m_taskPane->setRedraw(true); });
    m_wizard->showFirstStep(blocks);
    m_wizard->finishPage().cmdPreview()->setEnabled(false);
    if (blocks.failed())
        m_taskPane->setRedraw(true);
}

void MainWindow::showCurrentStep() {
    const int step = m_session.currentStep;
    const QString name = QStringLiteral("frmMain.UpdateUIStatus.");
    Trap(name + QStringLiteral("1"),
         [&] { m_lblStepStatus->setText(stepInfo(step).statusCaption); });
    m_wizard->showStep(step);
    Trap(name + QStringLiteral("4"), [&] {
        m_cmdNext->setText(step > 9 ? QStringLiteral("&Finish") : QStringLiteral("&Next"));
        // Announced as it reads.
        m_cmdNext->setAccessibleName(step > 9 ? QStringLiteral("Finish") : QStringLiteral("Next"));
    });
    Trap(name + QStringLiteral("7"), [&] {
        m_taskPane->setRedraw(false);
        for (int position = 1; position <= m_taskPane->itemCount(kHomeBar); ++position) {
            Trap(name + QStringLiteral("7b.") + QString::number(position), [&] {
                m_taskPane->setItemBold(kHomeBar, position, position == step);
                // The step walked before this one is done; a skipped step is not.
                if (position == step && position > 1)
                    m_taskPane->setItemIconKey(kHomeBar,
                                               stepBefore(step, m_session.project.LoginPage),
                                               QStringLiteral("CHECK"));
            });
        }
        m_taskPane->setRedraw(true);
    });
}

void MainWindow::refreshWizard() {
    showCurrentStep();
    m_cmdBack->setEnabled(m_session.currentStep > 1);
}

void MainWindow::finish() {
    if (!m_wizard->takeDestination())
        return;
    m_taskPane->setItemIconKey(kHomeBar, kFinishStep, QStringLiteral("CHECK"));
    Trap(QStringLiteral("frmMain.cmbNext_Click.5"), [&] { generate(); });
}

void MainWindow::generate() {
    FinishPage& finishPage = m_wizard->finishPage();
    GenerationRun::Result result;
    {
        GenerationRun run(m_session, m_engineLibrary);
        m_run = &run;
        setRunning(true);
        const auto unlock = qScopeGuard([this] {
            m_run = nullptr;
            setRunning(false);
            setStatus(0);
        });
        connect(&run, &GenerationRun::progress, &finishPage, &FinishPage::onEngineProgress);
        finishPage.resetProgress();
        setStatus(4);
        result = run.run();
        finishPage.resetProgress();
    }
    const QString message = GenerationRun::outcomeMessage(m_session.project.TableName, result);
    if (result.outcome == GenerationRun::Outcome::Succeeded) {
        m_lastSite = m_session.project.DestinationPath;
        m_previewAction->setEnabled(true);
        finishPage.cmdPreview()->setEnabled(true);
    }
    switch (result.outcome) {
    case GenerationRun::Outcome::Succeeded:
    case GenerationRun::Outcome::Aborted:
        offerNewProject(message);
        break;
    case GenerationRun::Outcome::Failed:
        m_prompt.warning(message);
        break;
    case GenerationRun::Outcome::NotStarted:
        // Nothing was saved (cancelled or refused), or the reason was reported.
        break;
    }
}

void MainWindow::setRunning(bool running) {
    m_cmdNext->setEnabled(!running);
    m_cmdBack->setEnabled(!running && m_session.currentStep > 1);
    m_cmdCancel->setEnabled(true);
    m_wizard->setFinishControlsEnabled(!running);
    m_taskPane->setEnabled(!running);
    for (QAction* action : std::as_const(m_projectActions))
        action->setEnabled(!running);
    for (QAction* action : std::as_const(m_recentActions))
        action->setEnabled(!running);
}

void MainWindow::rebuildRecentMenu() {
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

void MainWindow::previewSite(const QString& folder) {
    if (folder.isEmpty())
        return;
    // Started afresh each time, so a site generated again is served as it is now.
    const PreviewHost::Started started = m_preview->start(folder);
    if (!started.ok()) {
        m_prompt.warning(QStringLiteral("The site in \"%1\" cannot be previewed:\n%2")
                             .arg(folder, started.error));
        return;
    }
    setStatus(0);
    showStatusText(QStringLiteral("Preview of the site at ") + started.url.toString());
    m_openUrl(started.url);
}

bool MainWindow::generating() const {
    return m_run != nullptr;
}

void MainWindow::offerNewProject(const QString& firstLine) {
    if (m_prompt.question(firstLine + QStringLiteral("\nWould you like to create a new project?")))
        newProject();
}

void MainWindow::newProject() {
    if (generating())
        return;
    m_session.projectFile.clear();
    m_session.projectOrigin = OriginNew;
    setStatus(0);
    resetProject();
    refreshWizard();
}

void MainWindow::openProject() {
    if (generating())
        return;
    m_session.projectFile.clear();
    m_session.projectOrigin = OriginLoaded;
    resetProject();
    openedOrNew(m_session.openProject(QString()));
    refreshWizard();
}

void MainWindow::openRecentProject(const QString& path) {
    if (generating())
        return;
    Trap(QStringLiteral("frmMain.mnuRecent_Click"), [&] {
        m_session.projectFile.clear();
        m_session.projectOrigin = OriginLoaded;
        resetProject();
        openedOrNew(m_session.openProject(path));
        refreshWizard();
    });
}

void MainWindow::openedOrNew(bool opened) {
    if (opened)
        m_wizard->showLoadedDataSource();
    else // nothing was read: the empty project is a new one
        m_session.projectOrigin = OriginNew;
}

void MainWindow::saveProject() {
    if (generating() || !m_wizard->apply(m_session.currentStep))
        return;
    m_session.projectOrigin = OriginSaving;
    m_session.saveProject();
}

void MainWindow::onShowBarToggled() {
    Trap(QStringLiteral("frmMain.mnuShowBar_Click"),
         [&] { m_taskPane->setVisible(m_showBar->isChecked()); });
}

void MainWindow::showHelp() {
    // A missing help page is not worth a message: the menu simply does nothing.
    const QString page = QualityPath(shippedDataFolder()) + QStringLiteral("help/index.html");
    if (QFileInfo(page).isFile())
        m_openUrl(QUrl::fromLocalFile(page));
}

void MainWindow::showDialog(QDialog& dialog) {
    Q_EMIT dialogOpened(&dialog);
    dialog.exec();
}

void MainWindow::showAbout() {
    AboutDialog about(this);
    showDialog(about);
}

void MainWindow::showSettings() {
    if (generating())
        return;
    SettingsDialog settings(this);
    showDialog(settings);
}

void MainWindow::onNextClicked() {
    if (generating())
        return;
    Trap(QStringLiteral("frmMain.cmbNext_Click"), [&] {
        m_cmdBack->setEnabled(true);
        m_cmdNext->setEnabled(false);
        const WizardNavigator::NextResult result = m_navigator.next();
        m_cmdNext->setEnabled(true);
        if (result == WizardNavigator::NextResult::Finish)
            finish();
    });
    if (!generating())
        m_cmdNext->setEnabled(true);
}

void MainWindow::onBackClicked() {
    if (generating())
        return;
    Trap(QStringLiteral("frmMain.cmbBack_Click"), [&] {
        if (m_session.currentStep <= 1) {
            m_cmdBack->setEnabled(false);
            return;
        }
        m_cmdNext->setEnabled(true);
        m_cmdBack->setEnabled(false);
        m_navigator.back();
        m_cmdBack->setEnabled(m_session.currentStep > 1);
    });
}

bool MainWindow::confirmExit() {
    if (m_run != nullptr) {
        // A run is going: ask the engine to stop. The window stays open (the
        // run is still on the stack) until the user closes it afterwards.
        m_run->requestAbort();
        setStatus(6);
        return false;
    }
    if (m_session.currentStep >= kFinishStep) {
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

void MainWindow::onCancelClicked() {
    if (confirmExit())
        close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_exitConfirmed || confirmExit())
        event->accept();
    else
        event->ignore();
}

} // namespace ordwick
