#include "preview/asptranslator.h"

#include "preview/sitepaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <atomic>

namespace ordwick::preview {

namespace {

constexpr int kMaxIncludeDepth = 16;

std::atomic<quint64> g_nextSerial{1};

// Pages are UTF-8 as the engine writes them; older pages may be Windows-1252.
QString decodeSource(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // Stateless, so that a page ending inside a UTF-8 sequence is no UTF-8
    // rather than cut short.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString jsString(QStringView text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case 0x2028:
            out += QLatin1String("\\u2028");
            break;
        case 0x2029:
            out += QLatin1String("\\u2029");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The page text with its includes expanded, and where each of its lines came from.
class Expander {
public:
    Expander(const QString& root, TranslatedPage& page) : m_root(root), m_page(page) {}

    bool expand(const QString& path, const QString& virtualPath, int depth) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("ASP 0126"),
                 QStringLiteral("The include file '%1' was not found.").arg(virtualPath), {});
            return false;
        }
        const QFileInfo info(path);
        m_page.sources.append({path, info.lastModified(), info.size()});
        const QString source = decodeSource(file.readAll());
        static const QRegularExpression include(
            QStringLiteral(R"re(<!--\s*#include\s+(file|virtual)\s*=\s*"([^"]*)"\s*-->)re"),
            QRegularExpression::CaseInsensitiveOption);
        qsizetype at = 0;
        int line = 1;
        auto it = include.globalMatch(source);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const QStringView before = QStringView(source).mid(at, match.capturedStart() - at);
            append(before, virtualPath, line);
            line += static_cast<int>(before.count(QLatin1Char('\n')));
            const SourceLine here{virtualPath, line};
            if (depth >= kMaxIncludeDepth) {
                fail(QStringLiteral("ASP 0127"),
                     QStringLiteral("The include files nest too deeply (an include file "
                                    "includes itself?)."),
                     here);
                return false;
            }
            QString target;
            QString targetVirtual;
            if (!resolve(path, match.captured(1), match.captured(2), target, targetVirtual, here))
                return false;
            if (!QFileInfo(target).isFile()) {
                fail(QStringLiteral("ASP 0126"),
                     QStringLiteral("The include file '%1' was not found.").arg(match.captured(2)),
                     here);
                return false;
            }
            if (!expand(target, targetVirtual, depth + 1))
                return false;
            const QString directive = match.captured(0);
            line += static_cast<int>(directive.count(QLatin1Char('\n')));
            at = match.capturedEnd();
        }
        append(QStringView(source).mid(at), virtualPath, line);
        return true;
    }

    QString text;
    QList<SourceLine> lineOrigins;

private:
    void append(QStringView part, const QString& file, int firstLine) {
        if (lineOrigins.isEmpty())
            lineOrigins.append({file, firstLine});
        int line = firstLine;
        for (const QChar c : part) {
            if (c == QLatin1Char('\n'))
                lineOrigins.append({file, ++line});
        }
        text += part;
    }

    bool resolve(const QString& including, const QString& kind, QString name, QString& target,
                 QString& targetVirtual, const SourceLine& here) {
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const bool virtualKind = kind.compare(QLatin1String("virtual"), Qt::CaseInsensitive) == 0;
        if (!virtualKind && name.startsWith(QLatin1Char('/'))) {
            fail(QStringLiteral("ASP 0130"),
                 QStringLiteral("The file attribute '%1' cannot start with forward slash or back "
                                "slash.")
                     .arg(name),
                 here);
            return false;
        }
        const QString base = virtualKind ? m_root : QFileInfo(including).absolutePath();
        target = QDir::cleanPath(base + QLatin1Char('/') + name);
        if (!target.startsWith(m_root + QLatin1Char('/'))) {
            fail(QStringLiteral("ASP 0131"),
                 QStringLiteral("The include file '%1' cannot name a file outside the site's "
                                "folder.")
                     .arg(name),
                 here);
            return false;
        }
        targetVirtual = target.mid(m_root.size());
        // Through a link the file included may be elsewhere: outside the site,
        // or in a place it never hands out that the page did not name itself.
        if (QFileInfo::exists(target)) {
            const QString real = realSitePath(m_root, target);
            if (real.isEmpty() || (real != targetVirtual && closedPlace(m_root, real))) {
                fail(QStringLiteral("ASP 0131"),
                     QStringLiteral("The include file '%1' cannot name a file outside the site's "
                                    "folder or in a folder the site does not serve.")
                         .arg(name),
                     here);
                return false;
            }
        }
        return true;
    }

    void fail(const QString& code, const QString& description, const SourceLine& at) {
        m_page.errorCode = code;
        m_page.errorText = description;
        m_page.errorAt = at;
    }

    const QString& m_root;
    TranslatedPage& m_page;
};

// Writes the script and keeps, for each of its lines, the line of the page it
// came from.
class ScriptWriter {
public:
    explicit ScriptWriter(const Expander& source) : m_source(source) {
        for (qsizetype i = 0; i < source.text.size(); ++i) {
            if (source.text[i] == QLatin1Char('\n'))
                m_newlines.push_back(i);
        }
    }

    // The line (0-based index into lineOrigins) of a position in the expanded text.
    int lineAt(qsizetype position) const {
        const auto it = std::lower_bound(m_newlines.begin(), m_newlines.end(), position);
        return static_cast<int>(it - m_newlines.begin());
    }

    SourceLine originAt(qsizetype position) const {
        const int line = lineAt(position);
        return m_source.lineOrigins.value(
            line, m_source.lineOrigins.isEmpty() ? SourceLine{} : m_source.lineOrigins.last());
    }

    void begin(qsizetype position) { lines.append(originAt(position)); }

    // Code of the page copied as it stands; from: its position in the expanded text.
    void code(const QString& text, qsizetype from) {
        int line = lineAt(from);
        for (const QChar c : text) {
            script += c;
            if (c == QLatin1Char('\n'))
                lines.append(m_source.lineOrigins.value(++line));
        }
    }

    // Generated text without line breaks.
    void raw(QStringView text) { script += text; }

    void newline(qsizetype position) {
        script += QLatin1Char('\n');
        lines.append(originAt(position));
    }

    QString script;
    QList<SourceLine> lines;

private:
    const Expander& m_source;
    std::vector<qsizetype> m_newlines;
};

struct ScriptBlock {
    QString code;
    qsizetype position;
};

} // namespace

SourceLine TranslatedPage::origin(int scriptLine) const {
    if (scriptLine < 1 || lines.isEmpty())
        return {};
    return lines.value(scriptLine - 1, lines.last());
}

AspTranslator::AspTranslator(QString siteRoot) : m_root(QDir::cleanPath(std::move(siteRoot))) {}

TranslatedPage AspTranslator::translate(const QString& pagePath) const {
    TranslatedPage page;
    page.serial = g_nextSerial.fetch_add(1);
    const QString path = QDir::cleanPath(pagePath);
    Expander expander(m_root, page);
    if (!expander.expand(path, path.mid(m_root.size()), 0))
        return page;

    const QString& source = expander.text;
    ScriptWriter out(expander);
    out.begin(0);
    out.raw(u"(function () { ");
    static const QRegularExpression serverScript(
        QStringLiteral(R"re(<script\b([^>]*)\brunat\s*=\s*["']?server["']?([^>]*)>)re"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression scriptEnd(QStringLiteral("</script\\s*>"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral(R"re((\w+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"']+)))re"));
    static const QRegularExpression language(QStringLiteral(R"re(\blanguage\s*=\s*["']?(\w+))re"),
                                             QRegularExpression::CaseInsensitiveOption);

    const auto fail = [&](const QString& code, const QString& description, qsizetype position) {
        page.errorCode = code;
        page.errorText = description;
        page.errorAt = out.originAt(position);
        return page;
    };
    const auto isJScript = [](const QString& name) {
        return name.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0 ||
               name.compare(QLatin1String("JavaScript"), Qt::CaseInsensitive) == 0 ||
               name.compare(QLatin1String("ECMAScript"), Qt::CaseInsensitive) == 0;
    };

    std::vector<ScriptBlock> blocks;
    bool anythingBefore = false;
    qsizetype at = 0;
    while (at < source.size()) {
        const qsizetype open = source.indexOf(QLatin1String("<%"), at);
        const QRegularExpressionMatch tag = serverScript.match(source, at);
        const qsizetype tagAt = tag.hasMatch() ? tag.capturedStart() : -1;
        qsizetype next = open;
        if (tagAt >= 0 && (open < 0 || tagAt < open))
            next = tagAt;
        const qsizetype literalEnd = next < 0 ? source.size() : next;
        if (literalEnd > at) {
            const QStringView literal = QStringView(source).mid(at, literalEnd - at);
            if (!literal.trimmed().isEmpty())
                anythingBefore = true;
            out.raw(u"Response.Write(");
            out.raw(jsString(literal));
            out.raw(u"); ");
        }
        if (next < 0)
            break;
        if (next == tagAt && tagAt != open) {
            const QString attributes = tag.captured(1) + QLatin1Char(' ') + tag.captured(2);
            const QRegularExpressionMatch lang = language.match(attributes);
            if (lang.hasMatch() && !isJScript(lang.captured(1)))
                return fail(QStringLiteral("ASP 0129"),
                            QStringLiteral("The scripting language '%1' is not supported: the "
                                           "preview runs JScript pages only.")
                                .arg(lang.captured(1)),
                            tagAt);
            const QRegularExpressionMatch end = scriptEnd.match(source, tag.capturedEnd());
            if (!end.hasMatch())
                return fail(QStringLiteral("ASP 0124"),
                            QStringLiteral("The <SCRIPT RUNAT=Server> block lacks its closing "
                                           "</SCRIPT> tag."),
                            tagAt);
            blocks.push_back(
                {source.mid(tag.capturedEnd(), end.capturedStart() - tag.capturedEnd()),
                 tag.capturedEnd()});
            anythingBefore = true;
            at = end.capturedEnd();
            continue;
        }
        const qsizetype close = source.indexOf(QLatin1String("%>"), open + 2);
        if (close < 0)
            return fail(QStringLiteral("ASP 0116"),
                        QStringLiteral("The script block lacks the close of script tag (%>)."),
                        open);
        const QString body = source.mid(open + 2, close - open - 2);
        const QString trimmed = body.trimmed();
        if (trimmed.startsWith(QLatin1Char('@'))) {
            if (anythingBefore)
                return fail(QStringLiteral("ASP 0140"),
                            QStringLiteral("The @ command must be the first command within the "
                                           "Active Server Page."),
                            open);
            auto attributes = attribute.globalMatch(trimmed.mid(1));
            while (attributes.hasNext()) {
                const QRegularExpressionMatch a = attributes.next();
                const QString name = a.captured(1).toUpper();
                QString value = a.captured(2);
                if (value.isEmpty())
                    value = a.captured(3);
                if (value.isEmpty())
                    value = a.captured(4);
                if (name == QLatin1String("LANGUAGE") && !isJScript(value))
                    return fail(QStringLiteral("ASP 0129"),
                                QStringLiteral("The scripting language '%1' is not supported: "
                                               "the preview runs JScript pages only.")
                                    .arg(value),
                                open);
                if (name == QLatin1String("CODEPAGE"))
                    page.codePage = value.toInt();
                if (name == QLatin1String("ENABLESESSIONSTATE"))
                    page.sessionState =
                        value.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
            }
            anythingBefore = true;
        } else if (body.startsWith(QLatin1Char('='))) {
            out.raw(u"Response.Write(");
            out.code(rewriteCallAssignments(body.mid(1)), open + 3);
            out.raw(u"); ");
            anythingBefore = true;
        } else {
            out.code(rewriteCallAssignments(body), open + 2);
            out.newline(close);
            anythingBefore = true;
        }
        at = close + 2;
    }
    // Script blocks in the page's own language run after its inline code, as on
    // the server; their functions are declared before either runs.
    for (const ScriptBlock& block : blocks) {
        out.newline(block.position);
        out.code(rewriteCallAssignments(block.code), block.position);
    }
    out.newline(source.size());
    out.raw(u"})");
    page.script = std::move(out.script);
    page.lines = std::move(out.lines);
    return page;
}

QString AspTranslator::rewriteCallAssignments(const QString& code) {
    static const QStringList regexAfterWords = {
        QStringLiteral("return"), QStringLiteral("typeof"), QStringLiteral("instanceof"),
        QStringLiteral("in"),     QStringLiteral("new"),    QStringLiteral("delete"),
        QStringLiteral("void"),   QStringLiteral("throw"),  QStringLiteral("case"),
        QStringLiteral("do"),     QStringLiteral("else")};
    static const QStringList notCallWords = {
        QStringLiteral("if"),     QStringLiteral("while"),  QStringLiteral("for"),
        QStringLiteral("switch"), QStringLiteral("catch"),  QStringLiteral("function"),
        QStringLiteral("with"),   QStringLiteral("return"), QStringLiteral("typeof"),
        QStringLiteral("in"),     QStringLiteral("void"),   QStringLiteral("delete"),
        QStringLiteral("case"),   QStringLiteral("throw"),  QStringLiteral("new")};
    QString out = code;
    struct Open {
        qsizetype position;
        bool call;
    };
    std::vector<Open> opens;
    QChar previous;     // the last significant character
    QString word;       // the last word, when it was the last token
    QString wordBefore; // the word before it
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = code[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            ++i;
            while (i < n && code[i] != c && code[i] != QLatin1Char('\n')) {
                if (code[i] == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
            ++i;
            previous = c;
            word.clear();
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && code[i + 1] == QLatin1Char('/')) {
            while (i < n && code[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && code[i + 1] == QLatin1Char('*')) {
            const qsizetype end = code.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        if (c == QLatin1Char('/')) {
            const bool regex = previous.isNull() ||
                               QStringLiteral("(,=:[!&|?{};+-*%<>~^").contains(previous) ||
                               (!word.isEmpty() && regexAfterWords.contains(word));
            if (regex) {
                ++i;
                bool inClass = false;
                while (i < n && code[i] != QLatin1Char('\n')) {
                    if (code[i] == QLatin1Char('\\')) {
                        i += 2;
                        continue;
                    }
                    if (code[i] == QLatin1Char('['))
                        inClass = true;
                    else if (code[i] == QLatin1Char(']'))
                        inClass = false;
                    else if (code[i] == QLatin1Char('/') && !inClass)
                        break;
                    ++i;
                }
                ++i;
                while (i < n && isWordChar(code[i]))
                    ++i;
                previous = QLatin1Char('/');
                word.clear();
                continue;
            }
        }
        if (isWordChar(c)) {
            const qsizetype start = i;
            while (i < n && isWordChar(code[i]))
                ++i;
            wordBefore = word;
            word = code.mid(start, i - start);
            previous = code[i - 1];
            continue;
        }
        if (c == QLatin1Char('(')) {
            bool call = false;
            if (!word.isEmpty())
                call = !notCallWords.contains(word) && wordBefore != QLatin1String("function") &&
                       !word[0].isDigit();
            else
                call = previous == QLatin1Char(')') || previous == QLatin1Char(']');
            opens.push_back({i, call});
        } else if (c == QLatin1Char(')') && !opens.empty()) {
            const Open open = opens.back();
            opens.pop_back();
            qsizetype j = i + 1;
            while (j < n && (code[j] == QLatin1Char(' ') || code[j] == QLatin1Char('\t')))
                ++j;
            if (open.call && j < n && code[j] == QLatin1Char('=') &&
                (j + 1 >= n || code[j + 1] != QLatin1Char('='))) {
                out[open.position] = QLatin1Char('[');
                out[i] = QLatin1Char(']');
            }
        }
        previous = c;
        wordBefore.clear();
        word.clear();
        ++i;
    }
    return out;
}

} // namespace ordwick::preview
