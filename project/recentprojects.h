#pragma once

#include <QString>
#include <QStringList>

namespace ordwick {

// The last five project files, most recent first, kept in section "Recent" of
// "Tessaline.ini" in the user's configuration folder ($XDG_CONFIG_HOME/Tessaline)
// under File1 to File5.
class RecentProjects {
public:
    static constexpr int kMaximum = 5;

    explicit RecentProjects(QString listFile = defaultListFile());

    // Puts the path at the head of the list.
    void UpdateRecent(const QString& path) const;
    // Deletes the path from the list; the entries after it move up, so the
    // numbering stays whole.
    void RemoveRecent(const QString& path) const;
    // The entries in file order.
    QStringList entries() const;

    // "1. " + path, and back: only the first ". " separates the number.
    static QString caption(int index, const QString& path);
    static QString pathFromCaption(const QString& caption);

    static QString defaultListFile();

private:
    void write(const QStringList& paths) const;

    QString m_listFile;
};

} // namespace ordwick
