#include "foundation/inidocument.h"

#include "foundation/atomicfile.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace ordwick {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool holdsLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

void refuseBadName(const QString& what, const QString& name, bool isKey) {
    if (name.trimmed().isEmpty() || holdsLineBreak(name) ||
        (isKey && name.contains(QLatin1Char('='))) || (!isKey && name.contains(QLatin1Char(']')))) {
        throw RuntimeError(
            ErrorNumber::InvalidCall,
            QStringLiteral("Invalid %1 name for an INI file: \"%2\"").arg(what, name));
    }
}

} // namespace

IniDocument::Line IniDocument::parse(const QString& text) {
    Line line;
    line.text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return line;
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Line::Kind::Section;
            line.name = trimmed.mid(1, close - 1).trimmed();
        }
        return line;
    }
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals > 0 && !text.left(equals).trimmed().isEmpty()) {
        line.kind = Line::Kind::Key;
        line.name = text.left(equals).trimmed();
        line.valueStart = equals + 1;
    }
    return line;
}

IniDocument::Line IniDocument::keyLine(const QString& key, const QString& value) {
    Line line;
    line.kind = Line::Kind::Key;
    line.name = key;
    line.text = key + QLatin1Char('=') + value;
    line.valueStart = key.size() + 1;
    return line;
}

IniDocument IniDocument::load(const QString& path) {
    IniDocument document;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // A missing file is an empty document; one that is there but cannot be
        // read is a failure, since saving over it would lose what it holds.
        if (QFileInfo(path).isFile())
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("Path/File access error: cannot read \"%1\" (%2)")
                                   .arg(path, file.errorString()));
        return document;
    }
    const QString text = decodeText(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    document.m_lines.reserve(lines.size());
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        document.m_lines.push_back(parse(line));
    }
    return document;
}

QByteArray IniDocument::toBytes() const {
    QString text;
    for (const Line& line : m_lines) {
        text += line.text;
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

void IniDocument::save(const QString& path) const {
    writeFileAtomically(path, toBytes());
}

IniDocument::Range IniDocument::findSection(const QString& section) const {
    Range range;
    const auto count = static_cast<qsizetype>(m_lines.size());
    for (qsizetype i = 0; i < count; ++i) {
        const Line& line = m_lines[static_cast<size_t>(i)];
        if (line.kind != Line::Kind::Section)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(line.name, section))
            range.header = i;
    }
    range.end = count;
    return range;
}

qsizetype IniDocument::findKey(const Range& range, const QString& key) const {
    if (range.header < 0)
        return -1;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const Line& line = m_lines[static_cast<size_t>(i)];
        if (line.kind == Line::Kind::Key && sameName(line.name, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype index = findKey(findSection(section), key);
    if (index < 0)
        return std::nullopt;
    const Line& line = m_lines[static_cast<size_t>(index)];
    return line.text.mid(line.valueStart);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    refuseBadName(QStringLiteral("section"), section, false);
    refuseBadName(QStringLiteral("key"), key, true);
    QString text = value;
    text.remove(QChar(u'\0'));
    if (holdsLineBreak(text)) {
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("The value of \"%1\" in [%2] holds a line break, which "
                                          "an INI file cannot store.")
                               .arg(key, section));
    }
    const Range range = findSection(section);
    const qsizetype existing = findKey(range, key);
    if (existing >= 0) {
        m_lines[static_cast<size_t>(existing)] =
            keyLine(m_lines[static_cast<size_t>(existing)].name, text);
        return;
    }
    if (range.header < 0) {
        m_lines.push_back(parse(QLatin1Char('[') + section + QLatin1Char(']')));
        m_lines.push_back(keyLine(key, text));
        return;
    }
    // After the section's last key, so that trailing blank lines and comments
    // keep separating it from the next section.
    qsizetype insertAt = range.header + 1;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        if (m_lines[static_cast<size_t>(i)].kind == Line::Kind::Key)
            insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + insertAt, keyLine(key, text));
}

void IniDocument::deleteKey(const QString& section, const QString& key) {
    const qsizetype index = findKey(findSection(section), key);
    if (index >= 0)
        m_lines.erase(m_lines.begin() + index);
}

void IniDocument::deleteSection(const QString& section) {
    for (Range range = findSection(section); range.header >= 0; range = findSection(section))
        m_lines.erase(m_lines.begin() + range.header, m_lines.begin() + range.end);
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList names;
    const Range range = findSection(section);
    if (range.header < 0)
        return names;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const Line& line = m_lines[static_cast<size_t>(i)];
        if (line.kind == Line::Kind::Key)
            names.append(line.name);
    }
    return names;
}

QStringList IniDocument::sections() const {
    QStringList names;
    for (const Line& line : m_lines) {
        if (line.kind != Line::Kind::Section)
            continue;
        const bool seen = std::any_of(names.cbegin(), names.cend(), [&](const QString& name) {
            return sameName(name, line.name);
        });
        if (!seen)
            names.append(line.name);
    }
    return names;
}

} // namespace ordwick
