// The INI document: any file loads, writes back to a file that loads the same,
// and a value set reads back.
#include "foundation/inidocument.h"
#include "foundation/runtimeerror.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "ini_document";

// Everything the document answers, in one comparable text.
QStringList view(const IniDocument& document) {
    QStringList lines;
    for (const QString& section : document.sections()) {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        for (const QString& key : document.keys(section))
            lines.append(key + QLatin1Char('=') +
                         document.value(section, key).value_or(QStringLiteral("<none>")));
    }
    return lines;
}

} // namespace

void iniDocument(const QByteArray& data) {
    IniDocument document = IniDocument::load(scratchFile(QStringLiteral("document.ini"), data));
    const QStringList before = view(document);
    for (const QString& section : document.sections()) {
        for (const QString& key : document.keys(section))
            require(document.value(section, key).has_value(), kTarget, [&] {
                return QStringLiteral("listed key %1 of [%2] has no value").arg(key, section);
            });
    }

    const IniDocument reread =
        IniDocument::load(scratchFile(QStringLiteral("written.ini"), document.toBytes()));
    require(view(reread) == before, kTarget,
            [&] { return QStringLiteral("the written document reads back otherwise"); });

    // A value set is read back as it was given, without its NUL characters.
    const QString value =
        QString::fromUtf8(data.left(80)).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    document.setValue(QStringLiteral("Fuzz"), QStringLiteral("Key"), value);
    require(document.value(QStringLiteral("fuzz"), QStringLiteral("KEY")) ==
                QString(value).remove(QChar(u'\0')),
            kTarget, [&] { return QStringLiteral("a value set does not read back"); });
    document.deleteSection(QStringLiteral("Fuzz"));
    require(!document.sections().contains(QStringLiteral("Fuzz"), Qt::CaseInsensitive), kTarget,
            [&] { return QStringLiteral("a deleted section is still listed"); });
}

} // namespace ordwick::fuzz
