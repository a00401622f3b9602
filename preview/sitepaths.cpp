#include "preview/sitepaths.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace ordwick::preview {

QString realSitePath(const QString& root, const QString& file) {
    const QString real = QFileInfo(file).canonicalFilePath();
    if (real == root)
        return QStringLiteral("/");
    if (!real.startsWith(root + QLatin1Char('/')))
        return {};
    return real.mid(root.size());
}

bool closedPlace(const QString& root, const QString& sitePath) {
    const QStringList segments = sitePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!segments.isEmpty() &&
        segments.first().compare(QLatin1String("db"), Qt::CaseInsensitive) == 0)
        return true;
    for (const QString& segment : segments) {
        if (segment.startsWith(QLatin1Char('.')))
            return true;
    }
    QString folder = root;
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
        folder += QLatin1Char('/') + segments.at(i);
        QFile config(folder + QStringLiteral("/web.config"));
        if (!config.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(config.readAll());
        if (text.contains(QLatin1String("allowUnlisted=\"false\"")) ||
            text.contains(QLatin1String("<deny users=\"*\"")))
            return true;
    }
    return false;
}

} // namespace ordwick::preview
