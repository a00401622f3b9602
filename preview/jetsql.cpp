#include "preview/jetsql.h"

#include "datasource/dataconnection.h"
#include "datasource/schemamirror.h"
#include "preview/datevalues.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace ordwick::preview::jetsql {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The end (one past) of a quoted run or a [name] starting at `start`; a
// doubled quote stands for one quote character.
qsizetype skipQuoted(const QString& sql, qsizetype start) {
    const QChar open = sql.at(start);
    const QChar close = open == u'[' ? u']' : open;
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql.at(i) == close) {
            if (close != u']' && i + 1 < sql.size() && sql.at(i + 1) == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

// The words and punctuation of a statement outside quotes and brackets.
struct Token {
    qsizetype start = 0;
    qsizetype end = 0;
    QString upper; // a word in capitals; one character otherwise
    int depth = 0; // parentheses open before it
    bool word = false;
};

std::vector<Token> tokens(const QString& sql) {
    std::vector<Token> result;
    int depth = 0;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            const qsizetype end = skipQuoted(sql, i);
            result.push_back({i, end, QString(c), depth, false});
            i = end;
        } else if (isWordChar(c)) {
            qsizetype end = i;
            while (end < sql.size() && isWordChar(sql.at(end)))
                ++end;
            result.push_back({i, end, sql.mid(i, end - i).toUpper(), depth, true});
            i = end;
        } else {
            if (c == u')')
                depth = std::max(0, depth - 1);
            result.push_back({i, i + 1, QString(c), depth, false});
            if (c == u'(')
                ++depth;
            ++i;
        }
    }
    return result;
}

struct Edit {
    qsizetype at = 0;
    qsizetype remove = 0;
    QString insert;
};

QString applied(QString sql, std::vector<Edit> edits) {
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.at > b.at; });
    for (const Edit& edit : edits)
        sql.replace(edit.at, edit.remove, edit.insert);
    return sql;
}

// Where the SELECT at `select` ends: the parenthesis that closes its
// subquery, or the end of the statement.
qsizetype selectEnd(const QString& sql, const std::vector<Token>& all, size_t select) {
    const int depth = all[select].depth;
    for (size_t i = select + 1; i < all.size(); ++i) {
        if (all[i].upper == QLatin1String(")") && all[i].depth < depth)
            return all[i].start;
    }
    qsizetype end = sql.size();
    while (end > 0 && (sql.at(end - 1).isSpace() || sql.at(end - 1) == u';'))
        --end;
    return end;
}

// The text of a #date# literal as the copies store dates; empty when it is
// no date.
QString dateLiteral(const QString& inside) {
    const QVariant when = ordwick::fieldValue(adDBTimeStamp, inside);
    if (!when.isValid())
        return {};
    return u'\'' + storedDateText(when.toDateTime()) + u'\'';
}

// How many UTF-16 units the character at `at` takes: two for a surrogate pair.
qsizetype characterLength(QStringView text, qsizetype at) {
    return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()
               ? 2
               : 1;
}

// The character at `at` (a surrogate pair whole, which escaping the halves one
// by one would break) to be matched as itself. QRegularExpression::escape
// writes NUL as "\0", which a following digit would turn into an octal escape.
QString literal(QStringView text, qsizetype at) {
    if (text.at(at).isNull())
        return QStringLiteral("\\x{0}");
    return QRegularExpression::escape(text.mid(at, characterLength(text, at)));
}

QRegularExpression likeExpression(const QString& pattern) {
    QString expression = QStringLiteral("^");
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == u'%') {
            expression += QLatin1String(".*");
        } else if (c == u'_') {
            expression += u'.';
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) { // an open bracket that closes nowhere is itself
                expression += literal(pattern, i);
                ++i;
                continue;
            }
            QString members = pattern.mid(i + 1, close - i - 1);
            QString set = QStringLiteral("[");
            if (members.startsWith(u'!') && members.size() > 1) {
                set += u'^';
                members.remove(0, 1);
            }
            for (qsizetype m = 0; m < members.size(); m += characterLength(members, m)) {
                if (members.at(m) == u'-' && m > 0 && m + 1 < members.size())
                    set += u'-';
                else
                    set += literal(members, m);
            }
            set += u']';
            // "[]" matches nothing in Jet; an empty class is not valid here.
            expression += members.isEmpty() ? QStringLiteral("(?!)") : set;
            i = close + 1;
            continue;
        } else {
            expression += literal(pattern, i);
            i += characterLength(pattern, i);
            continue;
        }
        ++i;
    }
    expression += u'$';
    return QRegularExpression(expression, QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

QString toSqlite(const QString& sql) {
    const std::vector<Token> all = tokens(sql);
    std::vector<Edit> edits;
    for (size_t i = 0; i < all.size(); ++i) {
        const Token& token = all[i];
        if (token.word && token.upper == QLatin1String("DISTINCTROW")) {
            edits.push_back({token.start, token.end - token.start, QStringLiteral("DISTINCT")});
            continue;
        }
        if (!token.word && token.upper == QLatin1String("#")) {
            const qsizetype close = sql.indexOf(u'#', token.start + 1);
            if (close < 0)
                continue;
            const QString literal = dateLiteral(sql.mid(token.start + 1, close - token.start - 1));
            if (literal.isEmpty())
                continue;
            edits.push_back({token.start, close + 1 - token.start, literal});
            while (i + 1 < all.size() && all[i + 1].start <= close)
                ++i;
            continue;
        }
        if (!token.word || token.upper != QLatin1String("SELECT"))
            continue;
        size_t top = i + 1;
        if (top < all.size() && (all[top].upper == QLatin1String("DISTINCT") ||
                                 all[top].upper == QLatin1String("DISTINCTROW") ||
                                 all[top].upper == QLatin1String("ALL")))
            ++top;
        if (top + 1 >= all.size() || all[top].upper != QLatin1String("TOP"))
            continue;
        bool whole = false;
        const qlonglong count = all[top + 1].upper.toLongLong(&whole);
        // TOP n PERCENT has no LIMIT to stand for it; SQLite then says why it fails.
        if (!whole || (top + 2 < all.size() && all[top + 2].upper == QLatin1String("PERCENT")))
            continue;
        // The blanks after the count go too.
        const qsizetype removeEnd = top + 2 < all.size() ? all[top + 2].start : all[top + 1].end;
        edits.push_back({all[top].start, removeEnd - all[top].start, QString()});
        edits.push_back({selectEnd(sql, all, i), 0, QStringLiteral(" LIMIT %1").arg(count)});
    }
    return applied(sql, std::move(edits));
}

QString changingVerb(const QString& sql) {
    const std::vector<Token> all = tokens(sql);
    auto first = std::find_if(all.begin(), all.end(), [](const Token& t) { return t.word; });
    if (first == all.end())
        return {};
    if (first->upper == QLatin1String("SELECT") || first->upper == QLatin1String("WITH") ||
        first->upper == QLatin1String("TRANSFORM")) {
        // SELECT ... INTO makes a table of the rows.
        for (auto t = first; t != all.end(); ++t) {
            if (t->word && t->depth == first->depth && t->upper == QLatin1String("INTO"))
                return QStringLiteral("SELECT INTO");
        }
        return {};
    }
    return first->upper;
}

bool like(const QString& pattern, const QString& text) {
    // The pages ask with few patterns, many rows each.
    thread_local QHash<QString, QRegularExpression> known;
    auto found = known.constFind(pattern);
    if (found == known.constEnd()) {
        if (known.size() > 256)
            known.clear();
        found = known.insert(pattern, likeExpression(pattern));
    }
    return found->match(text).hasMatch();
}

} // namespace ordwick::preview::jetsql
