// The preview's request data: any query string, form body and cookie header
// reads; pairs encoded as a browser sends them read back; a request target is
// its path and its query; a stored date reads back as written.
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "preview/datevalues.h"
#include "preview/requestdata.h"

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

} // namespace

void requestData(const QByteArray& data) {
    const auto form = preview::parseFormText(data);
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

    dateRoundTrip(QString::fromUtf8(data));
    InputReader in(data);
    formRoundTrip(in);
}

} // namespace ordwick::fuzz
