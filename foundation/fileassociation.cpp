#include "foundation/fileassociation.h"

#include "foundation/atomicfile.h"
#include "foundation/programfolder.h"
#include "foundation/runtimeerror.h"
#include "foundation/settingsstore.h"
#include "foundation/textcodec.h"
#include "foundation/trap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace ordwick {

namespace {

const QString kDesktopId = QStringLiteral("tessaline-ordwick.desktop");
// The desktop entry the package installs; it declares the file type too.
const QString kInstalledDesktopId = QStringLiteral("org.tessaline.ordwick.desktop");
const QString kMimeType = QStringLiteral("application/x-tessaline-project");
const QString kMimePackage = QStringLiteral("tessaline-project.xml");
const QString kDefaultApplications = QStringLiteral("[Default Applications]");

// The caches are a convenience for the desktop; a tool that hangs must not hold
// up the program, which has written everything that counts by then.
constexpr int kToolTimeoutMs = 5000;

// A string value of a desktop entry: backslashes and control characters escaped,
// a leading blank kept from being trimmed.
QString desktopString(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c == u' ' && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

// One argument of an Exec line in double quotes. The string escapes of the
// entry apply on top of these, which is why a backslash ends up as four.
QString execArgument(const QString& argument) {
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += QLatin1Char('\\');
        if (c == u'%')
            out += QLatin1Char('%'); // "%%" is a literal percent, not a field code
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

// XML 1.0 has no way to write most control characters, so they are left out.
QString xmlText(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
            kept += c;
    }
    return kept.toHtmlEscaped();
}

QString desktopEntry(const QString& applicationName, const QString& description,
                     const QString& executablePath) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=%2\n"
                          "Exec=%3\n"
                          "MimeType=%4;\n"
                          "Terminal=false\n"
                          "Categories=Development;\n")
        .arg(desktopString(applicationName), desktopString(description),
             desktopString(execArgument(executablePath) + QStringLiteral(" %f")), kMimeType);
}

QString mimePackage(const QString& description, const QString& extension) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>%2</comment>\n"
               "    <glob pattern=\"%3\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(kMimeType, xmlText(description), xmlText(QLatin1Char('*') + extension));
}

bool isGroupHeader(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char('['));
}

// True for the line that sets our type in a group; MIME types are compared
// without regard to case, as the desktops compare them.
bool setsOurType(const QString& line) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals > 0 && line.left(equals).trimmed().compare(kMimeType, Qt::CaseInsensitive) == 0;
}

// mimeapps.list with the program as the default for our type. Every other line
// stays as it was, line endings included. Group names are matched exactly, as
// the desktops match them, so a "[default applications]" group is not ours.
QString withDefaultApplication(const QString& existing, const QString& desktopId) {
    QStringList lines = existing.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QString entry = kMimeType + QLatin1Char('=') + desktopId;

    qsizetype header = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed() == kDefaultApplications) {
            header = i;
            break;
        }
    }
    if (header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(kDefaultApplications);
        lines.append(entry);
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

    qsizetype end = header + 1;
    while (end < lines.size() && !isGroupHeader(lines.at(end)))
        ++end;
    qsizetype lastKey = header;
    bool replaced = false;
    for (qsizetype i = header + 1; i < end;) {
        const QString line = lines.at(i);
        if (setsOurType(line)) {
            if (replaced) {
                // A second line for the type would win over ours in some readers.
                lines.removeAt(i);
                --end;
                continue;
            }
            lines[i] = line.endsWith(QLatin1Char('\r')) ? entry + QLatin1Char('\r') : entry;
            replaced = true;
        }
        if (line.contains(QLatin1Char('=')))
            lastKey = i;
        ++i;
    }
    if (!replaced)
        lines.insert(lastKey + 1, entry);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// The file's text, or the empty text when there is none. A file that is there
// but cannot be read is a failure: writing over it would lose its other lines.
QString readExisting(const QString& path) {
    if (!QFileInfo::exists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw RuntimeError(ErrorNumber::PathFileAccess,
                           QStringLiteral("Path/File access error: cannot read \"%1\" (%2)")
                               .arg(path, file.errorString()));
    }
    return decodeText(file.readAll());
}

void writeText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeFileAtomically(path, text.toUtf8());
}

void runTool(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, {folder});
    if (!process.waitForStarted(kToolTimeoutMs))
        return;
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(kToolTimeoutMs);
    }
}

// One value of a key under HKEY_CLASSES_ROOT, creating the key as needed.
void SetKeyValue(const QString& keyName, const QString& valueName, const QString& value) {
    Trap(QStringLiteral("modFileAssociation.SetKeyValue"), [&] {
        SettingsStore registry;
        registry.setClassKey(HKEY_CLASSES_ROOT);
        registry.setSectionKey(keyName);
        registry.setValueKey(valueName);
        registry.createKey();
        registry.setValueType(REG_SZ);
        registry.setValue(value);
    });
}

// True when this program was installed with its desktop entry and file type
// (share/applications beside its shipped data) and the desktop finds that entry
// first: then the association needs only the default, no entry of its own.
bool installedEntryIsSeen() {
    const QString installed =
        QFileInfo(QDir(shippedDataFolder())
                      .filePath(QStringLiteral("../applications/") + kInstalledDesktopId))
            .canonicalFilePath();
    if (installed.isEmpty())
        return false;
    const QString seen =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, kInstalledDesktopId);
    return !seen.isEmpty() && QFileInfo(seen).canonicalFilePath() == installed;
}

} // namespace

bool CreateAssociation(const QString& applicationName, const QString& description,
                       const QString& executablePath, const QString& extension) {
    const QString dottedExtension =
        extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension;

    SetKeyValue(dottedExtension, QString(), applicationName);
    SetKeyValue(applicationName, QString(), description);
    SetKeyValue(applicationName + QStringLiteral("\\shell\\open\\command"), QString(),
                executablePath + QStringLiteral(" %1"));
    SetKeyValue(applicationName + QStringLiteral("\\DefaultIcon"), QString(),
                executablePath + QStringLiteral(",0"));

    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString applicationsFolder = dataFolder + QStringLiteral("/applications");
    const QString mimeFolder = dataFolder + QStringLiteral("/mime");

    bool written = false;
    bool wroteOwnEntry = false;
    Trap(QStringLiteral("modFileAssociation.CreateAssociation"), [&] {
        written = false;
        if (dottedExtension.size() < 2) {
            throw RuntimeError(ErrorNumber::InvalidCall,
                               QStringLiteral("Invalid procedure call or argument: no file "
                                              "extension to associate"));
        }
        const bool installed = installedEntryIsSeen();
        if (!installed) {
            writeText(applicationsFolder + QLatin1Char('/') + kDesktopId,
                      desktopEntry(applicationName, description, executablePath));
            writeText(mimeFolder + QStringLiteral("/packages/") + kMimePackage,
                      mimePackage(description, dottedExtension));
        }
        const QString mimeApps = configFolder + QStringLiteral("/mimeapps.list");
        writeText(mimeApps, withDefaultApplication(readExisting(mimeApps),
                                                   installed ? kInstalledDesktopId : kDesktopId));
        written = true;
        wroteOwnEntry = !installed;
    });
    if (written && wroteOwnEntry) {
        runTool(QStringLiteral("update-mime-database"), mimeFolder);
        runTool(QStringLiteral("update-desktop-database"), applicationsFolder);
    }
    return written;
}

} // namespace ordwick
