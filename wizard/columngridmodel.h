#pragma once

#include "datasource/schemadiscovery.h"

#include <QAbstractTableModel>
#include <vector>

namespace ordwick {

// The table step's column grid: a unique-key marker, an include marker, the
// column with its type icon, the type and the length. Cells hold icon keys.
class ColumnGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Unique, Checked, Name, Data, Length, ColumnCount };
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<ColumnRow> rows);
    const std::vector<ColumnRow>& rows() const { return m_rows; }
    void clear() { setRows({}); }
    void markStoredKeys(const Project& project, int projectOrigin);
    void markDetectedKeys(const std::vector<KeyColumn>& keys, const QString& tableName);

    // A click on a marker cell: "CHECK" and "UNCHECK" flip, a detected "KEY" is
    // confirmed as "CHECK". Binary columns cannot be chosen. Returns whether
    // the cell changed.
    bool toggleMarker(int row, int column);

    static QString columnKey(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString iconKey(const ColumnRow& row, int column) const;

    std::vector<ColumnRow> m_rows;
};

} // namespace ordwick
