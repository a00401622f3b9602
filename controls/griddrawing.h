#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QPainter;
class QRect;

namespace ordwick {

enum class GradientMode { LeftToRight = 0, TopToBottom = 1 };

// Fills `rect` with a two-colour linear gradient: `from` at its left (or top)
// edge, `to` at its right (or bottom) edge. Equal colours give a solid fill.
void fillGradient(QPainter& painter, const QRect& rect, const QColor& from, const QColor& to,
                  GradientMode mode = GradientMode::LeftToRight);

// Draws the group rows of a tree grid (top-level rows with children) as a
// heading: one thin gradient band near the bottom edge across the whole row,
// whatever its columns, a little more room, and the text in bold. Other rows
// are drawn as usual.
class GroupRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QColor bandColour() { return {32, 93, 199}; }
    static bool isGroupRow(const QModelIndex& index);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace ordwick
