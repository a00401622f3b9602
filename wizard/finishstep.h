#pragma once

#include "project/project.h"

#include <QString>

namespace ordwick {

class Prompt;

// The "Finish" step: the destination folder, the database copy and the list
// of generation tasks.
namespace FinishStep {

// The folder offered when none was chosen before: the user's own web folder.
QString defaultDestination();
// The last folder chosen with the folder button ("Settings"/"Path" of the
// default profile), trimmed, or the default.
QString shownDestination();
void rememberDestination(const QString& folder);

// "Copy Database" is offered only for a data file on this machine.
bool offersDatabaseCopy(const Project& project);

// Registers the page files of the run's tasks in the rename list, each to be
// written under its safe name.
void registerPageFiles(Project& project);

// Checks the names the run's pages are written as (the rename list's, in
// their safe form); false, after a warning, when two pages would be one file.
bool pageFilesAccepted(const Project& project, Prompt& prompt);

// Checks the destination box; true when it names an existing folder. The
// messages keep their long-standing wording.
bool destinationAccepted(const QString& text, Prompt& prompt);

} // namespace FinishStep

} // namespace ordwick
