#include "templates/templatepaths.h"

namespace ordwick {

namespace {

QString afterLastSeparator(QString& path) {
    path = path.trimmed();
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString GetFile(QString& path) {
    return afterLastSeparator(path);
}

QString GetFolder(QString& path) {
    return afterLastSeparator(path);
}

QString GetPath(QString& path) {
    path = path.trimmed();
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString unusableFileName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.contains(QLatin1Char('/')) || trimmed.contains(QLatin1Char('\\')))
        return QStringLiteral("\"%1\" holds a path separator (\"/\" or \"\\\").").arg(trimmed);
    if (trimmed == QLatin1String(".") || trimmed == QLatin1String(".."))
        return QStringLiteral("\"%1\" names a folder of its own.").arg(trimmed);
    for (const QChar c : trimmed) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("\"%1\" holds a control character.").arg(trimmed);
    }
    // The longest name the usual file systems take, in bytes.
    if (trimmed.toUtf8().size() > 255)
        return QStringLiteral("\"%1\" is longer than a file name may be.").arg(trimmed);
    return {};
}

QString unusableTemplateName(const QString& name) {
    if (name.trimmed().compare(QLatin1String("no template"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("\"no template\" means that no template is used.");
    return unusableFileName(name);
}

} // namespace ordwick
