// The preview's ASP page translator: any page translates or fails with a
// reason, each line of the script knows where it came from, a page of plain
// HTML becomes a script that compiles, and the call-assignment rewrite only
// ever turns parentheses into brackets.
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "preview/asptranslator.h"

#include <QDir>
#include <QJSEngine>
#include <QRegularExpression>
#include <QStringDecoder>

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "asp_page";

QString siteFolder() {
    const QString folder = scratchFolder() + QStringLiteral("/site");
    QDir().mkpath(folder + QStringLiteral("/include"));
    scratchFile(QStringLiteral("site/include/shared.asp"),
                QByteArrayLiteral("<%\nfunction shared() { return 1; }\n%>\n<p>shared</p>\n"));
    return folder;
}

// HTML alone: nothing the translator reads as code or as an include.
bool plainHtml(const QString& page) {
    static const QRegularExpression directive(QStringLiteral("<%|runat|#include"),
                                              QRegularExpression::CaseInsensitiveOption);
    return !directive.match(page).hasMatch();
}

// The text of a page as the server reads it: UTF-8 when it is, else Latin-1.
QString pageText(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

void requireRewriteKeepsShape(const QString& code) {
    const QString rewritten = preview::AspTranslator::rewriteCallAssignments(code);
    require(rewritten.size() == code.size(), kTarget,
            [&] { return QStringLiteral("the rewrite changed the length of \"%1\"").arg(code); });
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (rewritten.at(i) == code.at(i))
            continue;
        require((code.at(i) == u'(' && rewritten.at(i) == u'[') ||
                    (code.at(i) == u')' && rewritten.at(i) == u']'),
                kTarget, [&] {
                    return QStringLiteral("the rewrite changed \"%1\" at %2").arg(code).arg(i);
                });
    }
}

} // namespace

void aspPage(const QByteArray& data) {
    static const QString root = siteFolder();
    const QString path = scratchFile(QStringLiteral("site/page.asp"), data);
    const preview::TranslatedPage page = preview::AspTranslator(root).translate(path);
    const QString source = QString::fromUtf8(data);
    requireRewriteKeepsShape(source);
    if (page.failed()) {
        require(!page.errorCode.isEmpty(), kTarget,
                [&] { return QStringLiteral("a failure without its code"); });
        return;
    }
    require(page.lines.size() == page.script.count(QLatin1Char('\n')) + 1, kTarget, [&] {
        return QStringLiteral("%1 line origins for %2 script lines")
            .arg(page.lines.size())
            .arg(page.script.count(QLatin1Char('\n')) + 1);
    });
    if (!plainHtml(source))
        return;
    // An engine of its own each time: one kept from input to input holds
    // memory in its own heap, which the leak checker takes for lost.
    QJSEngine engine;
    const QJSValue written = engine.evaluate(
        QStringLiteral("(function () { var out = ''; var Response = { Write: function (s) { "
                       "out += s; } }; (%1)(); return out; })()")
            .arg(page.script));
    require(!written.isError(), kTarget, [&] {
        return QStringLiteral("the page of plain HTML became a script that fails: %1")
            .arg(written.toString());
    });
    require(written.toString() == pageText(data), kTarget, [&] {
        return QStringLiteral("the page of plain HTML writes \"%1\"").arg(written.toString());
    });
}

} // namespace ordwick::fuzz
