#pragma once

#include <QStandardItemModel>
#include <QStringList>
#include <QWidget>
#include <functional>

class QPushButton;
class QTableView;

namespace ordwick {

class Prompt;

// The "Column Order" step: the grid of included columns and the two buttons
// that move the selected column up or down.
class ColumnOrderPage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int IconKeyRole = Qt::UserRole + 1;
    enum Column { Icon, Name, ColumnCount };
    // The icon of a column's data type, by column name.
    using TypeIcon = std::function<QString(const QString& name)>;

    ColumnOrderPage(Prompt& prompt, QWidget* parent = nullptr);

    void setNames(const QStringList& names, const TypeIcon& typeIcon);
    QStringList names() const;
    int selectedRow() const;
    void selectRow(int row);

    // Index 0 moves the selected column up, index 1 down.
    void onOrderClicked(int index);

    QTableView* grdColumnOrder() const { return m_grid; }
    QPushButton* cmdOrder(int index) const { return index == 0 ? m_up : m_down; }
    QString rowIconKey(int row, int column) const;

private:
    QStandardItem* nameCell(const QString& name) const;

    Prompt& m_prompt;
    QStandardItemModel m_model;
    TypeIcon m_typeIcon;
    QTableView* m_grid;
    QPushButton* m_up;
    QPushButton* m_down;
};

} // namespace ordwick
