#include "wizard/renamedialog.h"

#include "controls/iconstore.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace ordwick {

namespace {

// The "Rename As" editor: a plain text box named as the grid's editor.
class RenameEditDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName(QStringLiteral("txtEdit"));
        editor->setAccessibleName(QStringLiteral("Rename As"));
        return editor;
    }
};

QStandardItem* fixedCell(const QString& text) {
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

} // namespace

RenameDialog::RenameDialog(const QStringList& rename, const QStringList& otherFiles, Prompt& prompt,
                           QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_result(rename), m_otherFiles(otherFiles),
      m_grdFileRename(new QTableView(this)) {
    setObjectName(QStringLiteral("frmRename"));
    setWindowTitle(QStringLiteral("File rename"));
    resize(520, 320);
    m_grdFileRename->setObjectName(QStringLiteral("grdFileRename"));
    m_grdFileRename->setAccessibleName(QStringLiteral("File rename"));
    m_model.setColumnCount(ColumnCount);
    m_model.setHorizontalHeaderLabels(
        {QString(), QStringLiteral("File Name"), QStringLiteral("Rename As")});
    m_grdFileRename->setModel(&m_model);
    m_grdFileRename->setItemDelegateForColumn(Rename, new RenameEditDelegate(m_grdFileRename));
    m_grdFileRename->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_grdFileRename->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdFileRename->verticalHeader()->hide();
    m_grdFileRename->setColumnWidth(Icon, 30);
    m_grdFileRename->setColumnWidth(File, 220);
    m_grdFileRename->horizontalHeader()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grdFileRename, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* saveButton = new QPushButton(QStringLiteral("&Save"), this);
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, &RenameDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    Trap(QStringLiteral("frmRename.Form_Load"), [&] {
        for (const RenameEntry& entry : RenameList::entries(rename)) {
            auto* icon = fixedCell({});
            icon->setIcon(iconFor(QStringLiteral("ROW")));
            icon->setData(QStringLiteral("ROW"), IconKeyRole);
            auto* renameAs = new QStandardItem(entry.renameAs);
            m_model.appendRow({icon, fixedCell(entry.file), renameAs});
        }
    });
    if (m_model.rowCount() > 0)
        m_grdFileRename->setCurrentIndex(m_model.index(0, Rename));
}

QList<RenameEntry> RenameDialog::entries() const {
    QList<RenameEntry> result;
    for (int row = 0; row < m_model.rowCount(); ++row)
        result.append({m_model.item(row, File)->text(), m_model.item(row, Rename)->text()});
    return result;
}

void RenameDialog::save() {
    Trap(QStringLiteral("frmRename.cmdSave_Click"), [&] {
        const QList<RenameEntry> chosen = entries();
        if (const auto problem = PageNameCheck::firstProblem(chosen, m_otherFiles)) {
            m_prompt.warning(problem->message);
            m_grdFileRename->setCurrentIndex(
                m_model.index(static_cast<int>(problem->entry), Rename));
            m_grdFileRename->setFocus();
            return;
        }
        m_result = RenameList::stored(chosen);
        accept();
    });
}

} // namespace ordwick
