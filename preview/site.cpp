#include "preview/site.h"

#include <QDir>
#include <QFileInfo>

namespace ordwick::preview {

Site::Site(const QString& root, SiteLimits limits)
    : m_root(QDir::cleanPath(QFileInfo(root).canonicalFilePath())), m_limits(limits),
      m_pages(m_root), m_watchdog(m_limits.memoryLimitBytes) {}

QString Site::filePath(const QString& sitePath) const {
    const QString clean = QDir::cleanPath(m_root + QLatin1Char('/') + sitePath);
    if (clean != m_root && !clean.startsWith(m_root + QLatin1Char('/')))
        return {};
    return clean;
}

QString Site::mapPath(const QString& path, const QString& currentPage, QString& errorCode,
                      QString& error) const {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.size() >= 2 && p[1] == QLatin1Char(':')) {
        errorCode = QStringLiteral("ASP 0172");
        error = QStringLiteral("Invalid Path: the Path parameter for the MapPath method must be a "
                               "virtual path. A physical path was used.");
        return {};
    }
    if (p.split(QLatin1Char('/')).contains(QStringLiteral(".."))) {
        errorCode = QStringLiteral("ASP 0175");
        error = QStringLiteral("Disallowed Path Characters: the '..' characters are not allowed in "
                               "the Path parameter for the MapPath method.");
        return {};
    }
    QString sitePath;
    if (p.startsWith(QLatin1Char('/')))
        sitePath = p;
    else
        sitePath = currentPage.left(currentPage.lastIndexOf(QLatin1Char('/')) + 1) + p;
    const QString file = filePath(sitePath);
    if (file.isEmpty()) {
        errorCode = QStringLiteral("ASP 0173");
        error = QStringLiteral("Invalid Path: the Path parameter for the MapPath method names a "
                               "place outside the site.");
        return {};
    }
    return file;
}

} // namespace ordwick::preview
