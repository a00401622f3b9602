#include "wizard/columngridmodel.h"

#include "controls/iconstore.h"
#include "controls/markercells.h"

#include <utility>

namespace ordwick {

namespace {

const QString kCheck = QStringLiteral("CHECK");
const QString kUncheck = QStringLiteral("UNCHECK");

} // namespace

void ColumnGridModel::setRows(std::vector<ColumnRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ColumnGridModel::markStoredKeys(const Project& project, int projectOrigin) {
    ordwick::markStoredKeys(m_rows, project, projectOrigin);
    Q_EMIT dataChanged(index(0, Unique), index(rowCount() - 1, Checked));
}

void ColumnGridModel::markDetectedKeys(const std::vector<KeyColumn>& keys,
                                       const QString& tableName) {
    ordwick::markDetectedKeys(m_rows, keys, tableName);
    Q_EMIT dataChanged(index(0, Unique), index(rowCount() - 1, Checked));
}

bool ColumnGridModel::toggleMarker(int row, int column) {
    if (row < 0 || row >= rowCount() || (column != Unique && column != Checked))
        return false;
    ColumnRow& entry = m_rows[static_cast<size_t>(row)];
    if (entry.typeIcon == QLatin1String("OLE"))
        return false;
    QString& marker = column == Unique ? entry.uniqueMarker : entry.includeMarker;
    marker = marker == kCheck ? kUncheck : kCheck;
    Q_EMIT dataChanged(index(row, column), index(row, column));
    return true;
}

QString ColumnGridModel::columnKey(int column) {
    switch (column) {
    case Unique:
        return QStringLiteral("Unique");
    case Checked:
        return QStringLiteral("Checked");
    case Name:
        return QStringLiteral("Column");
    case Data:
        return QStringLiteral("Data");
    case Length:
        return QStringLiteral("Length");
    default:
        return {};
    }
}

int ColumnGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ColumnGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ColumnGridModel::iconKey(const ColumnRow& row, int column) const {
    switch (column) {
    case Unique:
        return row.uniqueMarker;
    case Checked:
        return row.includeMarker;
    case Name:
        return row.typeIcon;
    default:
        return {};
    }
}

QVariant ColumnGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ColumnRow& row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == Name)
            return row.name;
        if (index.column() == Data)
            return row.typeText;
        if (index.column() == Length)
            return row.length;
        return {};
    case Qt::DecorationRole:
        return iconFor(iconKey(row, index.column()));
    case IconKeyRole:
        return iconKey(row, index.column());
    case Qt::CheckStateRole:
        if (index.column() == Unique || index.column() == Checked)
            return markerCheckState(iconKey(row, index.column()));
        return {};
    case Qt::AccessibleTextRole:
        if (index.column() == Unique)
            return QStringLiteral("Unique key");
        if (index.column() == Checked)
            return QStringLiteral("Included");
        return {};
    case Qt::AccessibleDescriptionRole:
        if (index.column() == Unique && row.uniqueMarker == QLatin1String("KEY"))
            return QStringLiteral("Column %1, detected as a key, not yet confirmed").arg(row.name);
        if (index.column() == Unique || index.column() == Checked)
            return QStringLiteral("Column %1").arg(row.name);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ColumnGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool marker = index.column() == Unique || index.column() == Checked;
    if (marker && index.row() < rowCount() &&
        m_rows[static_cast<size_t>(index.row())].typeIcon != QLatin1String("OLE"))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ColumnGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Checked:
        return QStringLiteral("Selected");
    case Data:
        return QStringLiteral("Data Type");
    default:
        return columnKey(section);
    }
}

} // namespace ordwick
