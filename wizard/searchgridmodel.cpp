#include "wizard/searchgridmodel.h"

#include "controls/iconstore.h"
#include "controls/markercells.h"

#include <utility>

namespace ordwick {

namespace {

QString marker(bool on) {
    return on ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK");
}

bool& flag(SearchRow& row, int column) {
    return column == SearchGridModel::SimpleSearch ? row.simple : row.advanced;
}

} // namespace

void SearchGridModel::setRows(std::vector<SearchRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

bool SearchGridModel::requestEdit(int row, int column, bool simpleSearch, bool advancedSearch) {
    if (row < 0 || row >= rowCount())
        return false;
    const bool allowed =
        (column == SimpleSearch && simpleSearch) || (column == AdvancedSearch && advancedSearch);
    if (!allowed)
        return false;
    bool& value = flag(m_rows[static_cast<size_t>(row)], column);
    value = !value;
    Q_EMIT dataChanged(index(row, column), index(row, column));
    return true;
}

void SearchGridModel::mark(int column, Marking marking) {
    if ((column != SimpleSearch && column != AdvancedSearch) || m_rows.empty())
        return;
    for (SearchRow& row : m_rows) {
        bool& value = flag(row, column);
        value = marking == Marking::Inverse ? !value : marking == Marking::SelectAll;
    }
    Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
}

QString SearchGridModel::columnKey(int column) {
    switch (column) {
    case Icon:
        return QStringLiteral("Icon");
    case Name:
        return QStringLiteral("Column");
    case SimpleSearch:
        return QStringLiteral("SimpleSearch");
    case AdvancedSearch:
        return QStringLiteral("AdvancedSearch");
    default:
        return {};
    }
}

int SearchGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SearchGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString SearchGridModel::iconKey(const SearchRow& row, int column) const {
    switch (column) {
    case Icon:
        return QStringLiteral("ROW");
    case Name:
        return row.typeIcon;
    case SimpleSearch:
        return marker(row.simple);
    case AdvancedSearch:
        return marker(row.advanced);
    default:
        return {};
    }
}

QVariant SearchGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const SearchRow& row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == Name ? QVariant(row.name) : QVariant();
    case Qt::DecorationRole:
        return iconFor(iconKey(row, index.column()));
    case IconKeyRole:
        return iconKey(row, index.column());
    case Qt::CheckStateRole:
        if (index.column() == SimpleSearch || index.column() == AdvancedSearch)
            return markerCheckState(iconKey(row, index.column()));
        return {};
    case Qt::AccessibleTextRole:
        if (index.column() == SimpleSearch)
            return QStringLiteral("Simple search");
        if (index.column() == AdvancedSearch)
            return QStringLiteral("Advanced search");
        return {};
    case Qt::AccessibleDescriptionRole:
        if (index.column() == SimpleSearch || index.column() == AdvancedSearch)
            return QStringLiteral("Column %1").arg(row.name);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags SearchGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == SimpleSearch || index.column() == AdvancedSearch)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant SearchGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name:
        return QStringLiteral("Column");
    case SimpleSearch:
        return QStringLiteral("Simple Search");
    case AdvancedSearch:
        return QStringLiteral("Advanced Search");
    default:
        return {};
    }
}

} // namespace ordwick
