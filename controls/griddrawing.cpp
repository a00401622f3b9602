#include "controls/griddrawing.h"

#include <QAbstractItemView>
#include <QLinearGradient>
#include <QPainter>

namespace ordwick {

void fillGradient(QPainter& painter, const QRect& rect, const QColor& from, const QColor& to,
                  GradientMode mode) {
    if (from == to || rect.isEmpty()) {
        painter.fillRect(rect, to);
        return;
    }
    const QPointF start = rect.topLeft();
    // The far edge is the pixel beyond the rectangle, so its last row or
    // column is the nearest to `to`.
    const QPointF end = mode == GradientMode::TopToBottom
                            ? QPointF(rect.left(), rect.top() + rect.height())
                            : QPointF(rect.left() + rect.width(), rect.top());
    QLinearGradient gradient(start, end);
    gradient.setColorAt(0.0, from);
    gradient.setColorAt(1.0, to);
    painter.fillRect(rect, gradient);
}

bool GroupRowDelegate::isGroupRow(const QModelIndex& index) {
    return index.isValid() && !index.parent().isValid() &&
           index.model()->hasChildren(index.siblingAtColumn(0));
}

void GroupRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    if (!isGroupRow(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(option.rect, palette.color(QPalette::Base));
    // Each cell paints its own part of one band that runs across the row, so
    // the gradient does not start again at every column.
    QRect band = option.rect;
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
        band.setLeft(view->viewport()->rect().left());
        band.setRight(view->viewport()->rect().right());
    }
    band.setTop(option.rect.top() + option.rect.height() - 5);
    band.setHeight(3);
    painter->setClipRect(option.rect);
    fillGradient(*painter, band, bandColour(),
                 palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(palette.color(QPalette::Text));
        QRect textRect = option.rect.adjusted(0, 0, 0, -3);
        painter->drawText(textRect, static_cast<int>(option.displayAlignment),
                          QLatin1Char(' ') + text);
    }
    painter->restore();
}

QSize GroupRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (isGroupRow(index))
        size.rheight() += 6; // the band and the bold text get room of their own
    return size;
}

} // namespace ordwick
