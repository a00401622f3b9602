#pragma once

#include "wizard/columncustomizationstep.h"

#include <QAbstractTableModel>
#include <vector>

namespace ordwick {

// One column customization grid: the list page grid or the add/edit page grid.
// Check cells hold icon keys; the More cell carries its colour.
class ColumnCustomizationModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    explicit ColumnCustomizationModel(bool editPage, QObject* parent = nullptr);

    bool editPage() const { return m_editPage; }
    void setRows(std::vector<CustomizationRow> rows);
    const std::vector<CustomizationRow>& rows() const { return m_rows; }
    CustomizationRow& row(int index) { return m_rows.at(static_cast<size_t>(index)); }
    // After a row was changed through row().
    void rowChanged(int index);

    ColumnCustomizationStep::Key key(int column) const;
    int columnOf(ColumnCustomizationStep::Key key) const;

    enum class Marking { All, None, Inverse };
    // The popup commands on the Display column.
    void markDisplay(Marking marking);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text a cell shows, or its icon key for check cells.
    static QString cellText(const CustomizationRow& row, ColumnCustomizationStep::Key key);

private:
    bool m_editPage;
    std::vector<CustomizationRow> m_rows;
};

} // namespace ordwick
