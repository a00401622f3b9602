#include "project/recentprojects.h"

#include "foundation/inifile.h"
#include "foundation/paths.h"
#include "foundation/programfolder.h"
#include "foundation/trap.h"

#include <utility>

namespace ordwick {

namespace {

const QString kSection = QStringLiteral("Recent");

QString fileKey(qsizetype index) {
    return QStringLiteral("File") + QString::number(index + 1);
}

} // namespace

RecentProjects::RecentProjects(QString listFile) : m_listFile(std::move(listFile)) {}

QString RecentProjects::defaultListFile() {
    return QualityPath(userConfigFolder()) + QStringLiteral("Tessaline.ini");
}

QStringList RecentProjects::entries() const {
    QStringList paths;
    Trap(QStringLiteral("frmMain.LoadRecent"), [&] {
        paths.clear();
        IniFile ini;
        ini.setPath(m_listFile);
        ini.setSection(kSection);
        QStringList keys;
        std::int32_t count = 0;
        ini.enumerateKeys(keys, count);
        for (const QString& key : std::as_const(keys)) {
            ini.setKey(key);
            paths.append(ini.value());
        }
    });
    return paths;
}

void RecentProjects::write(const QStringList& paths) const {
    IniFile ini;
    ini.setPath(m_listFile);
    ini.setSection(kSection);
    ini.deleteSection();
    for (qsizetype i = 0; i < qMin<qsizetype>(paths.size(), kMaximum); ++i) {
        ini.setKey(fileKey(i));
        ini.setValue(paths.at(i));
    }
}

void RecentProjects::UpdateRecent(const QString& path) const {
    Trap(QStringLiteral("frmMain.UpdateRecent"), [&] {
        QStringList paths{path};
        for (const QString& entry : entries()) {
            if (entry != path)
                paths.append(entry);
        }
        write(paths);
    });
}

void RecentProjects::RemoveRecent(const QString& path) const {
    Trap(QStringLiteral("frmMain.LoadRecent"), [&] {
        QStringList paths = entries();
        const qsizetype index = paths.indexOf(path);
        if (index < 0)
            return;
        paths.removeAt(index);
        write(paths);
    });
}

QString RecentProjects::caption(int index, const QString& path) {
    return QString::number(index + 1) + QStringLiteral(". ") + path;
}

QString RecentProjects::pathFromCaption(const QString& caption) {
    const qsizetype separator = caption.indexOf(QStringLiteral(". "));
    return separator < 0 ? QString() : caption.mid(separator + 2);
}

} // namespace ordwick
