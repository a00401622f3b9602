#include "engine/textcode.h"

namespace ordwick::engine {

namespace {

void appendHex4(QString& out, char16_t unit) {
    static const char digits[] = "0123456789abcdef";
    out += QLatin1String("\\u");
    for (int shift = 12; shift >= 0; shift -= 4)
        out += QLatin1Char(digits[(unit >> shift) & 0xF]);
}

// Appends the character starting at `i` as a reference and returns how many
// UTF-16 units it used.
qsizetype appendReference(QString& out, const QString& text, qsizetype i) {
    char32_t code = text.at(i).unicode();
    qsizetype used = 1;
    if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text.at(i).unicode(), text.at(i + 1).unicode());
        used = 2;
    } else if (QChar::isSurrogate(code)) {
        code = 0xFFFD; // a lone half of a pair has no character to stand for
    }
    out += QLatin1String("&#") + QString::number(static_cast<uint>(code)) + QLatin1Char(';');
    return used;
}

} // namespace

QString jsString(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case u'<':
            out += QLatin1String("\\x3c");
            break;
        case u'>':
            out += QLatin1String("\\x3e");
            break;
        default:
            if (c < 0x20 || c >= 0x7F)
                appendHex4(out, c);
            else
                out += ch;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString htmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&#39;");
            break;
        default:
            if (c >= 0x7F || (c < 0x20 && c != u'\n' && c != u'\t')) {
                i += appendReference(out, text, i);
                continue;
            }
            out += QChar(c);
        }
        ++i;
    }
    return out;
}

QString asciiMarkup(const QString& markup) {
    QString out;
    out.reserve(markup.size());
    for (qsizetype i = 0; i < markup.size();) {
        const char16_t c = markup.at(i).unicode();
        if (c == u'<' && i + 1 < markup.size() && markup.at(i + 1) == QLatin1Char('%')) {
            out += QLatin1String("&lt;");
            ++i;
            continue;
        }
        if (c >= 0x7F || (c < 0x20 && c != u'\n' && c != u'\r' && c != u'\t')) {
            i += appendReference(out, markup, i);
            continue;
        }
        out += QChar(c);
        ++i;
    }
    return out;
}

QString urlPath(const QString& fileName) {
    return QString::fromLatin1(fileName.toUtf8().toPercentEncoding("/._-~"));
}

} // namespace ordwick::engine
