#pragma once

class QObject;
class QWidget;

namespace ordwick {

// Gives every control below `root` that has none an accessible name: its own
// caption, or the text of the label that names it.
void assignAccessibleNames(QWidget* root);

// Makes every window of the application show where the keyboard focus is
// from the moment it opens. The style draws focus frames only once a window
// has seen a Tab key otherwise, which leaves a keyboard user who has not
// pressed one yet without a mark. Lasts as long as `owner`.
void showFocusMarksAlways(QObject* owner);

} // namespace ordwick
