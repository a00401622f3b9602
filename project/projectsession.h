#pragma once

#include "project/project.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace ordwick {

class Prompt;

// What the main window keeps beside the project record.
enum ProjectOriginKind : std::int32_t { OriginNew = 0, OriginLoaded = 1, OriginSaving = 2 };

// The one project of the main window with its file, step and origin, and the
// file side of New, Open and Save.
class ProjectSession {
public:
    explicit ProjectSession(Prompt& prompt);

    Project project;
    QString projectFile;
    // 0 until the first step is on screen.
    std::int32_t currentStep = 0;
    std::int32_t projectOrigin = OriginNew;

    // Called with a path that was opened or saved, and with one that no longer exists.
    std::function<void(const QString&)> onProjectFileUsed;
    std::function<void(const QString&)> onProjectFileMissing;

    // Step 1 and the record reset of a new project; the file and origin stay.
    void resetRecord();

    // Loads a project file; an empty path asks for one first. Returns true when
    // the file was read.
    bool openProject(const QString& path);

    // Saves the record; returns the path written, or the empty text when nothing
    // was saved (nothing to save, cancelled, refused overwrite, or a write failure
    // the user chose to ignore).
    QString saveProject();

    static QString fileFilter() { return QStringLiteral("Tessaline Project (*.pjx)"); }

private:
    QString askSavePath();

    Prompt& m_prompt;
};

} // namespace ordwick
