#pragma once

#include <QComboBox>
#include <QKeyEvent>

namespace ordwick {

// A list to pick from that takes no typing: it offers only what exists.
class PickOnlyComboBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
};

} // namespace ordwick
