#include "project/projectsession.h"

#include "foundation/filedialogs.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"
#include "project/projectfile.h"

#include <QFileInfo>

namespace ordwick {

ProjectSession::ProjectSession(Prompt& prompt) : m_prompt(prompt) {}

void ProjectSession::resetRecord() {
    currentStep = 1;
    project = Project{};
}

bool ProjectSession::openProject(const QString& path) {
    QString file = path;
    if (file.isEmpty()) {
        // The dialog starts in the folder a project was last opened from.
        file = FileDialogs(m_prompt).GetSelectedFile1(fileFilter(), QStringLiteral("pjx"),
                                                      QStringLiteral("Select Tessaline Project"));
        if (file.isEmpty())
            return false;
    }
    projectFile = file;
    if (!QFileInfo(file).isFile()) {
        m_prompt.warning(
            QStringLiteral("The project file no longer exists! Please select another."),
            QStringLiteral("No Project found."));
        if (onProjectFileMissing)
            onProjectFileMissing(file);
        return false;
    }
    // A file that could not be read was not opened: it is neither the
    // project's file nor a recent project.
    if (!readProjectFile(file, project)) {
        projectFile.clear();
        return false;
    }
    if (onProjectFileUsed)
        onProjectFileUsed(file);
    return true;
}

QString ProjectSession::askSavePath() {
    const QString file = FileDialogs(m_prompt).SetSelectedFile(
        fileFilter(), QStringLiteral("pjx"), QStringLiteral("Save Tessaline Project"));
    if (file.isEmpty())
        return {};
    if (QFileInfo::exists(file)) {
        const int answer = m_prompt.show(
            {QString(),
             file + QStringLiteral(" already exists!\nWould you like to overwrite it?"),
             Prompt::Icon::Question,
             Prompt::Buttons::YesNo,
             {}});
        if (answer != Prompt::Yes)
            return {};
    }
    return file;
}

QString ProjectSession::saveProject() {
    if (project.DatabaseName.trimmed().isEmpty())
        return {};
    const QString file = projectFile.isEmpty() ? askSavePath() : projectFile;
    if (file.isEmpty())
        return {};
    const bool written = Trap(QStringLiteral("frmMain.SaveProject"),
                              [&] { saveProjectFile(file, project, currentStep); });
    if (!written)
        return {};
    projectFile = file;
    if (onProjectFileUsed)
        onProjectFileUsed(file);
    return file;
}

} // namespace ordwick
