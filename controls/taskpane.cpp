#include "controls/taskpane.h"

#include "controls/iconstore.h"
#include "controls/markercells.h"

#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace ordwick {

TaskPane::TaskPane(QWidget* parent) : QWidget(parent), m_view(new QTreeView(this)) {
    setObjectName(QStringLiteral("vbaExplorerBar"));
    setAccessibleName(QStringLiteral("Task pane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("cmdCloseTaskPane"));
    close->setAutoRaise(true);
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("Close the task pane"));
    close->setAccessibleName(QStringLiteral("Close task pane"));
    connect(close, &QToolButton::clicked, this, &TaskPane::closeRequested);
    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(close);
    layout->addLayout(top);

    m_view->setModel(&m_model);
    // Not shown, but read out by screen readers instead of a column number.
    m_model.setHorizontalHeaderLabels({QStringLiteral("Task")});
    m_view->setHeaderHidden(true);
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setIndentation(12);
    m_view->setAccessibleName(QStringLiteral("Tasks"));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setItemDelegate(new MarkerCellDelegate(m_view));
    layout->addWidget(m_view);
    connect(m_view, &QTreeView::clicked, this, &TaskPane::activate);
    setMinimumWidth(190);
    setMaximumWidth(230);
}

void TaskPane::addBar(const QString& key, const QString& caption, bool clickable) {
    auto* header = new QStandardItem(caption);
    header->setData(key, KeyRole);
    header->setData(clickable, ClickableRole);
    header->setFlags(Qt::ItemIsEnabled);
    QFont font = header->font();
    font.setBold(true);
    header->setFont(font);
    header->setForeground(palette().color(QPalette::Highlight));
    m_model.appendRow(header);
    m_view->expand(header->index());
}

void TaskPane::addItem(const QString& barKey, const QString& key, const QString& caption,
                       const QString& iconKey) {
    QStandardItem* owner = bar(barKey);
    if (owner == nullptr)
        return;
    auto* entry = new QStandardItem(caption);
    entry->setData(key, KeyRole);
    entry->setFlags(Qt::ItemIsEnabled);
    showIcon(*entry, iconKey);
    entry->setToolTip(caption);
    owner->appendRow(entry);
    m_view->expand(owner->index());
}

void TaskPane::showIcon(QStandardItem& entry, const QString& iconKey) {
    entry.setData(iconKey, IconKeyRole);
    entry.setIcon(iconFor(iconKey));
    // A tick is read out as a check box that is ticked or not.
    const QVariant state = markerCheckState(iconKey);
    entry.setData(state, Qt::CheckStateRole);
    entry.setFlags(state.isValid() ? entry.flags() | Qt::ItemIsUserCheckable
                                   : entry.flags() & ~Qt::ItemIsUserCheckable);
}

QStandardItem* TaskPane::bar(const QString& key) const {
    for (int row = 0; row < m_model.rowCount(); ++row) {
        QStandardItem* candidate = m_model.item(row);
        if (candidate->data(KeyRole).toString() == key)
            return candidate;
    }
    return nullptr;
}

QStandardItem* TaskPane::item(const QString& barKey, int position) const {
    QStandardItem* owner = bar(barKey);
    if (owner == nullptr || position < 1 || position > owner->rowCount())
        return nullptr;
    return owner->child(position - 1);
}

int TaskPane::itemCount(const QString& barKey) const {
    const QStandardItem* owner = bar(barKey);
    return owner == nullptr ? 0 : owner->rowCount();
}

QString TaskPane::itemKey(const QString& barKey, int position) const {
    const QStandardItem* entry = item(barKey, position);
    return entry == nullptr ? QString() : entry->data(KeyRole).toString();
}

QString TaskPane::itemIconKey(const QString& barKey, int position) const {
    const QStandardItem* entry = item(barKey, position);
    return entry == nullptr ? QString() : entry->data(IconKeyRole).toString();
}

void TaskPane::setItemIconKey(const QString& barKey, int position, const QString& iconKey) {
    if (QStandardItem* entry = item(barKey, position))
        showIcon(*entry, iconKey);
}

bool TaskPane::itemBold(const QString& barKey, int position) const {
    const QStandardItem* entry = item(barKey, position);
    return entry != nullptr && entry->font().bold();
}

void TaskPane::setItemBold(const QString& barKey, int position, bool bold) {
    if (QStandardItem* entry = item(barKey, position)) {
        QFont font = entry->font();
        font.setBold(bold);
        entry->setFont(font);
    }
}

void TaskPane::setRedraw(bool on) {
    m_view->setUpdatesEnabled(on);
}

void TaskPane::activate(const QModelIndex& index) {
    const QModelIndex parentIndex = index.parent();
    if (!parentIndex.isValid() || !parentIndex.data(ClickableRole).toBool())
        return;
    Q_EMIT itemClicked(index.data(KeyRole).toString());
}

void TaskPane::click(const QString& barKey, const QString& key) {
    QStandardItem* owner = bar(barKey);
    for (int row = 0; owner != nullptr && row < owner->rowCount(); ++row) {
        if (owner->child(row)->data(KeyRole).toString() == key)
            activate(owner->child(row)->index());
    }
}

} // namespace ordwick
