#include "preview/requestdata.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

namespace ordwick::preview {

QByteArray HttpRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QByteArray HttpRequest::rawPath() const {
    const qsizetype question = target.indexOf('?');
    return question < 0 ? target : target.left(question);
}

QByteArray HttpRequest::rawQuery() const {
    const qsizetype question = target.indexOf('?');
    return question < 0 ? QByteArray() : target.mid(question + 1);
}

void HttpResponse::setHeader(const QByteArray& name, const QByteArray& value) {
    for (auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0) {
            header.second = value;
            return;
        }
    }
    headers.append({name, value});
}

QString decodeText(const QByteArray& bytes) {
    // Stateless, so that bytes ending inside a UTF-8 sequence ("caf\xE9" from
    // a Windows-1252 form) are no UTF-8 rather than cut short; a leading byte
    // order mark is a character sent like any other.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// %XX escapes decoded; a "%" without two hex digits after it stays as it is,
// as IIS leaves it (QByteArray::fromPercentEncoding would decode "%" and any
// two characters after it into some byte).
QByteArray percentDecoded(const QByteArray& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int high = text.at(i) == '%' && i + 2 < text.size() ? hexValue(text.at(i + 1)) : -1;
        const int low = high >= 0 ? hexValue(text.at(i + 2)) : -1;
        if (low >= 0) {
            bytes.append(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            bytes.append(text.at(i));
        }
    }
    return bytes;
}

} // namespace

QList<QPair<QString, QString>> parseFormText(const QByteArray& text) {
    QList<QPair<QString, QString>> pairs;
    for (const QByteArray& part : text.split('&')) {
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        QByteArray name = equals < 0 ? part : part.left(equals);
        QByteArray value = equals < 0 ? QByteArray() : part.mid(equals + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        pairs.append({decodeText(percentDecoded(name)), decodeText(percentDecoded(value))});
    }
    return pairs;
}

QList<QPair<QString, QString>> parseCookieHeader(const QByteArray& header) {
    QList<QPair<QString, QString>> cookies;
    for (const QByteArray& part : header.split(';')) {
        const QByteArray trimmed = part.trimmed();
        const qsizetype equals = trimmed.indexOf('=');
        if (equals <= 0)
            continue;
        cookies.append({decodeText(trimmed.left(equals)), decodeText(trimmed.mid(equals + 1))});
    }
    return cookies;
}

int decodeRequestPath(const QByteArray& raw, QString& sitePath) {
    if (!raw.startsWith('/') || raw.startsWith("//"))
        return 400;
    static const QRegularExpression encodedSeparators(QStringLiteral("%(2[eEfF]|5[cC]|25|00)"));
    const QString rawText = QString::fromLatin1(raw);
    if (encodedSeparators.match(rawText).hasMatch())
        return 400;
    for (const char c : raw) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '\\')
            return 400;
    }
    // QByteArray::fromPercentEncoding decodes "%" and any two characters, so
    // "%%c" would become a backslash; an escape is two hex digits or refused.
    static const QRegularExpression badEscape(QStringLiteral("%(?![0-9A-Fa-f]{2})"));
    if (badEscape.match(rawText).hasMatch())
        return 400;
    const QByteArray bytes = QByteArray::fromPercentEncoding(raw);
    if (bytes.contains('\0'))
        return 400;
    const QString path = decodeText(bytes);
    const QStringList segments = path.split(QLatin1Char('/'));
    for (qsizetype i = 1; i < segments.size(); ++i) {
        const QString& s = segments.at(i);
        if (s == QLatin1String("..") || s == QLatin1String(".") || s.contains(QLatin1Char(':')))
            return 400;
        if (s.isEmpty() && i + 1 < segments.size())
            return 400;
        if (s.startsWith(QLatin1Char('.')))
            return 404;
    }
    sitePath = path;
    return 0;
}

} // namespace ordwick::preview
