#pragma once

#include <QPalette>
#include <QString>

namespace ordwick {

// The program-wide theme code and the look behind each code: Qt's Fusion style
// with a blue (2), olive-green (3) or silver (4) palette.
namespace Theme {

int code();
// Sets the code and gives the whole application its look; windows opened later
// take it as they open.
void apply(int code);
QPalette palette(int code);
QString name(int code);
// The colour of the task pane's bar headers.
QColor accent(int code);

} // namespace Theme

} // namespace ordwick
