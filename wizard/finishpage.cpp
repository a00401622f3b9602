#include "wizard/finishpage.h"

#include "controls/griddrawing.h"
#include "controls/iconstore.h"
#include "foundation/trap.h"
#include "generation/tasklist.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace ordwick {

namespace {

const QString kGroup = QStringLiteral("Task List");

QStandardItem* cell(const QString& text, const QString& iconKey = {}) {
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(iconKey, FinishPage::IconKeyRole);
    if (!iconKey.isEmpty())
        item->setIcon(iconFor(iconKey));
    return item;
}

} // namespace

FinishPage::FinishPage(QWidget* parent)
    : QWidget(parent), m_txtDestinationPath(new QLineEdit(this)),
      m_cmdDestinationPath(new QPushButton(QStringLiteral("..."), this)),
      m_chkCopyDatabase(new QCheckBox(QStringLiteral("Copy Database"), this)),
      m_grdFinish(new QTreeView(this)), m_pgbProgress(new QProgressBar(this)) {
    setObjectName(QStringLiteral("pgFinish"));
    m_txtDestinationPath->setObjectName(QStringLiteral("txtDestinationPath"));
    m_cmdDestinationPath->setObjectName(QStringLiteral("cmdDestinationPath"));
    m_cmdDestinationPath->setToolTip(QStringLiteral("Select folder to store ASP script files"));
    m_cmdDestinationPath->setAccessibleName(
        QStringLiteral("Select folder to store ASP script files"));
    m_cmdDestinationPath->setMaximumWidth(40);
    m_chkCopyDatabase->setObjectName(QStringLiteral("chkCopyDatabase"));
    m_grdFinish->setObjectName(QStringLiteral("grdFinish"));
    m_grdFinish->setAccessibleName(QStringLiteral("Task List"));

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Store the ASP scripts in:"), this);
    label->setBuddy(m_txtDestinationPath);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_txtDestinationPath, 1);
    row->addWidget(m_cmdDestinationPath);
    layout->addLayout(row);
    layout->addWidget(m_chkCopyDatabase);

    m_model.setColumnCount(ColumnCount);
    // Not shown, but read out by screen readers instead of column numbers.
    m_model.setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("Task List"),
                                       QStringLiteral("Task"), QStringLiteral("Status")});
    m_grdFinish->setModel(&m_model);
    m_grdFinish->setHeaderHidden(true);
    m_grdFinish->setRootIsDecorated(false);
    m_grdFinish->setItemsExpandable(false);
    m_grdFinish->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdFinish->setColumnHidden(Id, true);
    m_grdFinish->setColumnHidden(TaskList, true);
    m_grdFinish->header()->setStretchLastSection(true);
    m_grdFinish->setColumnWidth(Feature, 320);
    m_grdFinish->setItemDelegate(new GroupRowDelegate(m_grdFinish));
    layout->addWidget(m_grdFinish, 1);
    auto* renameRow = new QHBoxLayout;
    auto* renameText = new QLabel(QStringLiteral("The files would be generated with table name as "
                                                 "suffix. If you want to change this"),
                                  this);
    renameText->setObjectName(QStringLiteral("lblFinish(3)"));
    // A button drawn as a link: one Tab reaches it, Enter or Space opens the
    // dialog, and a screen reader offers it as something to press.
    auto* renameLink = new QPushButton(QStringLiteral("click here"), this);
    renameLink->setObjectName(QStringLiteral("lblFinish(4)"));
    renameLink->setFlat(true);
    renameLink->setCursor(Qt::PointingHandCursor);
    renameLink->setStyleSheet(QStringLiteral("QPushButton { color: palette(link); border: none; "
                                             "padding: 0; text-decoration: underline; }"
                                             "QPushButton:focus { outline: 1px dotted; }"));
    connect(renameLink, &QPushButton::clicked, this, &FinishPage::renameRequested);
    renameRow->addWidget(renameText);
    renameRow->addWidget(renameLink);
    renameRow->addStretch();
    layout->addLayout(renameRow);
    m_pgbProgress->setObjectName(QStringLiteral("pgbProgress"));
    m_pgbProgress->setAccessibleName(QStringLiteral("Progress"));
    m_pgbProgress->setValue(0);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_pgbProgress, 1);
    // Offered once a run has written the whole site.
    m_cmdPreview = new QPushButton(QStringLiteral("&Preview"), this);
    m_cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    m_cmdPreview->setToolTip(QStringLiteral("Try the generated site in the browser"));
    m_cmdPreview->setEnabled(false);
    progressRow->addWidget(m_cmdPreview);
    layout->addLayout(progressRow);
    connect(m_cmdPreview, &QPushButton::clicked, this, &FinishPage::previewRequested);

    connect(m_cmdDestinationPath, &QPushButton::clicked, this, &FinishPage::destinationRequested);
    connect(m_chkCopyDatabase, &QCheckBox::clicked, this, &FinishPage::copyDatabaseClicked);
}

void FinishPage::fillTasks(const Project& project) {
    m_grdFinish->setUpdatesEnabled(false);
    m_model.removeRows(0, m_model.rowCount());
    QList<QStandardItem*> group{cell({}), cell(kGroup), cell(kGroup), cell({})};
    QFont bold = group[Feature]->font();
    bold.setBold(true);
    for (QStandardItem* item : group)
        item->setFont(bold);
    for (const GenerationTask& task : generationTasks(project))
        group.first()->appendRow(
            {cell({}), cell(kGroup), cell(task.text, QStringLiteral("TASK")), cell({})});
    m_model.appendRow(group);
    m_grdFinish->expandAll();
    m_grdFinish->setUpdatesEnabled(true);
}

QStandardItem* FinishPage::item(int row, int column) const {
    if (m_model.rowCount() == 0 || row < 1 || column < 0 || column >= ColumnCount)
        return nullptr;
    QStandardItem* group = m_model.item(0, 0);
    if (row == 1)
        return m_model.item(0, column);
    return row - 2 < group->rowCount() ? group->child(row - 2, column) : nullptr;
}

int FinishPage::rowCount() const {
    return m_model.rowCount() == 0 ? 0 : 1 + m_model.item(0, 0)->rowCount();
}

QString FinishPage::rowText(int row, int column) const {
    const QStandardItem* entry = item(row, column);
    return entry == nullptr ? QString() : entry->text();
}

QString FinishPage::rowIconKey(int row, int column) const {
    const QStandardItem* entry = item(row, column);
    return entry == nullptr ? QString() : entry->data(IconKeyRole).toString();
}

void FinishPage::markDone(int row) {
    markEnded(row, QStringLiteral("TASKOVER"), QStringLiteral("Completed!"));
}

void FinishPage::markFailed(int row) {
    markEnded(row, QStringLiteral("TASKFAILED"), QStringLiteral("Failed!"));
}

void FinishPage::markEnded(int row, const QString& iconKey, const QString& statusText) {
    if (QStandardItem* feature = item(row, Feature)) {
        feature->setData(iconKey, IconKeyRole);
        feature->setIcon(iconFor(iconKey));
    }
    if (QStandardItem* status = item(row, Status))
        status->setText(statusText);
}

void FinishPage::onEngineProgress(int progressStatus, bool failed) {
    Trap(QStringLiteral("frmMain.oObject_Progress"), [&] {
        if (progressStatus < 0 || progressStatus >= rowCount())
            return;
        m_pgbProgress->setValue(progressStatus);
        if (failed)
            markFailed(progressStatus + 1);
        else
            markDone(progressStatus + 1);
    });
}

void FinishPage::resetProgress() {
    m_pgbProgress->setMaximum(qMax(1, rowCount()));
    m_pgbProgress->setValue(0);
}

} // namespace ordwick
