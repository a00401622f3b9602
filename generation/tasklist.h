#pragma once

#include "project/project.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ordwick {

// What a generation run does, one task at a time. The Finish step lists these
// tasks under one group row "Task List", and the engine performs them in the
// same order, so both take them from here.
enum class TaskKind {
    Variables,
    Functions,
    DynamicFunctions,
    StyleSheet,
    Images,
    Database,
    Login,
    Index,
    Edit,
    Validation,
    Search,
    Print,
    Export,
};

struct GenerationTask {
    TaskKind kind;
    QString text;       // as the task list shows it, e.g. "Generate index page"
    QString pageSuffix; // the page file's name after the table name, or empty
};

// The tasks of a run for this project, in order, under their conditions.
std::vector<GenerationTask> generationTasks(const Project& project);

// The page file a task writes before renaming: the table name in lower case
// followed by the suffix ("orders_index.asp"); empty for tasks without a page.
QString pageFileName(const Project& project, const GenerationTask& task);

// The folder below the destination that a task's page goes into: "include/"
// for the variable and dynamic function pages, else the destination itself ("").
QString pageFolder(TaskKind kind);

// The task list grid starts with its group row, so task i (0-based) stands in
// grid row i + 2; the engine reports it done as progress number i + 1, which
// names that row (progress number + 1).
constexpr int kTaskListGroupRows = 1;
constexpr int progressNumber(int taskIndex) {
    return taskIndex + kTaskListGroupRows;
}

// The names of the files a run writes that the rename list does not name: the
// shared function page, style sheet and scripts under include/, and the print
// and login pages when the run writes them. No page may be renamed to one of
// them (letter case ignored), or it would overwrite that file.
QStringList fixedSiteFileNames(const Project& project);

// The name the project's rename list gives a page file: the part after ";" of
// the first entry whose first part equals the file name, or the name itself.
QString renamedPageFile(const Project& project, const QString& pageFile);

} // namespace ordwick
