#include "project/project.h"

#include <algorithm>

namespace ordwick {

void SetFileName(QStringList& list, const QString& name) {
    SetFileName(list, name, name);
}

void SetFileName(QStringList& list, const QString& name, const QString& renameAs) {
    const bool known = std::any_of(list.cbegin(), list.cend(),
                                   [&](const QString& entry) { return entry.contains(name); });
    if (!known)
        list.append(name + QLatin1Char(';') + renameAs);
}

} // namespace ordwick
