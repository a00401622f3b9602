#include "foundation/inifile.h"

#include "foundation/inidocument.h"
#include "foundation/trap.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ordwick {

namespace {

QString nulTerminatedList(const QStringList& names) {
    QString list;
    for (const QString& name : names) {
        list += name;
        list += QChar(u'\0');
    }
    return list;
}

} // namespace

QString IniFile::defaultProfilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tessaline/profile.ini");
}

QString IniFile::filePath() const {
    return m_path.isEmpty() ? defaultProfilePath() : m_path;
}

template <typename Edit> void IniFile::write(const QString& source, Edit&& edit) {
    m_lastReturnCode = 0;
    // Refused input (a line break, a bad name) is a run-time failure; a file the
    // system will not let us write only shows in LastReturnCode.
    Trap(source, [&] {
        const QString path = filePath();
        IniDocument document = IniDocument::load(path);
        edit(document);
        try {
            QDir().mkpath(QFileInfo(path).absolutePath());
            document.save(path);
            m_lastReturnCode = 1;
        } catch (const RuntimeError&) {
            m_lastReturnCode = 0;
        }
    });
}

QString IniFile::value() const {
    QString result;
    Trap(QStringLiteral("clsINI.Prop Get Value"), [&] {
        result = IniDocument::load(filePath()).value(m_section, m_key).value_or(m_default);
    });
    return result;
}

void IniFile::setValue(const QString& text) {
    write(QStringLiteral("clsINI.Value(let)"),
          [&](IniDocument& document) { document.setValue(m_section, m_key, text); });
}

void IniFile::deleteKey() {
    if (!QFileInfo::exists(filePath())) {
        m_lastReturnCode = 1; // nothing to delete, and no file to create for it
        return;
    }
    write(QStringLiteral("clsINI.DeleteKey"),
          [&](IniDocument& document) { document.deleteKey(m_section, m_key); });
}

void IniFile::deleteSection() {
    if (!QFileInfo::exists(filePath())) {
        m_lastReturnCode = 1;
        return;
    }
    write(QStringLiteral("clsINI.DeleteSection"),
          [&](IniDocument& document) { document.deleteSection(m_section); });
}

QString IniFile::sectionText() const {
    QString result;
    Trap(QStringLiteral("clsINI.INISection"),
         [&] { result = nulTerminatedList(IniDocument::load(filePath()).keys(m_section)); });
    return result;
}

void IniFile::setSectionText(const QString& /*text*/) {
    write(QStringLiteral("clsINI.INISection"),
          [&](IniDocument& document) { document.deleteSection(m_section); });
}

QString IniFile::sectionsText() const {
    QString result;
    Trap(QStringLiteral("clsINI.Sections"),
         [&] { result = nulTerminatedList(IniDocument::load(filePath()).sections()); });
    return result;
}

void IniFile::enumerateKeys(QStringList& names, std::int32_t& count) const {
    names.clear();
    count = 0;
    Trap(QStringLiteral("clsINI.EnumerateKeys"), [&] {
        names = IniDocument::load(filePath()).keys(m_section);
        count = static_cast<std::int32_t>(names.size());
    });
}

void IniFile::enumerateSections(QStringList& names, std::int32_t& count) const {
    names.clear();
    count = 0;
    Trap(QStringLiteral("clsINI.EnumerateSections"), [&] {
        names = IniDocument::load(filePath()).sections();
        names.removeAll(QString());
        count = static_cast<std::int32_t>(names.size());
    });
}

} // namespace ordwick
