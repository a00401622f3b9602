#include "templates/templatestore.h"

#include "foundation/programfolder.h"
#include "foundation/runtimeerror.h"
#include "templates/templatefiles.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace ordwick {

namespace {

const QString kStoreFolder = QStringLiteral("template");

} // namespace

TemplateStore::TemplateStore(QString root) : m_root(QDir::cleanPath(std::move(root))) {}

TemplateStore TemplateStore::forThisUser() {
    return choose(shippedDataFolder(), userDataFolder());
}

TemplateStore TemplateStore::choose(const QString& shippedFolder, const QString& userFolder) {
    const QString shipped = QDir(shippedFolder).filePath(kStoreFolder);
    TemplateStore own(QDir(userFolder).filePath(kStoreFolder));
    if (!own.exists() && QDir().mkpath(own.root())) {
        // Only when the per-user store is made: a shipped template the user
        // deleted later must not come back.
        const TemplateStore programStore(shipped);
        QStringList failures;
        for (const QString& name : programStore.names())
            copyFolder(programStore.folderOf(name), own.folderOf(name), failures);
    }
    return own;
}

QString TemplateStore::baseFolder() const {
    return QFileInfo(m_root).absolutePath();
}

bool TemplateStore::exists() const {
    return QFileInfo(m_root).isDir();
}

void TemplateStore::create() const {
    if (!exists() && !QDir().mkpath(m_root)) {
        throw RuntimeError(ErrorNumber::PathFileAccess,
                           QStringLiteral("Path/File access error: the template folder \"%1\" "
                                          "cannot be created")
                               .arg(m_root));
    }
}

QStringList TemplateStore::names() const {
    return QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QString TemplateStore::folderOf(const QString& name) const {
    return qualifiedRoot() + name;
}

QString TemplateStore::indexFileOf(const QString& name) const {
    return folderOf(name) + QStringLiteral("/index.html");
}

QString TemplateStore::previewOf(const QString& name) const {
    const QString preview = folderOf(name) + QStringLiteral("/preview.png");
    return QFileInfo(preview).isFile() ? preview : QString();
}

} // namespace ordwick
