#pragma once

class QWidget;

namespace ordwick {

// Gives every control below `root` that has none an accessible name: its own
// caption, or the text of the label that names it.
void assignAccessibleNames(QWidget* root);

} // namespace ordwick
