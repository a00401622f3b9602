#pragma once

#include "wizard/searchstep.h"

#include <QAbstractTableModel>
#include <vector>

namespace ordwick {

// The search grid: a row marker, the column with its type icon, and the
// "Simple Search" and "Advanced Search" markers as "CHECK"/"UNCHECK" icon keys.
class SearchGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Icon, Name, SimpleSearch, AdvancedSearch, ColumnCount };
    enum class Marking { SelectAll, DeselectAll, Inverse };
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<SearchRow> rows);
    const std::vector<SearchRow>& rows() const { return m_rows; }

    // A click on a marker flips it only when its search is generated.
    // Returns whether the cell changed.
    bool requestEdit(int row, int column, bool simpleSearch, bool advancedSearch);
    // The popup menu's commands on a whole marker column; the features are not
    // asked, so columns can be prepared before a search is switched on.
    void mark(int column, Marking marking);

    static QString columnKey(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString iconKey(const SearchRow& row, int column) const;

    std::vector<SearchRow> m_rows;
};

} // namespace ordwick
