#include "templates/templatemanagermodel.h"

#include "foundation/inifile.h"
#include "foundation/paths.h"
#include "foundation/prompt.h"
#include "generation/bodytag.h"
#include "templates/templatepaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace ordwick {

namespace {

const QString kIndexFile = QStringLiteral("index.html");

QString noBodyTagMessage() {
    return QStringLiteral("The selected html files does not have the '<|body|>' tag!\n"
                          "The tag must be written exactly so, in small letters: the wizard "
                          "and the generation need it that way.");
}

// A file that cannot be read counts as empty.
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString rememberedIndexFolder() {
    IniFile ini;
    ini.setSection(QStringLiteral("Directories"));
    ini.setKey(QStringLiteral("Template"));
    return ini.value();
}

void rememberIndexFolder(const QString& folder) {
    IniFile ini;
    ini.setSection(QStringLiteral("Directories"));
    ini.setKey(QStringLiteral("Template"));
    ini.setValue(folder);
}

bool isInside(const QString& path, const QString& folder) {
    const QString inner = QDir::cleanPath(QFileInfo(path).absoluteFilePath()) + QLatin1Char('/');
    const QString outer = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
    return inner.startsWith(outer);
}

} // namespace

QString FileEntry::tag() const {
    switch (kind) {
    case Kind::PickedFile:
        return QStringLiteral("N");
    case Kind::PickedFolder:
        return QStringLiteral("F");
    case Kind::Existing:
        break;
    }
    return path;
}

TemplateManagerModel::TemplateManagerModel(Prompt& prompt, TemplateStore store)
    : m_prompt(prompt), m_store(std::move(store)) {}

QString TemplateManagerModel::newCaption() const {
    return m_saveMode ? QStringLiteral("&Save") : QStringLiteral("&New");
}

void TemplateManagerModel::populate() {
    m_templates.clear();
    m_current = -1;
    m_store.create();
    for (const QString& templateName : m_store.names())
        m_templates.append({QLatin1Char(' ') + templateName, m_store.folderOf(templateName)});
}

void TemplateManagerModel::enableInputControls() {
    m_detailsEnabled = true;
    m_files.clear();
}

void TemplateManagerModel::chooseTemplate(int row) {
    if (row < 0 || row >= m_templates.size())
        return;
    enableInputControls();
    m_updateEnabled = true;
    m_saveMode = false;
    m_current = row;
    name = m_templates.at(row).text.trimmed();
    location = m_templates.at(row).folder;
    // Emptied first, so a template without an index does not show another's.
    index.clear();
    QString folder = location;
    populateFiles(location, GetPath(folder));
}

void TemplateManagerModel::populateFiles(const QString& folder, const QString& base) {
    const QDir dir(folder);
    const auto relative = [&base](QString path) { return path.replace(base, relativeMarker()); };
    for (const QString& file :
         dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        const QString path = dir.filePath(file);
        // Any file whose path ends in "index.html" is taken as the index; the
        // last one met wins.
        if (path.endsWith(kIndexFile, Qt::CaseSensitive))
            index = relative(path);
        else
            m_files.append({relative(path), FileEntry::Kind::Existing, path});
    }
    for (const QString& sub :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        populateFiles(dir.filePath(sub), base);
}

TemplateManagerModel::Focus TemplateManagerModel::startNew() {
    enableInputControls();
    m_updateEnabled = false;
    name.clear();
    location.clear();
    index.clear();
    m_saveMode = true;
    m_current = -1;
    return Focus::Name;
}

bool TemplateManagerModel::isListed(const QString& templateName, int except) const {
    for (int i = 0; i < m_templates.size(); ++i) {
        if (i != except &&
            m_templates.at(i).text.trimmed().compare(templateName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool TemplateManagerModel::refuseName(const QString& templateName) {
    const QString reason = unusableTemplateName(templateName);
    if (reason.isEmpty())
        return false;
    m_prompt.warning(QStringLiteral("Please specify a template name that can be a folder name!\n") +
                     reason);
    return true;
}

bool TemplateManagerModel::refuseIndexWithoutTag(const QByteArray& html) {
    if (hasBodyTag(QString::fromLatin1(html)))
        return false;
    m_prompt.warning(noBodyTagMessage());
    return true;
}

TemplateManagerModel::Focus TemplateManagerModel::save() {
    const QString templateName = name.trimmed();
    if (templateName.isEmpty()) {
        m_prompt.warning(QStringLiteral("Please specify a template name!"));
        return Focus::Name;
    }
    if (refuseName(templateName))
        return Focus::Name;
    if (isListed(templateName, -1)) {
        m_prompt.warning(QStringLiteral("Please specify a different template name!"));
        return Focus::Name;
    }
    if (index.trimmed().isEmpty()) {
        m_prompt.warning(QStringLiteral("Please specify a index file!"));
        return Focus::IndexButton;
    }
    saveTemplate(templateName);
    populate();
    m_saveMode = false;
    return Focus::None;
}

void TemplateManagerModel::saveTemplate(const QString& templateName) {
    QString indexText = index.trimmed();
    // A text pointing into the store names an index of another template.
    const QString indexPath =
        isRelativeToStore(indexText)
            ? m_store.qualifiedRoot() + indexText.mid(indexText.indexOf(relativeMarker()) + 3)
            : indexText;
    const QByteArray html = readAll(indexPath);
    if (refuseIndexWithoutTag(html))
        return;
    QStringList failures;
    const QString target = m_store.folderOf(templateName);
    if (makeFolder(target, failures)) {
        writeFile(target + QLatin1Char('/') + kIndexFile, html + "\r\n", failures);
        import(target, failures);
    }
    reportFailures(failures);
}

TemplateManagerModel::Focus TemplateManagerModel::update() {
    if (m_current < 0 || m_current >= m_templates.size())
        return Focus::None;
    const QString templateName = name.trimmed();
    if (templateName.isEmpty()) {
        m_prompt.warning(QStringLiteral("Please specify a template name!"));
        return Focus::Name;
    }
    if (index.trimmed().isEmpty()) {
        m_prompt.warning(QStringLiteral("Please specify a index file!"));
        return Focus::IndexButton;
    }
    if (m_files.isEmpty()) {
        m_prompt.warning(QStringLiteral("Please select files to include!"));
        return Focus::FileList;
    }
    if (refuseName(templateName))
        return Focus::Name;
    // Refused before anything changes: a rename onto another template would
    // fail and take the imports with it.
    if (isListed(templateName, m_current)) {
        m_prompt.warning(QStringLiteral("Please specify a different template name!\nA template "
                                        "named \"%1\" already exists.")
                             .arg(templateName));
        return Focus::Name;
    }
    if (!isRelativeToStore(index) && refuseIndexWithoutTag(readAll(index.trimmed())))
        return Focus::IndexButton;
    updateTemplate(templateName);
    m_files.clear();
    location = m_templates.at(m_current).folder;
    QString folder = location;
    index.clear();
    populateFiles(location, GetPath(folder));
    return Focus::None;
}

void TemplateManagerModel::updateTemplate(const QString& templateName) {
    QStringList failures;
    TemplateEntry& entry = m_templates[m_current];
    if (entry.text.trimmed() != templateName) {
        const QString renamed = m_store.folderOf(templateName);
        if (!renameFolder(entry.folder, renamed, failures)) {
            // The imports would have nowhere to go.
            reportFailures(failures);
            return;
        }
        entry.text = QLatin1Char(' ') + templateName;
        entry.folder = renamed;
    }
    const QString target = entry.folder;
    if (!isRelativeToStore(index))
        copyFile(index.trimmed(), target + QLatin1Char('/') + kIndexFile, overwriteAll, failures);
    import(target, failures);
    reportFailures(failures);
}

void TemplateManagerModel::import(const QString& target, QStringList& failures) {
    int total = 0;
    for (const FileEntry& entry : std::as_const(m_files)) {
        if (entry.kind == FileEntry::Kind::PickedFile)
            ++total;
        else if (entry.kind == FileEntry::Kind::PickedFolder)
            total += countFiles(entry.path);
    }
    int done = 0;
    const QList<FileEntry> entries = m_files;
    for (const FileEntry& entry : entries) {
        if (entry.kind == FileEntry::Kind::PickedFile) {
            importFile(entry, target, failures);
            if (progress)
                progress(++done, total);
        } else if (entry.kind == FileEntry::Kind::PickedFolder) {
            const int before = done;
            const CopyProgress step = [this, before, total, &done](int copied, int) {
                done = before + copied;
                if (progress)
                    progress(done, total);
            };
            importFolder(entry, target, failures, step);
            done = before + countFiles(entry.path);
        }
    }
}

void TemplateManagerModel::importFile(const FileEntry& entry, const QString& target,
                                      QStringList& failures) {
    QString text = entry.text;
    QString fileName = GetFile(text);
    if (askRenaming) {
        const QString answer = m_prompt
                                   .inputText({QStringLiteral("Rename file"),
                                               QStringLiteral("New file name:"), fileName})
                                   .trimmed();
        if (!answer.isEmpty())
            fileName = answer;
    }
    const QString reason = unusableFileName(fileName);
    if (!reason.isEmpty() || fileName.isEmpty()) {
        failures.append(QStringLiteral("\"%1\" was not imported: %2")
                            .arg(QDir::toNativeSeparators(entry.path), reason));
        return;
    }
    copyFile(entry.path, target + QLatin1Char('/') + fileName, overwriteAll, failures);
}

void TemplateManagerModel::importFolder(const FileEntry& entry, const QString& target,
                                        QStringList& failures, const CopyProgress& step) {
    QString text = entry.text;
    QString folderName = GetFolder(text);
    if (askRenaming) {
        folderName = m_prompt
                         .inputText({QStringLiteral("Rename folder"),
                                     QStringLiteral("New folder name:"), folderName})
                         .trimmed();
    }
    // An empty name merges the folder's contents into the template itself.
    if (!folderName.isEmpty()) {
        const QString reason = unusableFileName(folderName);
        if (!reason.isEmpty()) {
            failures.append(QStringLiteral("\"%1\" was not imported: %2")
                                .arg(QDir::toNativeSeparators(entry.path), reason));
            return;
        }
    }
    const QString destination =
        folderName.isEmpty() ? target : target + QLatin1Char('/') + folderName;
    if (isInside(destination, entry.path)) {
        failures.append(QStringLiteral("\"%1\" was not imported: a folder cannot be copied into "
                                       "itself.")
                            .arg(QDir::toNativeSeparators(entry.path)));
        return;
    }
    copyFolder(entry.path, destination, failures, step);
}

void TemplateManagerModel::pickIndexFile() {
    QString start = rememberedIndexFolder();
    if (start.isEmpty())
        start = GetSpecialFolderLocation(CSIDL_DESKTOP);
    const QString chosen =
        TrimAtNull(m_prompt.openFileName({QStringLiteral("Select HTML file"),
                                          QStringLiteral("(All Files) (*.asp *.html *.htm);;"
                                                         "(HTML Only) (*.html *.htm);;"
                                                         "(ASP Only) (*.asp)"),
                                          {},
                                          start}))
            .trimmed();
    if (chosen.isEmpty())
        return;
    index = chosen;
    if (QFileInfo(chosen).isFile())
        rememberIndexFolder(GetFolderPath(chosen));
}

void TemplateManagerModel::pickFiles() {
    const QString start =
        m_lastFile.isEmpty() ? GetSpecialFolderLocation(CSIDL_DESKTOP) : m_lastFile;
    const QStringList chosen = m_prompt.openFileNames(
        {QStringLiteral("Select files"), QStringLiteral("(All Files) (*)"), {}, start});
    for (const QString& path : chosen) {
        m_files.append({path, FileEntry::Kind::PickedFile, path});
        m_lastFile = path;
    }
}

void TemplateManagerModel::pickFolder() {
    const QString chosen =
        m_prompt.folderName({QStringLiteral("Select Folder"), {}, {}, m_lastFolder});
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
        return;
    const QString path = QDir::cleanPath(chosen);
    m_files.append({path, FileEntry::Kind::PickedFolder, path});
    m_lastFolder = path;
}

void TemplateManagerModel::removeFile(int row) {
    if (row < 0 || row >= m_files.size())
        return;
    if (m_files.at(row).kind == FileEntry::Kind::Existing) {
        QStringList failures;
        if (!ordwick::removeFile(m_files.at(row).path, failures)) {
            reportFailures(failures);
            return;
        }
    }
    m_files.removeAt(row);
}

void TemplateManagerModel::deleteTemplate() {
    if (m_current < 0 || m_current >= m_templates.size())
        return;
    const TemplateEntry entry = m_templates.at(m_current);
    if (!m_prompt.question(QStringLiteral("Delete the template \"%1\" with all its files?")
                               .arg(entry.text.trimmed())))
        return;
    QStringList failures;
    if (!removeFolder(entry.folder, failures)) {
        reportFailures(failures);
        return;
    }
    m_templates.removeAt(m_current);
    m_current = -1;
    m_updateEnabled = false;
    name.clear();
    location.clear();
    index.clear();
    m_files.clear();
}

QString TemplateManagerModel::fileToEdit() const {
    const QString text = index.trimmed();
    if (!isRelativeToStore(text))
        return text;
    return m_store.qualifiedRoot() + text.mid(text.indexOf(relativeMarker()) + 3);
}

void TemplateManagerModel::reportFailures(const QStringList& failures) {
    if (failures.isEmpty())
        return;
    m_prompt.warning(QStringLiteral("Not everything could be done:\n") +
                     failures.join(QLatin1Char('\n')));
}

} // namespace ordwick
