#include "wizard/pagenamecheck.h"

#include <QSet>

namespace ordwick {

namespace RenameList {

QList<RenameEntry> entries(const QStringList& list) {
    QList<RenameEntry> result;
    for (const QString& entry : list) {
        if (entry.trimmed().isEmpty())
            continue;
        const QStringList parts = entry.split(QLatin1Char(';'));
        result.append({parts.at(0), parts.value(1)});
    }
    return result;
}

QStringList stored(const QList<RenameEntry>& entries) {
    QStringList list;
    for (const RenameEntry& entry : entries) {
        const QString text = entry.file + QLatin1Char(';') + entry.renameAs;
        if (!text.trimmed().isEmpty())
            list.append(text);
    }
    return list;
}

} // namespace RenameList

std::optional<QString> PageNameCheck::problemOf(const QString& name) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("the name is empty");
    if (name != name.trimmed())
        return QStringLiteral("the name starts or ends with a blank");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("a path separator would put the page outside the site folder");
    if (name.contains(QLatin1String("..")))
        return QStringLiteral("\"..\" could lead outside the site folder");
    static const QString reserved = QStringLiteral(":*?\"<>|;");
    for (const QChar c : name) {
        if (reserved.contains(c) || c.unicode() < 32)
            return QStringLiteral("the character \"%1\" is not allowed in a file name")
                .arg(c.unicode() < 32 ? QStringLiteral("control") : QString(c));
    }
    if (!name.endsWith(QLatin1String(".asp"), Qt::CaseInsensitive) ||
        name.size() == QStringLiteral(".asp").size())
        return QStringLiteral("the web server runs only pages named like \"name.asp\"");
    return std::nullopt;
}

std::optional<PageNameCheck::Problem> PageNameCheck::firstProblem(const QList<RenameEntry>& entries,
                                                                  const QStringList& otherFiles) {
    QSet<QString> taken;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const RenameEntry& entry = entries.at(i);
        const QString problem = [&]() -> QString {
            if (const std::optional<QString> own = problemOf(entry.renameAs))
                return *own;
            if (otherFiles.contains(entry.renameAs, Qt::CaseInsensitive))
                return QStringLiteral("the site has a file of this name, which would be "
                                      "overwritten");
            // The web server's file names do not tell case apart.
            if (taken.contains(entry.renameAs.toLower()))
                return QStringLiteral("another page already has this name and would be "
                                      "overwritten");
            return {};
        }();
        if (!problem.isEmpty())
            return Problem{i, QStringLiteral("The page %1 cannot be renamed to \"%2\": %3.")
                                  .arg(entry.file, entry.renameAs, problem)};
        taken.insert(entry.renameAs.toLower());
    }
    return std::nullopt;
}

} // namespace ordwick
