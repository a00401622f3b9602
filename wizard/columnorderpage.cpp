#include "wizard/columnorderpage.h"

#include "controls/iconstore.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"
#include "wizard/columnorderstep.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace ordwick {

namespace {

QStandardItem* iconCell(const QString& text, const QString& iconKey) {
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(iconKey, ColumnOrderPage::IconKeyRole);
    item->setIcon(iconFor(iconKey));
    return item;
}

} // namespace

ColumnOrderPage::ColumnOrderPage(Prompt& prompt, QWidget* parent)
    : QWidget(parent), m_prompt(prompt), m_grid(new QTableView(this)), m_up(new QPushButton(this)),
      m_down(new QPushButton(this)) {
    setObjectName(QStringLiteral("pgColumnOrder"));
    m_grid->setObjectName(QStringLiteral("grdColumnOrder"));
    m_grid->setAccessibleName(QStringLiteral("Column Order"));
    m_model.setColumnCount(ColumnCount);
    m_model.setHorizontalHeaderLabels({QString(), QStringLiteral("Column")});
    m_grid->setModel(&m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the buttons; the arrows move between rows.
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->hide();
    m_grid->setColumnWidth(Icon, 20);
    m_grid->setColumnWidth(Name, 260);

    m_up->setObjectName(QStringLiteral("cmdOrder(0)"));
    m_down->setObjectName(QStringLiteral("cmdOrder(1)"));
    m_up->setIcon(QApplication::style()->standardIcon(QStyle::SP_ArrowUp));
    m_down->setIcon(QApplication::style()->standardIcon(QStyle::SP_ArrowDown));
    m_up->setAccessibleName(QStringLiteral("Move Up"));
    m_down->setAccessibleName(QStringLiteral("Move Down"));
    // The buttons show only arrows: these are their access keys.
    m_up->setShortcut(QKeySequence(Qt::ALT | Qt::Key_U));
    m_down->setShortcut(QKeySequence(Qt::ALT | Qt::Key_D));
    m_up->setToolTip(QStringLiteral("Move Up (Alt+U)"));
    m_down->setToolTip(QStringLiteral("Move Down (Alt+D)"));

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_up);
    buttons->addWidget(m_down);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    connect(m_up, &QPushButton::clicked, this, [this] { onOrderClicked(0); });
    connect(m_down, &QPushButton::clicked, this, [this] { onOrderClicked(1); });
}

QStandardItem* ColumnOrderPage::nameCell(const QString& name) const {
    return iconCell(name, m_typeIcon ? m_typeIcon(name) : QString());
}

void ColumnOrderPage::setNames(const QStringList& names, const TypeIcon& typeIcon) {
    m_typeIcon = typeIcon;
    m_model.removeRows(0, m_model.rowCount());
    for (const QString& name : names)
        m_model.appendRow({iconCell(QString(), QStringLiteral("ROW")), nameCell(name)});
    m_grid->clearSelection();
    m_grid->setCurrentIndex({});
}

QStringList ColumnOrderPage::names() const {
    QStringList names;
    for (int row = 0; row < m_model.rowCount(); ++row)
        names.append(m_model.item(row, Name)->text());
    return names;
}

int ColumnOrderPage::selectedRow() const {
    const QModelIndexList rows = m_grid->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ColumnOrderPage::selectRow(int row) {
    m_grid->selectRow(row);
}

QString ColumnOrderPage::rowIconKey(int row, int column) const {
    const QStandardItem* item = m_model.item(row, column);
    return item == nullptr ? QString() : item->data(IconKeyRole).toString();
}

void ColumnOrderPage::onOrderClicked(int index) {
    Trap(QStringLiteral("frmMain.cmbOrder_Click"), [&] {
        QStringList order = names();
        const int selected = selectedRow();
        const ColumnOrderStep::Move move = ColumnOrderStep::move(order, selected, index == 0);
        if (move.refusal) {
            m_prompt.warning(*move.refusal);
            return;
        }
        if (move.selection == selected)
            return;
        // The type icon travels with its name: it describes the column.
        m_grid->setUpdatesEnabled(false);
        for (const int row : {selected, move.selection})
            m_model.setItem(row, Name, nameCell(order.at(row)));
        m_grid->setUpdatesEnabled(true);
        m_grid->selectRow(move.selection);
    });
}

} // namespace ordwick
