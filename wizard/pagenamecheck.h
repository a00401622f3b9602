#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace ordwick {

// One entry of the project's rename list: a generated page file and the name
// it is written as.
struct RenameEntry {
    QString file;
    QString renameAs;

    bool operator==(const RenameEntry&) const = default;
};

// The rename list as the dialog shows and stores it.
namespace RenameList {
// The entries worth showing: blank entries are left out; a rename holding ";"
// shows only its first part.
QList<RenameEntry> entries(const QStringList& list);
QStringList stored(const QList<RenameEntry>& entries);
} // namespace RenameList

// Decides whether the names chosen for the generated pages can be written into
// the site folder: every page a plain ".asp" file of its own in that folder.
class PageNameCheck {
public:
    struct Problem {
        qsizetype entry; // position in the checked list
        QString message; // what to show, with the reason
    };
    // The first problem, or nothing when all names pass. otherFiles: the names
    // of the run's files that are not listed, which no page may take.
    static std::optional<Problem> firstProblem(const QList<RenameEntry>& entries,
                                               const QStringList& otherFiles = {});
    // The problem of one name, without the comparison with the others.
    static std::optional<QString> problemOf(const QString& name);
};

} // namespace ordwick
