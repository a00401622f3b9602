#pragma once

#include <QComboBox>
#include <QKeyEvent>
#include <QWheelEvent>

namespace ordwick {

// A list to pick from that takes no typing: it offers only what exists. The
// keys that move through or open the list (arrows, Page Up/Down, Home/End, F4,
// Alt+Down, Space) still pick, as a click does; typed text does not.
class PickOnlyComboBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint() && event->key() != Qt::Key_Space) {
            event->ignore();
            return;
        }
        QComboBox::keyPressEvent(event);
    }

    // A wheel turned over a list the user is not working in scrolls the page
    // around it; it must not pick (and, on the table list, ask to reset).
    void wheelEvent(QWheelEvent* event) override {
        if (!hasFocus()) {
            event->ignore();
            return;
        }
        QComboBox::wheelEvent(event);
    }
};

} // namespace ordwick
