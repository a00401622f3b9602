#include "foundation/paths.h"

#include "foundation/trap.h"

#include <QDir>
#include <QStandardPaths>

namespace ordwick {

namespace {

constexpr QChar kSeparator = u'/';

QString stripBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

bool containsAny(const QString& text, QStringView refused) {
    for (const QChar c : refused) {
        if (text.contains(c))
            return true;
    }
    return false;
}

bool isUsableColumn(QString& name, QStringView refused, const QString& source) {
    bool valid = false;
    Trap(source, [&] {
        name = stripBlanks(name);
        valid = !name.isEmpty() && !containsAny(name, refused);
    });
    return valid;
}

constexpr QStringView kRefusedInColumns = u"()[]{}:-;\\'\"";
constexpr QStringView kRefusedInBareSql = u"()[]{}:-;\\'\" &$";

} // namespace

QString QualityPath(const QString& path) {
    QString result;
    Trap(QStringLiteral("modFunctions.QualityPath"),
         [&] { result = path.endsWith(kSeparator) ? path : path + kSeparator; });
    return result;
}

QString UnQualifyPath(const QString& path) {
    QString result;
    Trap(QStringLiteral("modFunctions.UnQualifyPath"),
         [&] { result = path.endsWith(kSeparator) ? path.chopped(1) : path; });
    return result;
}

QString GetFolderPath(const QString& filePath) {
    QString result;
    Trap(QStringLiteral("modGeneral.GetFolderPath"), [&] {
        const qsizetype last = filePath.lastIndexOf(kSeparator);
        result = last < 0 ? QString() : UnQualifyPath(filePath.left(last));
    });
    return result;
}

QString TrimAtNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString GetSpecialFolderLocation(int folderId) {
    QString result;
    Trap(QStringLiteral("modSpecialFolder.GetSpecialFolderLocation"), [&] {
        if (folderId != CSIDL_DESKTOP)
            return;
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (!desktop.isEmpty() && QDir(desktop).exists())
            result = desktop;
    });
    return result;
}

bool IsValidColumn(QString& name) {
    return isUsableColumn(name, kRefusedInColumns, QStringLiteral("modFunctions.IsValidColumn"));
}

bool IsValidColumn1(QString& name) {
    return isUsableColumn(name, kRefusedInBareSql, QStringLiteral("modFunctions.IsValidColumn1"));
}

} // namespace ordwick
