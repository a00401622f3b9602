#include "generation/tasklist.h"

#include "generation/pagenames.h"

namespace ordwick {

namespace {

// A login page is only worth generating when it has something to check against.
bool hasLogin(const Project& p) {
    return p.LoginPage && (!p.CodeLoginName.isEmpty() ||
                           (!p.DynamicLoginName.isEmpty() && !p.DynamicLoginPassword.isEmpty()));
}

} // namespace

std::vector<GenerationTask> generationTasks(const Project& p) {
    const bool editing = p.EnableAppend || p.EditAs;
    std::vector<GenerationTask> tasks = {
        {TaskKind::Variables, QStringLiteral("Generate variable page"),
         QStringLiteral("_variables.asp")},
        {TaskKind::Functions, QStringLiteral("Generate function page"), {}},
        {TaskKind::DynamicFunctions, QStringLiteral("Generate dynamic function page"),
         QStringLiteral("_dynamicfunctions.asp")},
        {TaskKind::StyleSheet, QStringLiteral("Generate stylesheet page"), {}},
        {TaskKind::Images, QStringLiteral("Generate images"), {}},
    };
    if (p.DatasourceStatus == DatasourceFile)
        tasks.push_back({TaskKind::Database, QStringLiteral("Generate database"), {}});
    if (hasLogin(p))
        tasks.push_back({TaskKind::Login, QStringLiteral("Generate login page"), {}});
    tasks.push_back(
        {TaskKind::Index, QStringLiteral("Generate index page"), QStringLiteral("_index.asp")});
    if (editing) {
        tasks.push_back(
            {TaskKind::Edit, QStringLiteral("Generate edit page"), QStringLiteral("_edit.asp")});
        tasks.push_back({TaskKind::Validation, QStringLiteral("Generate validation page"), {}});
    }
    if (p.AdvancedSearch)
        tasks.push_back({TaskKind::Search, QStringLiteral("Generate search page"),
                         QStringLiteral("_search.asp")});
    if (p.PrinterFriendlyVersion)
        tasks.push_back({TaskKind::Print, QStringLiteral("Generate print page"), {}});
    if (p.ExportOption)
        tasks.push_back({TaskKind::Export, QStringLiteral("Generate export page"),
                         QStringLiteral("_export.asp")});
    return tasks;
}

QString pageFileName(const Project& project, const GenerationTask& task) {
    if (task.pageSuffix.isEmpty())
        return {};
    return project.TableName.toLower() + task.pageSuffix;
}

QString pageFolder(TaskKind kind) {
    return kind == TaskKind::Variables || kind == TaskKind::DynamicFunctions
               ? QStringLiteral("include/")
               : QString();
}

QStringList fixedSiteFileNames(const Project& project) {
    const QString stem = project.TableName.toLower();
    QStringList names = {QStringLiteral("functions.asp"), QStringLiteral("style.css"),
                         QStringLiteral("site.js")};
    for (const GenerationTask& task : generationTasks(project)) {
        if (task.kind == TaskKind::Validation)
            names.append(safePageFileName(stem + QStringLiteral("_validation.js")));
        else if (task.kind == TaskKind::Print)
            names.append(safePageFileName(stem + QStringLiteral("_print.asp")));
        else if (task.kind == TaskKind::Login)
            names.append(safePageFileName(stem + QStringLiteral("_login.asp")));
    }
    return names;
}

QString renamedPageFile(const Project& project, const QString& pageFile) {
    for (const QString& entry : project.Rename) {
        const qsizetype separator = entry.indexOf(QLatin1Char(';'));
        if (separator > 0 && entry.left(separator) == pageFile) {
            const QString target = entry.mid(separator + 1).trimmed();
            return target.isEmpty() ? pageFile : target;
        }
    }
    return pageFile;
}

} // namespace ordwick
