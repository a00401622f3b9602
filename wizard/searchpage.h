#pragma once

#include "wizard/searchgridmodel.h"

#include <QWidget>

class QMenu;
class QTableView;

namespace ordwick {

// The "Search Options" step: the grid of columns offered by basic and advanced
// search, with the grid popup's Select All, Deselect All and Inverse Select.
class SearchPage final : public QWidget {
    Q_OBJECT
public:
    explicit SearchPage(QWidget* parent = nullptr);

    // Fills the grid; the features decide which markers a click may flip.
    void fill(std::vector<SearchRow> rows, bool simpleSearch, bool advancedSearch);
    std::vector<SearchRow> rows() const { return m_model.rows(); }

    // The window's popup menu; the page runs it over the grid and acts on the
    // command chosen, so the menu itself stays free of any one grid.
    void setPopupMenu(QMenu* menu) { m_popup = menu; }
    // Runs the popup command named by the action's object name on a column.
    void runPopupCommand(const QString& actionName, int column);
    void requestEdit(int row, int column);

    QTableView* grdSearch() const { return m_grdSearch; }
    SearchGridModel& model() { return m_model; }

private:
    void showPopup(const QPoint& position);

    QTableView* m_grdSearch;
    SearchGridModel m_model;
    QMenu* m_popup = nullptr;
    bool m_simpleSearch = false;
    bool m_advancedSearch = false;
};

} // namespace ordwick
