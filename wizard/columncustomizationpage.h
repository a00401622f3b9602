#pragma once

#include "wizard/columncustomizationmodel.h"

#include <QTableView>
#include <QWidget>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace ordwick {

class MultiSelectComboBox;
class Prompt;

// A customization grid that asks its page before any cell is edited, so the
// page can open its own editor over the cell, flip an icon or refuse.
class CustomizationGrid final : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

Q_SIGNALS:
    void editRequested(const QModelIndex& index);
    void popupRequested(const QPoint& globalPos);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// The "Column Customization" step: the list page and add/edit page grids on
// one tab strip, and the editors that open over their cells.
class ColumnCustomizationPage final : public QWidget {
    Q_OBJECT
public:
    using Key = ColumnCustomizationStep::Key;

    ColumnCustomizationPage(Prompt& prompt, QWidget* parent = nullptr);

    void fill(std::vector<CustomizationRow> listRows, std::vector<CustomizationRow> editRows);
    ColumnCustomizationModel& model(int grid) { return grid == 0 ? m_listModel : m_editModel; }

    // The grid asks before an edit: flips, opens an editor or refuses.
    void requestEdit(int grid, const QModelIndex& index);
    // Commits the open editor; false (editor kept open) when refused.
    bool endEdit();
    void cancelEdit();
    QWidget* openEditor() const { return m_editor; }
    void onMoreClicked();
    void onListItemActivated(int item);
    void markDisplay(ColumnCustomizationModel::Marking marking);

    QTabBar* tbsStrip() const { return m_strip; }
    CustomizationGrid* grdColumnCustomization(int index) const {
        return m_grids.at(static_cast<size_t>(index));
    }
    QLineEdit* txtEdit() const { return m_txtEdit; }
    QComboBox* cmbList() const { return m_cmbList; }
    MultiSelectComboBox* cboOptions() const { return m_cboOptions; }
    QPushButton* cmdEllipsis() const { return m_cmdEllipsis; }

Q_SIGNALS:
    // "more" on a radio button or lookup field row of the add/edit grid.
    void lookupDetailsRequested(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showGrid(int tab);
    void place(QWidget* editor, int extraRows = 0);
    void openList(const QStringList& items, int current);
    void hideEditors();
    void reportRefusal(const QString& text, QWidget* editor);

    Prompt& m_prompt;
    ColumnCustomizationModel m_listModel{false};
    ColumnCustomizationModel m_editModel{true};
    QTabBar* m_strip;
    std::array<CustomizationGrid*, 2> m_grids{};
    QLineEdit* m_txtEdit;
    QComboBox* m_cmbList;
    MultiSelectComboBox* m_cboOptions;
    QPushButton* m_cmdEllipsis;

    QWidget* m_editor = nullptr; // the editor open over a cell
    int m_grid = -1;
    int m_row = -1;
    Key m_key = Key::KeyCount;
};

} // namespace ordwick
