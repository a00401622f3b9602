// The preview's request data: any query string, form body and cookie header
// reads; a request path that is taken stays inside the site; pairs encoded as a browser sends them
// read back; a request target is its path and its query; a stored date reads back as written.
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "preview/datevalues.h"
#include "preview/requestdata.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "request_data";

void formRoundTrip(InputReader& in) {
    QList<QPair<QString, QString>> pairs;
    QByteArray body;
    for (int count = in.byte() % 5; count > 0; --count) {
        const QString name = in.text(16);
        const QString value = in.text(32);
        pairs.append({name, value});
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    const auto read = preview::parseFormText(body);
    require(read == pairs, kTarget, [&] {
        return QStringLiteral("the form body \"%1\" reads otherwise")
            .arg(QString::fromLatin1(body));
    });
}

void dateRoundTrip(const QString& text) {
    const QDateTime when = preview::parseStoredDate(text);
    if (!when.isValid())
        return;
    const QString stored = preview::storedDateText(when);
    const QDateTime again = preview::parseStoredDate(stored);
    QDateTime whole = when;
    whole.setTime(QTime(when.time().hour(), when.time().minute(), when.time().second()));
    require(again == whole, kTarget, [&] {
        return QStringLiteral("date \"%1\" is stored as \"%2\", which reads as %3")
            .arg(text, stored, again.toString(Qt::ISODateWithMs));
    });
}

// A path taken stays inside the site's folder and names no hidden file.
void requirePathInside(const QByteArray& target) {
    QString path;
    if (preview::decodeRequestPath(target, path) != 0)
        return;
    const QString root = QStringLiteral("/srv/site");
    const QString file = QDir::cleanPath(root + path);
    require(file == root || file.startsWith(root + u'/'), kTarget, [&] {
        return QStringLiteral("the request path \"%1\" reaches %2")
            .arg(QString::fromLatin1(target), file);
    });
    for (const QString& segment : path.split(u'/'))
        require(!segment.startsWith(u'.') && !segment.contains(u'\\') && !segment.contains(u':') &&
                    !segment.contains(QChar(u'\0')),
                kTarget, [&] {
                    return QStringLiteral("the request path \"%1\" is taken as \"%2\"")
                        .arg(QString::fromLatin1(target), path);
                });
}

} // namespace

void requestData(const QByteArray& data) {
    const auto form = preview::parseFormText(data);
    // A "%" that starts no escape is text like any other.
    static const QRegularExpression escape(QStringLiteral("%[0-9A-Fa-f]{2}"));
    if (!data.isEmpty() && !data.contains('&') && !data.contains('=') && !data.contains('+') &&
        !escape.match(QString::fromLatin1(data)).hasMatch())
        require(form.size() == 1 && form.front().first == preview::decodeText(data), kTarget, [&] {
            return QStringLiteral("the form text \"%1\" reads as \"%2\"")
                .arg(QString::fromLatin1(data), form.value(0).first);
        });
    require(form.size() <= data.count('&') + 1, kTarget,
            [&] { return QStringLiteral("more pairs than parts"); });
    const auto cookies = preview::parseCookieHeader(data);
    for (const auto& [name, value] : cookies)
        require(!name.isEmpty(), kTarget,
                [&] { return QStringLiteral("a cookie without a name"); });

    preview::HttpRequest request;
    request.target = data;
    const QByteArray query = request.rawQuery();
    const QByteArray joined =
        data.contains('?') ? request.rawPath() + '?' + query : request.rawPath();
    require(joined == data, kTarget,
            [&] { return QStringLiteral("path and query are not the target"); });

    requirePathInside(request.rawPath());
    dateRoundTrip(QString::fromUtf8(data));
    InputReader in(data);
    formRoundTrip(in);
}

} // namespace ordwick::fuzz
