#pragma once

#include <QString>

namespace ordwick {

class Prompt;

// The file and folder dialogs of the main window. Each remembers the folder it
// was last used in, in section "Directories" of the default profile file under
// its title, and starts there (or on the desktop) the next time. Each returns
// the empty text when cancelled.
class FileDialogs {
public:
    explicit FileDialogs(Prompt& prompt) : m_prompt(prompt) {}

    // Opens a data file; also remembers its full path as "Select Data Source File 1".
    QString GetSelectedFile(const QString& filter, const QString& defaultExtension,
                            const QString& title);
    // Opens a file (the project).
    QString GetSelectedFile1(const QString& filter, const QString& defaultExtension,
                             const QString& title);
    // Chooses a file to save to.
    QString SetSelectedFile(const QString& filter, const QString& defaultExtension,
                            const QString& title);
    // Chooses an existing folder, starting at `current` or else at the last
    // destination ("Settings"/"Path"); a folder that does not exist gives "".
    QString GetSelectedFolder(const QString& title, const QString& current);

    static QString lastDataFile();
    static QString rememberedFolder(const QString& title);

private:
    enum class Kind { Open, Save };
    QString choose(Kind kind, const QString& filter, const QString& defaultExtension,
                   const QString& title);

    Prompt& m_prompt;
};

} // namespace ordwick
