#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace ordwick {

// Reads and writes one key of an INI file at a time. Nothing is cached and no
// file is kept open: every read and write goes to the file, so two objects on
// one file see each other's writes at once.
//
// Without a Path the default profile file is used: one per user, in the user's
// configuration folder ($XDG_CONFIG_HOME/Tessaline/profile.ini).
class IniFile {
public:
    std::int32_t lastReturnCode() const { return m_lastReturnCode; }
    bool succeeded() const { return m_lastReturnCode != 0; }

    const QString& defaultValue() const { return m_default; }
    void setDefaultValue(const QString& value) { m_default = value; }
    const QString& path() const { return m_path; }
    void setPath(const QString& value) { m_path = value; }
    const QString& key() const { return m_key; }
    void setKey(const QString& value) { m_key = value; }
    const QString& section() const { return m_section; }
    void setSection(const QString& value) { m_section = value; }

    // The value of Key in Section, or Default when the key, section or file is missing.
    QString value() const;
    // Stores the text as the value of Key in Section, creating what is missing.
    void setValue(const QString& text);
    void deleteKey();
    void deleteSection();

    // The key names of Section in file order, each followed by one NUL.
    QString sectionText() const;
    // Removes Section; the text itself is not stored.
    void setSectionText(const QString& text);
    // The section names of the file in file order, each followed by one NUL.
    QString sectionsText() const;

    // The key names of Section (entry 1 of the classic 1-based array is index 0).
    void enumerateKeys(QStringList& names, std::int32_t& count) const;
    void enumerateSections(QStringList& names, std::int32_t& count) const;

    static QString defaultProfilePath();

private:
    QString filePath() const;
    template <typename Edit> void write(const QString& source, Edit&& edit);

    QString m_path;
    QString m_section;
    QString m_key;
    QString m_default;
    std::int32_t m_lastReturnCode = 0;
};

} // namespace ordwick
