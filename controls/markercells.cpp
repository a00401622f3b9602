#include "controls/markercells.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPainter>

namespace ordwick {

namespace {

class MarkerKeyFilter final : public QObject {
public:
    MarkerKeyFilter(QAbstractItemView* view, std::function<void(const QModelIndex&)> toggle)
        : QObject(view), m_view(view), m_toggle(std::move(toggle)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_view || event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool toggles = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                             key->key() == Qt::Key_Enter || key->key() == Qt::Key_Select;
        const bool plain =
            key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        const QModelIndex current = m_view->currentIndex();
        if (!toggles || !plain || !current.isValid() ||
            !(current.flags() & Qt::ItemIsUserCheckable))
            return QObject::eventFilter(watched, event);
        m_toggle(current);
        return true;
    }

private:
    QAbstractItemView* m_view;
    std::function<void(const QModelIndex&)> m_toggle;
};

} // namespace

QVariant markerCheckState(const QString& iconKey) {
    if (iconKey == QLatin1String("CHECK"))
        return Qt::Checked;
    // A detected key counts only once it is confirmed.
    if (iconKey == QLatin1String("UNCHECK") || iconKey == QLatin1String("KEY"))
        return Qt::Unchecked;
    return {};
}

void MarkerCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
}

void MarkerCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem plain = option;
    plain.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, plain, index);
    if (!(option.state & QStyle::State_HasFocus))
        return;
    const bool selected = option.state & QStyle::State_Selected;
    QPen pen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight));
    pen.setWidth(2);
    painter->save();
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

bool MarkerCellDelegate::editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                                     const QModelIndex&) {
    return false;
}

void toggleMarkersByKeyboard(QAbstractItemView* view,
                             std::function<void(const QModelIndex&)> toggle) {
    view->installEventFilter(new MarkerKeyFilter(view, std::move(toggle)));
}

} // namespace ordwick
