#include "wizard/columncustomizationpage.h"

#include "controls/markercells.h"
#include "controls/multiselectcombobox.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"
#include "wizard/columnencodings.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

namespace ordwick {

using Step = ColumnCustomizationStep;

bool CustomizationGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // The page decides what an edit is; the view never opens an editor itself.
    if (index.isValid() && (editTriggers() & trigger) != 0) {
        Q_EMIT editRequested(index);
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

void CustomizationGrid::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT popupRequested(event->globalPos());
}

ColumnCustomizationPage::ColumnCustomizationPage(Prompt& prompt, QWidget* parent)
    : QWidget(parent), m_prompt(prompt), m_strip(new QTabBar(this)) {
    setObjectName(QStringLiteral("pgColumnCustomization"));
    m_strip->setObjectName(QStringLiteral("tbsStrip"));
    m_strip->addTab(QStringLiteral("List page customization"));
    m_strip->addTab(QStringLiteral("Add/edit page customization"));
    m_strip->setExpanding(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_strip);
    for (int i = 0; i < 2; ++i) {
        auto* grid = new CustomizationGrid(this);
        grid->setObjectName(QStringLiteral("grdColumnCustomization(%1)").arg(i));
        grid->setAccessibleName(m_strip->tabText(i));
        grid->setModel(&model(i));
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        // Tab leaves the grid; the arrows move between its cells.
        grid->setTabKeyNavigation(false);
        grid->setEditTriggers(QAbstractItemView::DoubleClicked |
                              QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed);
        grid->verticalHeader()->hide();
        const auto& keys = Step::keys(i == 1);
        for (size_t c = 0; c < keys.size(); ++c)
            grid->setColumnWidth(static_cast<int>(c), Step::width(keys[c]));
        if (i == 1)
            grid->setColumnHidden(m_editModel.columnOf(Step::Details), true);
        grid->setItemDelegate(new MarkerCellDelegate(grid));
        connect(grid, &CustomizationGrid::editRequested, this,
                [this, i](const QModelIndex& index) { requestEdit(i, index); });
        toggleMarkersByKeyboard(grid,
                                [this, i](const QModelIndex& index) { requestEdit(i, index); });
        connect(grid, &CustomizationGrid::popupRequested, this, [this](const QPoint& pos) {
            QMenu menu(this);
            menu.setObjectName(QStringLiteral("mnuPopup"));
            const QAction* all = menu.addAction(QStringLiteral("Select All"));
            const QAction* none = menu.addAction(QStringLiteral("Deselect All"));
            const QAction* inverse = menu.addAction(QStringLiteral("Inverse Select"));
            const QAction* chosen = menu.exec(pos);
            if (chosen == all)
                markDisplay(ColumnCustomizationModel::Marking::All);
            else if (chosen == none)
                markDisplay(ColumnCustomizationModel::Marking::None);
            else if (chosen == inverse)
                markDisplay(ColumnCustomizationModel::Marking::Inverse);
        });
        m_grids.at(static_cast<size_t>(i)) = grid;
        layout->addWidget(grid, 1);
    }

    // The editors float over the cell being edited.
    m_txtEdit = new QLineEdit(this);
    m_txtEdit->setObjectName(QStringLiteral("txtEdit"));
    m_cmbList = new QComboBox(this);
    m_cmbList->setObjectName(QStringLiteral("cmbList"));
    m_cboOptions = new MultiSelectComboBox(this);
    m_cboOptions->setObjectName(QStringLiteral("cboOptions"));
    m_cboOptions->setDelimiter(QStringLiteral(";"));
    for (const QString& word : ColumnEncoding::viewFormatItems())
        m_cboOptions->addItem(word, {}, word);
    m_cmdEllipsis = new QPushButton(QStringLiteral(" more "), this);
    m_cmdEllipsis->setObjectName(QStringLiteral("cmdEllipsis"));
    m_txtEdit->setAccessibleName(QStringLiteral("Cell value"));
    m_cmbList->setAccessibleName(QStringLiteral("Cell choice"));
    m_cboOptions->setAccessibleName(QStringLiteral("View Format"));
    m_cmdEllipsis->setAccessibleName(QStringLiteral("More details"));
    m_strip->setAccessibleName(QStringLiteral("Customization pages"));
    for (QWidget* editor :
         {static_cast<QWidget*>(m_txtEdit), static_cast<QWidget*>(m_cmbList),
          static_cast<QWidget*>(m_cboOptions), static_cast<QWidget*>(m_cmdEllipsis)}) {
        editor->hide();
        editor->installEventFilter(this);
    }
    connect(m_cmbList, &QComboBox::activated, this, &ColumnCustomizationPage::onListItemActivated);
    connect(m_cmdEllipsis, &QPushButton::clicked, this, &ColumnCustomizationPage::onMoreClicked);
    connect(m_strip, &QTabBar::currentChanged, this, &ColumnCustomizationPage::showGrid);
    showGrid(0);
}

void ColumnCustomizationPage::fill(std::vector<CustomizationRow> listRows,
                                   std::vector<CustomizationRow> editRows) {
    hideEditors();
    m_listModel.setRows(std::move(listRows));
    m_editModel.setRows(std::move(editRows));
    m_strip->setCurrentIndex(0);
    showGrid(0);
}

void ColumnCustomizationPage::showGrid(int tab) {
    // Text being edited is kept, as if Enter had been pressed; a refused one
    // keeps its tab and its editor.
    if (!endEdit()) {
        const QSignalBlocker quiet(m_strip);
        m_strip->setCurrentIndex(m_grid);
        return;
    }
    hideEditors();
    m_grids[0]->setVisible(tab == 0);
    m_grids[1]->setVisible(tab != 0);
}

void ColumnCustomizationPage::place(QWidget* editor, int extraRows) {
    CustomizationGrid* grid = grdColumnCustomization(m_grid);
    const QModelIndex index = model(m_grid).index(m_row, model(m_grid).columnOf(m_key));
    QRect rect = grid->visualRect(index);
    rect.moveTopLeft(grid->viewport()->mapTo(this, rect.topLeft()));
    rect.setHeight(rect.height() * (1 + extraRows));
    editor->setGeometry(rect);
    editor->setFont(grid->font());
    editor->show();
    editor->raise();
    editor->setFocus();
    m_editor = editor;
}

void ColumnCustomizationPage::requestEdit(int grid, const QModelIndex& index) {
    Trap(QStringLiteral("frmMain.grdColumnCustomization_RequestEdit"), [&] {
        // Another cell asked for: the open editor commits first, as Enter would.
        if (m_editor != nullptr && m_editor != m_cmdEllipsis) {
            if (!endEdit())
                return;
            grdColumnCustomization(grid)->setCurrentIndex(index);
        }
        hideEditors();
        ColumnCustomizationModel& cells = model(grid);
        const Key key = cells.key(index.column());
        CustomizationRow& row = cells.row(index.row());
        m_grid = grid;
        m_row = index.row();
        m_key = key;
        switch (key) {
        case Step::Display:
        case Step::Required:
            Step::toggle(row, key);
            cells.rowChanged(index.row());
            break;
        case Step::Name:
        case Step::Default:
        case Step::Width:
        case Step::Length:
            m_txtEdit->setText(ColumnCustomizationModel::cellText(row, key));
            place(m_txtEdit);
            m_txtEdit->selectAll();
            return;
        case Step::EditAs:
            openList(ColumnEncoding::editTypeItems(),
                     static_cast<int>(ColumnEncoding::editTypeItems().indexOf(row.editAs)));
            return;
        case Step::Validation:
            openList(ColumnEncoding::validationItems(),
                     static_cast<int>(ColumnEncoding::validationItems().indexOf(row.validation)));
            return;
        case Step::Alignment:
            openList(ColumnEncoding::alignmentItems(),
                     ColumnEncoding::alignmentCode(row.alignment));
            return;
        case Step::ViewFormat: {
            // The cell holds the words joined by ", ", the list separates with
            // ";": hand it the words so each one the cell holds starts ticked.
            m_cboOptions->setSelection(
                ColumnEncoding::formatSelection(row.format, QLatin1Char(';')));
            place(m_cboOptions);
            return;
        }
        case Step::More:
            if (ColumnEncoding::hasDetails(row.editAs)) {
                place(m_cmdEllipsis);
                return;
            }
            break;
        default:
            break;
        }
        m_key = Step::KeyCount;
    });
}

void ColumnCustomizationPage::openList(const QStringList& items, int current) {
    m_cmbList->clear();
    m_cmbList->addItems(items);
    m_cmbList->setCurrentIndex(current < 0 ? 0 : current);
    place(m_cmbList);
}

void ColumnCustomizationPage::onListItemActivated(int item) {
    Trap(QStringLiteral("frmMain.cmbList_Click"), [&] {
        if (m_key == Step::KeyCount || item < 0)
            return;
        m_cmbList->setCurrentIndex(item);
        endEdit();
    });
}

bool ColumnCustomizationPage::endEdit() {
    if (m_key == Step::KeyCount || m_grid < 0)
        return true;
    ColumnCustomizationModel& cells = model(m_grid);
    CustomizationRow& row = cells.row(m_row);
    QString text;
    QWidget* editor = nullptr;
    if (m_editor == m_txtEdit) {
        text = m_txtEdit->text();
        editor = m_txtEdit;
    } else if (m_editor == m_cmbList) {
        text = m_cmbList->currentText();
        editor = m_cmbList;
    } else if (m_editor == m_cboOptions) {
        text = m_cboOptions->selection();
        editor = m_cboOptions;
    } else {
        return true;
    }
    const Step::Refusal refusal = Step::commit(row, m_key, text);
    if (refusal) {
        reportRefusal(*refusal, editor);
        return false;
    }
    cells.rowChanged(m_row);
    const QModelIndex cell = cells.index(m_row, cells.columnOf(m_key));
    hideEditors();
    grdColumnCustomization(m_grid)->setFocus();
    grdColumnCustomization(m_grid)->setCurrentIndex(cell);
    return true;
}

void ColumnCustomizationPage::reportRefusal(const QString& text, QWidget* editor) {
    m_prompt.warning(text);
    editor->setFocus();
}

void ColumnCustomizationPage::cancelEdit() {
    Trap(QStringLiteral("frmMain.grdColumnCustomization_CancelEdit"), [&] {
        const int grid = m_grid;
        hideEditors();
        if (grid >= 0)
            grdColumnCustomization(grid)->setFocus();
    });
}

void ColumnCustomizationPage::hideEditors() {
    for (QWidget* editor :
         {static_cast<QWidget*>(m_txtEdit), static_cast<QWidget*>(m_cmbList),
          static_cast<QWidget*>(m_cboOptions), static_cast<QWidget*>(m_cmdEllipsis)})
        editor->hide();
    m_cboOptions->endEdit();
    m_cboOptions->setSelection({});
    m_editor = nullptr;
    m_key = Step::KeyCount;
}

void ColumnCustomizationPage::onMoreClicked() {
    Trap(QStringLiteral("frmMain.cmbEllipsis_Click"), [&] {
        const QModelIndex current = m_grids[1]->currentIndex();
        const int rowIndex = m_row >= 0 && m_grid == 1 ? m_row : current.row();
        hideEditors();
        if (rowIndex < 0 || rowIndex >= m_editModel.rowCount())
            return;
        CustomizationRow& row = m_editModel.row(rowIndex);
        if (row.editAs == QLatin1String("Date field")) {
            Prompt::Message question{QStringLiteral("Select Date Type"),
                                     Step::dateTypeQuestion(row.details), Prompt::Icon::Question,
                                     Prompt::Buttons::AbortRetryIgnore, Step::dateTypeButtons()};
            const int answer = m_prompt.show(question);
            if (answer >= Prompt::Abort && answer <= Prompt::Ignore) {
                Step::setDetails(row, QString::number(answer - Prompt::Abort));
                m_editModel.rowChanged(rowIndex);
            }
        } else if (row.editAs == QLatin1String("Radio button") ||
                   row.editAs == QLatin1String("Lookup field")) {
            Q_EMIT lookupDetailsRequested(rowIndex);
        }
        m_grids[1]->setFocus();
    });
}

void ColumnCustomizationPage::markDisplay(ColumnCustomizationModel::Marking marking) {
    model(m_strip->currentIndex() == 0 ? 0 : 1).markDisplay(marking);
}

bool ColumnCustomizationPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // An open list takes its own keys: Enter ticks, Escape closes it.
    if (watched == m_cboOptions && m_cboOptions->dropDownShowing() && key != Qt::Key_Tab)
        return QWidget::eventFilter(watched, event);
    if (key == Qt::Key_Escape) {
        cancelEdit();
        return true;
    }
    const bool ends = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab;
    if (!ends || watched == m_cmdEllipsis)
        return QWidget::eventFilter(watched, event);
    QString source = QStringLiteral("frmMain.txtEdit_KeyDown");
    if (watched == m_cboOptions)
        source = QStringLiteral("frmMain.cboOptions_KeyDown");
    else if (watched == m_cmbList)
        source = QStringLiteral("frmMain.cboList_KeyDown");
    Trap(source, [&] { endEdit(); });
    return true;
}

} // namespace ordwick
