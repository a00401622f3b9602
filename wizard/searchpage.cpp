#include "wizard/searchpage.h"

#include "controls/markercells.h"
#include "foundation/trap.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

namespace ordwick {

SearchPage::SearchPage(QWidget* parent) : QWidget(parent), m_grdSearch(new QTableView(this)) {
    setObjectName(QStringLiteral("pgSearch"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Customize the search options"), this));
    m_grdSearch->setObjectName(QStringLiteral("grdSearch"));
    m_grdSearch->setAccessibleName(QStringLiteral("Search Options"));
    m_grdSearch->setModel(&m_model);
    m_grdSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdSearch->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grdSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid; the arrows move between its cells.
    m_grdSearch->setTabKeyNavigation(false);
    m_grdSearch->setContextMenuPolicy(Qt::CustomContextMenu);
    m_grdSearch->verticalHeader()->hide();
    m_grdSearch->setColumnWidth(SearchGridModel::Icon, 30);
    m_grdSearch->setColumnWidth(SearchGridModel::Name, 200);
    m_grdSearch->setColumnWidth(SearchGridModel::SimpleSearch, 100);
    m_grdSearch->setColumnWidth(SearchGridModel::AdvancedSearch, 110);
    m_grdSearch->horizontalHeader()->setStretchLastSection(true);
    m_grdSearch->setItemDelegate(new MarkerCellDelegate(m_grdSearch));
    toggleMarkersByKeyboard(m_grdSearch, [this](const QModelIndex& index) {
        requestEdit(index.row(), index.column());
    });
    layout->addWidget(m_grdSearch, 1);

    connect(m_grdSearch, &QTableView::clicked, this,
            [this](const QModelIndex& index) { requestEdit(index.row(), index.column()); });
    connect(m_grdSearch, &QWidget::customContextMenuRequested, this, &SearchPage::showPopup);
}

void SearchPage::fill(std::vector<SearchRow> rows, bool simpleSearch, bool advancedSearch) {
    m_simpleSearch = simpleSearch;
    m_advancedSearch = advancedSearch;
    m_model.setRows(std::move(rows));
}

void SearchPage::requestEdit(int row, int column) {
    Trap(QStringLiteral("frmMain.grdSearch_RequestEdit"),
         [&] { m_model.requestEdit(row, column, m_simpleSearch, m_advancedSearch); });
}

void SearchPage::runPopupCommand(const QString& actionName, int column) {
    using Marking = SearchGridModel::Marking;
    if (actionName == QLatin1String("mnuSelectAll"))
        Trap(QStringLiteral("frmMain.mnuSelectAll_Click"),
             [&] { m_model.mark(column, Marking::SelectAll); });
    else if (actionName == QLatin1String("mnuDeselectAll"))
        Trap(QStringLiteral("frmMain.mnuDeselectAll_Click"),
             [&] { m_model.mark(column, Marking::DeselectAll); });
    else if (actionName == QLatin1String("mnuInverseSelect"))
        Trap(QStringLiteral("frmMain.mnuInverseSelect_Click"),
             [&] { m_model.mark(column, Marking::Inverse); });
}

void SearchPage::showPopup(const QPoint& position) {
    if (m_popup == nullptr)
        return;
    // The column under the pointer, or the current one when the keyboard asked.
    QModelIndex index = m_grdSearch->indexAt(position);
    if (index.isValid())
        m_grdSearch->setCurrentIndex(index);
    else
        index = m_grdSearch->currentIndex();
    if (!index.isValid())
        return;
    const int column = index.column();
    if (const QAction* chosen = m_popup->exec(m_grdSearch->viewport()->mapToGlobal(position)))
        runPopupCommand(chosen->objectName(), column);
}

} // namespace ordwick
