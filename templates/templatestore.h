#pragma once

#include <QString>
#include <QStringList>

namespace ordwick {

// The folder of templates: one sub-folder per template, named after it, holding
// "index.html" and whatever was imported with it. Each user has one: "template"
// in the user's data folder, made on first use as a copy of the templates shipped
// with the program, which are never written to. The manager, the wizard and the
// engine all use the one store chosen here.
class TemplateStore {
public:
    explicit TemplateStore(QString root);

    // The store of the running program for this user.
    static TemplateStore forThisUser();
    // The per-user store under `userFolder`, created and filled with the templates
    // shipped in `shippedFolder` ("template" there) when it does not exist yet.
    static TemplateStore choose(const QString& shippedFolder, const QString& userFolder);

    const QString& root() const { return m_root; }
    // The root ending in one separator; what relative texts replace by "../".
    QString qualifiedRoot() const { return m_root + QLatin1Char('/'); }
    // The folder whose "template" is this store: what the engine is handed.
    QString baseFolder() const;

    bool exists() const;
    // Creates the store when missing; a RuntimeError when it cannot be.
    void create() const;
    // The templates' names, in name order; none when the store is missing.
    QStringList names() const;
    QString folderOf(const QString& name) const;
    QString indexFileOf(const QString& name) const;
    // The template's own "preview.png", or the empty text when it has none.
    QString previewOf(const QString& name) const;

private:
    QString m_root;
};

} // namespace ordwick
