// The preview's Jet SQL translation and LIKE: any statement translates, a
// statement without Jet's own words stays as it is, and a pattern that
// escapes every wildcard matches its text.
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "preview/jetsql.h"

#include <QRegularExpression>

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "jet_sql";

// The text as a LIKE pattern that matches just it: each wildcard and
// opening bracket in a class of its own.
QString literalPattern(const QString& text) {
    QString pattern;
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'[')
            pattern += u'[' + QString(c) + u']';
        else
            pattern += c;
    }
    return pattern;
}

} // namespace

void jetSql(const QByteArray& data) {
    const QString sql = QString::fromUtf8(data);
    const QString translated = preview::jetsql::toSqlite(sql);
    static const QRegularExpression jetWords(QStringLiteral("\\bTOP\\b|DISTINCTROW|#"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (!jetWords.match(sql).hasMatch())
        require(translated == sql, kTarget,
                [&] { return QStringLiteral("\"%1\" became \"%2\"").arg(sql, translated); });
    const QString verb = preview::jetsql::changingVerb(sql);
    require(verb.isEmpty() || verb == verb.toUpper(), kTarget,
            [&] { return QStringLiteral("verb \"%1\"").arg(verb); });

    InputReader in(data);
    const QString pattern = in.text(32);
    const QString text = in.text(32);
    preview::jetsql::like(pattern, text);
    require(preview::jetsql::like(literalPattern(text), text), kTarget, [&] {
        return QStringLiteral("\"%1\" does not match its own literal pattern \"%2\"")
            .arg(text, literalPattern(text));
    });
    require(preview::jetsql::like(QStringLiteral("%"), text), kTarget,
            [&] { return QStringLiteral("\"%\" does not match \"%1\"").arg(text); });
    require(preview::jetsql::like(QStringLiteral("%") + literalPattern(text) + QStringLiteral("%"),
                                  pattern + text + pattern),
            kTarget, [&] { return QStringLiteral("\"%1\" is not found inside a text").arg(text); });
}

} // namespace ordwick::fuzz
