#include "foundation/filedialogs.h"

#include "foundation/inifile.h"
#include "foundation/paths.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"

#include <QDir>
#include <QFileInfo>

namespace ordwick {

namespace {

const QString kDirectories = QStringLiteral("Directories");
const QString kLastDataFile = QStringLiteral("Select Data Source File 1");

QString profileValue(const QString& section, const QString& key) {
    IniFile ini;
    ini.setSection(section);
    ini.setKey(key);
    return ini.value();
}

void setProfileValue(const QString& section, const QString& key, const QString& value) {
    IniFile ini;
    ini.setSection(section);
    ini.setKey(key);
    ini.setValue(value);
}

} // namespace

QString FileDialogs::rememberedFolder(const QString& title) {
    QString folder = profileValue(kDirectories, title).trimmed();
    if (QFileInfo(folder).isFile())
        folder = QFileInfo(folder).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = GetSpecialFolderLocation(CSIDL_DESKTOP);
    return folder;
}

QString FileDialogs::lastDataFile() {
    return profileValue(kDirectories, kLastDataFile);
}

QString FileDialogs::choose(Kind kind, const QString& filter, const QString& defaultExtension,
                            const QString& title) {
    const Prompt::FileRequest request{title, filter, defaultExtension, rememberedFolder(title)};
    const QString path = TrimAtNull(kind == Kind::Open ? m_prompt.openFileName(request)
                                                       : m_prompt.saveFileName(request))
                             .trimmed();
    if (!path.isEmpty())
        setProfileValue(kDirectories, title, GetFolderPath(path));
    return path;
}

QString FileDialogs::GetSelectedFile(const QString& filter, const QString& defaultExtension,
                                     const QString& title) {
    QString path;
    Trap(QStringLiteral("frmMain.GetSelectedFile"), [&] {
        path = choose(Kind::Open, filter, defaultExtension, title);
        if (!path.isEmpty())
            setProfileValue(kDirectories, kLastDataFile, path);
    });
    return path;
}

QString FileDialogs::GetSelectedFile1(const QString& filter, const QString& defaultExtension,
                                      const QString& title) {
    QString path;
    Trap(QStringLiteral("frmMain.GetSelectedFile1"),
         [&] { path = choose(Kind::Open, filter, defaultExtension, title); });
    return path;
}

QString FileDialogs::SetSelectedFile(const QString& filter, const QString& defaultExtension,
                                     const QString& title) {
    QString path;
    Trap(QStringLiteral("frmMain.SetSelectedFile"),
         [&] { path = choose(Kind::Save, filter, defaultExtension, title); });
    return path;
}

QString FileDialogs::GetSelectedFolder(const QString& title, const QString& current) {
    QString folder;
    Trap(QStringLiteral("frmMain.GetSelectedFolder"), [&] {
        QString start = current.trimmed();
        if (start.isEmpty())
            start = profileValue(QStringLiteral("Settings"), QStringLiteral("Path")).trimmed();
        const QString chosen = TrimAtNull(m_prompt.folderName({title, {}, {}, start})).trimmed();
        folder = !chosen.isEmpty() && QFileInfo(chosen).isDir() ? chosen : QString();
    });
    return folder;
}

} // namespace ordwick
