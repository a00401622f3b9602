#include "controls/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QWidget>

namespace ordwick {

namespace {

class FocusMarks final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow())
                widget->setAttribute(Qt::WA_KeyboardFocusChange);
        }
        return QObject::eventFilter(watched, event);
    }
};

QString plainCaption(QString text) {
    // Access-key markers are not read out.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.trimmed();
}

QString captionOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        if (!button->text().isEmpty())
            return plainCaption(button->text());
        // The corner button of a grid selects every cell.
        if (button->toolTip().isEmpty() &&
            qobject_cast<const QAbstractItemView*>(widget->parentWidget()) != nullptr)
            return QStringLiteral("Select all");
        return button->toolTip();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return plainCaption(group->title());
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return plainCaption(label->text());
    if (qobject_cast<const QHeaderView*>(widget) != nullptr && widget->parentWidget() != nullptr) {
        const QString grid = widget->parentWidget()->accessibleName();
        return grid.isEmpty() ? QStringLiteral("Headers") : grid + QStringLiteral(" headers");
    }
    return {};
}

} // namespace

void assignAccessibleNames(QWidget* root) {
    if (root == nullptr)
        return;
    // Labels name the controls they are buddies of.
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy != nullptr && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(plainCaption(label->text()));
    }
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (widget->accessibleName().isEmpty())
            widget->setAccessibleName(captionOf(widget));
    }
}

void showFocusMarksAlways(QObject* owner) {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(new FocusMarks(owner));
}

} // namespace ordwick
