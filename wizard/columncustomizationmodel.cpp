#include "wizard/columncustomizationmodel.h"

#include "controls/iconstore.h"
#include "controls/markercells.h"

#include <QBrush>
#include <utility>

namespace ordwick {

using Step = ColumnCustomizationStep;

ColumnCustomizationModel::ColumnCustomizationModel(bool editPage, QObject* parent)
    : QAbstractTableModel(parent), m_editPage(editPage) {}

void ColumnCustomizationModel::setRows(std::vector<CustomizationRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ColumnCustomizationModel::rowChanged(int index) {
    Q_EMIT dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
}

Step::Key ColumnCustomizationModel::key(int column) const {
    const auto& keys = Step::keys(m_editPage);
    return column >= 0 && column < static_cast<int>(keys.size()) ? keys[static_cast<size_t>(column)]
                                                                 : Step::KeyCount;
}

int ColumnCustomizationModel::columnOf(Step::Key key) const {
    const auto& keys = Step::keys(m_editPage);
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == key)
            return static_cast<int>(i);
    }
    return -1;
}

void ColumnCustomizationModel::markDisplay(Marking marking) {
    for (CustomizationRow& row : m_rows) {
        const bool checked = row.display == QLatin1String("CHECK");
        const bool wanted = marking == Marking::All    ? true
                            : marking == Marking::None ? false
                                                       : !checked;
        row.display = wanted ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK");
    }
    const int column = columnOf(Step::Display);
    Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
}

int ColumnCustomizationModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ColumnCustomizationModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Step::keys(m_editPage).size());
}

QString ColumnCustomizationModel::cellText(const CustomizationRow& row, Step::Key key) {
    switch (key) {
    case Step::Icon:
        return QStringLiteral("ROW");
    case Step::Column:
        return row.name;
    case Step::Name:
        return row.caption;
    case Step::Display:
        return row.display;
    case Step::Required:
        return row.required;
    case Step::ViewFormat:
        return row.format;
    case Step::Alignment:
        return row.alignment;
    case Step::EditAs:
        return row.editAs;
    case Step::Width:
        return row.width;
    case Step::Length:
        return row.length;
    case Step::Default:
        return row.defaultValue;
    case Step::Validation:
        return row.validation;
    case Step::More:
        return row.more;
    case Step::Details:
        return row.details;
    default:
        return {};
    }
}

QVariant ColumnCustomizationModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const CustomizationRow& row = m_rows[static_cast<size_t>(index.row())];
    const Step::Key k = key(index.column());
    const bool iconCell = k == Step::Icon || k == Step::Display || k == Step::Required;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return iconCell ? QVariant() : QVariant(cellText(row, k));
    case Qt::DecorationRole:
        if (iconCell)
            return iconFor(cellText(row, k));
        if (k == Step::Column)
            return iconFor(row.typeIcon);
        return {};
    case IconKeyRole:
        if (iconCell)
            return cellText(row, k);
        return k == Step::Column ? row.typeIcon : QString();
    case Qt::BackgroundRole:
        if (k == Step::More)
            return QBrush(Step::moreColour(row));
        return {};
    case Qt::CheckStateRole:
        if (k == Step::Display || k == Step::Required)
            return markerCheckState(cellText(row, k));
        return {};
    case Qt::AccessibleTextRole:
        if (k == Step::Display || k == Step::Required)
            return Step::caption(k);
        return {};
    case Qt::AccessibleDescriptionRole:
        if (k == Step::Display || k == Step::Required)
            return QStringLiteral("Column %1").arg(row.name);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ColumnCustomizationModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const Step::Key k = key(index.column());
    if (k == Step::Display || k == Step::Required)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ColumnCustomizationModel::headerData(int section, Qt::Orientation orientation,
                                              int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return Step::caption(key(section));
}

} // namespace ordwick
