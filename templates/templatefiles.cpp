#include "templates/templatefiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ordwick {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

void makeWritable(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
}

} // namespace

bool copyFile(const QString& from, const QString& to, bool replace, QStringList& failures) {
    const QFileInfo target(to);
    if (target.exists()) {
        if (!replace)
            return true;
        // A file copied onto itself already is what it would become.
        if (target.canonicalFilePath() == QFileInfo(from).canonicalFilePath())
            return true;
        makeWritable(to);
    }
    // The copy is written whole beside the target and then takes its place,
    // so the old file stays until its replacement exists.
    QFile source(from);
    QSaveFile copy(to);
    const auto failed = [&](const QString& reason) {
        failures.append(QStringLiteral("Copying \"%1\" to \"%2\" failed: %3")
                            .arg(shown(from), shown(to), reason));
        return false;
    };
    if (!source.open(QIODevice::ReadOnly))
        return failed(source.errorString());
    if (!copy.open(QIODevice::WriteOnly))
        return failed(copy.errorString());
    char buffer[64 * 1024];
    for (qint64 read; (read = source.read(buffer, sizeof buffer)) > 0;) {
        if (copy.write(buffer, read) != read)
            return failed(copy.errorString());
    }
    if (source.error() != QFileDevice::NoError)
        return failed(source.errorString());
    if (!copy.commit())
        return failed(copy.errorString());
    return true;
}

int countFiles(const QString& folder) {
    int count = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

void copyFolder(const QString& from, const QString& to, QStringList& failures,
                const CopyProgress& progress) {
    if (!QFileInfo(from).isDir()) {
        failures.append(QStringLiteral("The folder \"%1\" does not exist.").arg(shown(from)));
        return;
    }
    if (!makeFolder(to, failures))
        return;
    const int total = progress ? countFiles(from) : 0;
    int done = 0;
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        const QString target = QDir(to).filePath(source.relativeFilePath(entry.filePath()));
        if (entry.isDir()) {
            makeFolder(target, failures);
            continue;
        }
        copyFile(entry.filePath(), target, true, failures);
        if (progress)
            progress(++done, total);
    }
}

bool removeFile(const QString& path, QStringList& failures) {
    makeWritable(path);
    QFile file(path);
    if (!file.remove()) {
        failures.append(
            QStringLiteral("Deleting \"%1\" failed: %2").arg(shown(path), file.errorString()));
        return false;
    }
    return true;
}

bool removeFolder(const QString& path, QStringList& failures) {
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        makeWritable(it.next());
    makeWritable(path);
    if (!QDir(path).removeRecursively() || QFileInfo::exists(path)) {
        failures.append(QStringLiteral("Deleting the folder \"%1\" failed: not everything in it "
                                       "could be removed.")
                            .arg(shown(path)));
        return false;
    }
    return true;
}

bool makeFolder(const QString& path, QStringList& failures) {
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path)) {
        failures.append(QStringLiteral("Creating the folder \"%1\" failed.").arg(shown(path)));
        return false;
    }
    return true;
}

bool renameFolder(const QString& from, const QString& to, QStringList& failures) {
    if (!QDir().rename(from, to)) {
        failures.append(
            QStringLiteral("Renaming \"%1\" to \"%2\" failed.").arg(shown(from), shown(to)));
        return false;
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes, QStringList& failures) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        failures.append(
            QStringLiteral("Writing \"%1\" failed: %2").arg(shown(path), file.errorString()));
        return false;
    }
    return true;
}

} // namespace ordwick
