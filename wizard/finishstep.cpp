#include "wizard/finishstep.h"

#include "foundation/inifile.h"
#include "foundation/prompt.h"
#include "generation/pagenames.h"
#include "generation/tasklist.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

namespace ordwick::FinishStep {

namespace {

IniFile destinationSetting() {
    IniFile ini;
    ini.setSection(QStringLiteral("Settings"));
    ini.setKey(QStringLiteral("Path"));
    return ini;
}

} // namespace

QString defaultDestination() {
    return QDir::homePath() + QStringLiteral("/public_html");
}

QString shownDestination() {
    const QString remembered = destinationSetting().value().trimmed();
    return remembered.isEmpty() ? defaultDestination() : remembered;
}

void rememberDestination(const QString& folder) {
    destinationSetting().setValue(folder);
}

bool offersDatabaseCopy(const Project& project) {
    return project.DatasourceStatus == DatasourceFile &&
           QDir::isAbsolutePath(project.DatabaseName.trimmed());
}

void registerPageFiles(Project& project) {
    for (const GenerationTask& task : generationTasks(project)) {
        const QString file = pageFileName(project, task);
        if (!file.isEmpty())
            SetFileName(project.Rename, file, safePageFileName(file));
    }
}

bool pageFilesAccepted(const Project& project, Prompt& prompt) {
    struct Page {
        QString file;    // the name the page is generated as
        QString written; // where it is written, below the destination
    };
    std::vector<Page> pages;
    const QStringList fixedFiles = fixedSiteFileNames(project);
    for (const GenerationTask& task : generationTasks(project)) {
        const QString file = pageFileName(project, task);
        if (file.isEmpty())
            continue;
        const QString name = safePageFileName(renamedPageFile(project, file));
        if (fixedFiles.contains(name, Qt::CaseInsensitive)) {
            prompt.warning(QStringLiteral("The page \"%1\" would be written as \"%2\", a file "
                                          "the site needs for itself!\nPlease give it another "
                                          "name.")
                               .arg(file, name));
            return false;
        }
        const QString written = pageFolder(task.kind) + name;
        for (const Page& page : pages) {
            if (sameFileName(page.written, written)) {
                prompt.warning(QStringLiteral("The pages \"%1\" and \"%2\" would both be written "
                                              "as \"%3\"!\nPlease give one of them another name.")
                                   .arg(page.file, file, name));
                return false;
            }
        }
        pages.push_back({file, written});
    }
    return true;
}

bool destinationAccepted(const QString& text, Prompt& prompt) {
    const QString folder = text.trimmed();
    if (folder.isEmpty()) {
        prompt.warning(QStringLiteral(
            "Please specify the location where you would like to store the ASP scripts!"));
        return false;
    }
    if (!QFileInfo(folder).isDir()) {
        prompt.warning(QStringLiteral("The specified folder location doesn't not exists!"));
        return false;
    }
    return true;
}

} // namespace ordwick::FinishStep
