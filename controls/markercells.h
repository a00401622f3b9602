#pragma once

#include <QStyledItemDelegate>
#include <functional>

class QAbstractItemView;

namespace ordwick {

// Grid cells that show a tick icon ("CHECK", "UNCHECK", a detected "KEY")
// instead of a check box. Models report such a cell as user-checkable with
// the state of its icon, so screen readers announce a check box and whether it
// is ticked; the view draws only the icon.

// Checked for "CHECK"; unchecked for "UNCHECK" and for a detected "KEY" not
// yet confirmed; no state for any other key.
QVariant markerCheckState(const QString& iconKey);

// Draws marker cells as their icon alone and leaves clicks and keys to the
// page, which knows what a toggle means there. The cell the keyboard is on
// gets a clear frame, also inside a selected row, so that it is plain which
// marker Space will toggle.
class MarkerCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

// Lets the keyboard toggle the current marker cell of `view` as a click
// does: Space, Enter and Return call `toggle` with the current index when
// that cell is user-checkable. Owned by the view.
void toggleMarkersByKeyboard(QAbstractItemView* view,
                             std::function<void(const QModelIndex&)> toggle);

} // namespace ordwick
