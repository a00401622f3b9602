#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace ordwick {

// One INI file in memory, edited with the rules of the profile primitives the
// program was designed around: section and key names match without regard to
// case, keys stay in file order, a new key goes to the end of its section and a
// new section to the end of the file, a deleted key or section leaves with its
// lines, comments and unknown lines stay as they are.
//
// Values are kept exactly as written: nothing is trimmed, unquoted or cut, so a
// value reads back whole whatever its length.
class IniDocument {
public:
    IniDocument() = default;

    // Reads the file; a missing file gives an empty document. UTF-8 and the old
    // Windows-1252 encoding are both understood.
    static IniDocument load(const QString& path);
    // Writes the whole file at once: the old file is replaced only when the new
    // one is complete. Throws RuntimeError when the file cannot be written.
    void save(const QString& path) const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Stores a value, creating the section and key as needed. NUL characters are
    // dropped; a line break is refused with a RuntimeError, since it would turn
    // the rest of the value into keys of its own.
    void setValue(const QString& section, const QString& key, const QString& value);
    void deleteKey(const QString& section, const QString& key);
    void deleteSection(const QString& section);

    QStringList keys(const QString& section) const;
    QStringList sections() const;

    QByteArray toBytes() const;

private:
    struct Line {
        enum class Kind { Section, Key, Other };
        Kind kind = Kind::Other;
        QString name;             // section or key name
        QString text;             // the whole line as it stands in the file
        qsizetype valueStart = 0; // key lines: where the value begins in `text`
    };
    struct Range {
        qsizetype header = -1; // index of the section line, -1 when absent
        qsizetype end = 0;     // one past the section's last line
    };

    static Line parse(const QString& text);
    static Line keyLine(const QString& key, const QString& value);
    Range findSection(const QString& section) const;
    qsizetype findKey(const Range& range, const QString& key) const;

    std::vector<Line> m_lines;
};

} // namespace ordwick
