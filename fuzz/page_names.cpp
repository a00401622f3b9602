// Page names, the rename list and the template's body tag: any name gets a
// safe form that is safe and stays as it is, a safe name is kept, the rename
// list reads back as stored, and a page the check lets through is an .asp
// file of the site's folder.
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "generation/bodytag.h"
#include "generation/pagenames.h"
#include "wizard/pagenamecheck.h"

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "page_names";

void requireSafeName(const QString& name) {
    const QString safe = safePageFileName(name);
    require(isSafePageFileName(safe), kTarget, [&] {
        return QStringLiteral("\"%1\" has the safe name \"%2\", which is not safe").arg(name, safe);
    });
    require(safePageFileName(safe) == safe, kTarget,
            [&] { return QStringLiteral("the safe name \"%1\" changes again").arg(safe); });
    if (isSafePageFileName(name))
        require(safe == name, kTarget,
                [&] { return QStringLiteral("the safe name \"%1\" changed").arg(name); });
}

} // namespace

void pageNames(const QByteArray& data) {
    InputReader in(data);
    QList<RenameEntry> entries;
    QStringList names;
    for (int count = in.byte() % 6; count > 0; --count) {
        RenameEntry entry{in.text(24).remove(QLatin1Char(';')),
                          in.text(24).remove(QLatin1Char(';'))};
        requireSafeName(entry.file);
        requireSafeName(entry.renameAs);
        names.append(entry.renameAs);
        entries.append(entry);
    }
    const QStringList stored = RenameList::stored(entries);
    require(RenameList::entries(stored) == entries, kTarget, [&] {
        return QStringLiteral("the rename list \"%1\" reads otherwise").arg(stored.join(u'|'));
    });
    if (!PageNameCheck::firstProblem(entries, {QStringLiteral("functions.asp")})) {
        for (const QString& name : names)
            require(
                name.endsWith(QLatin1String(".asp"), Qt::CaseInsensitive) && !name.contains(u'/') &&
                    !name.contains(u'\\') && !name.contains(QLatin1String("..")) &&
                    name.compare(QLatin1String("functions.asp"), Qt::CaseInsensitive) != 0,
                kTarget,
                [&] { return QStringLiteral("the page name \"%1\" passed the check").arg(name); });
    }
    const QString text = QString::fromUtf8(data);
    RenameList::entries(text.split(u'\n'));
    requireSafeName(text);
    const qsizetype middle = text.size() / 2;
    require(hasBodyTag(text.left(middle) + bodyTag() + text.mid(middle)), kTarget,
            [&] { return QStringLiteral("a template with the body tag is refused"); });
}

} // namespace ordwick::fuzz
