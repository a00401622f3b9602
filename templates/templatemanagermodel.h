#pragma once

#include "templates/templatefiles.h"
#include "templates/templatestore.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ordwick {

class Prompt;

// One entry of the template list: the text shown (a blank, then the name) and
// the template's folder.
struct TemplateEntry {
    QString text;
    QString folder;
};

// One entry of the file list: a file already in the template (its path with
// the store replaced by "../"), or a file or folder picked for import.
struct FileEntry {
    enum class Kind { Existing, PickedFile, PickedFolder };
    QString text;
    Kind kind = Kind::Existing;
    QString path;
    // The classic tag: the full path of an existing file, "N" or "F".
    QString tag() const;
};

// The rules of the template manager, without a screen: the lists, the detail
// boxes, the three states, and what New/Save, Update, the pickers, the imports
// and the deletes do. Every message goes through the prompt. Failed file work
// does not stop the rest; it is collected and shown in one message at the end.
class TemplateManagerModel {
public:
    enum class Focus { None, Name, IndexButton, FileList };

    TemplateManagerModel(Prompt& prompt, TemplateStore store);

    const TemplateStore& store() const { return m_store; }

    // The states: browsing (details off), editing a template, entering a new one.
    bool detailsEnabled() const { return m_detailsEnabled; }
    bool updateEnabled() const { return m_updateEnabled; }
    bool saveMode() const { return m_saveMode; }
    QString newCaption() const;

    const QList<TemplateEntry>& templates() const { return m_templates; }
    int currentTemplate() const { return m_current; }
    const QList<FileEntry>& files() const { return m_files; }

    QString name;
    QString location;
    QString index;
    bool askRenaming = false;
    bool overwriteAll = false;

    // Called between the files of a long import so the window can stay responsive.
    CopyProgress progress;

    // Lists the store's templates, creating the store when missing.
    void populate();
    void chooseTemplate(int row);
    Focus startNew();
    // "&Save": checks, writes the new template, lists the store again.
    Focus save();
    // "&Update": checks, renames and imports into the chosen template.
    Focus update();

    // The index-file picker, the files picker and the folder picker.
    void pickIndexFile();
    void pickFiles();
    void pickFolder();

    // The file list's "&Delete": removes an existing file from the template;
    // a picked entry only leaves the list.
    void removeFile(int row);
    // The template list's "&Delete", after asking.
    void deleteTemplate();

    // The file "&Edit Index" opens.
    QString fileToEdit() const;

private:
    void enableInputControls();
    void populateFiles(const QString& folder, const QString& base);
    void saveTemplate(const QString& templateName);
    void updateTemplate(const QString& templateName);
    void import(const QString& target, QStringList& failures);
    void importFile(const FileEntry& entry, const QString& target, QStringList& failures);
    void importFolder(const FileEntry& entry, const QString& target, QStringList& failures,
                      const CopyProgress& step);
    bool isListed(const QString& templateName, int except) const;
    bool refuseName(const QString& templateName);
    bool refuseIndexWithoutTag(const QByteArray& html);
    void reportFailures(const QStringList& failures);

    Prompt& m_prompt;
    TemplateStore m_store;
    bool m_detailsEnabled = false;
    bool m_updateEnabled = false;
    bool m_saveMode = false;
    QList<TemplateEntry> m_templates;
    int m_current = -1;
    QList<FileEntry> m_files;
    // Where the next pickers start: the last file and folder added.
    QString m_lastFile;
    QString m_lastFolder;
};

} // namespace ordwick
