#pragma once

#include <QIcon>
#include <QString>

namespace ordwick {

// The program's icons, looked up by the keys the grids, the task pane and the
// status bar store ("CHECK", "UNCHECK", "DBCONNECT", ...). Unknown keys give a
// null icon, so a cell holding no key shows nothing.
QIcon iconFor(const QString& key);

} // namespace ordwick
