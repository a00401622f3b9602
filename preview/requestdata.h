// A request and its answer as the site sees them, free of the HTTP library.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>

namespace ordwick::preview {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct HttpRequest {
    QByteArray method;
    QByteArray target; // as sent: path and query, still encoded
    QByteArray version;
    HeaderList headers;
    QByteArray body;
    QString remoteAddress;
    int remotePort = 0;
    int localPort = 0;

    QByteArray header(const QByteArray& name) const;
    QByteArray rawPath() const;
    QByteArray rawQuery() const;
};

class BodyStream;

struct HttpResponse {
    int status = 200;
    HeaderList headers;
    QByteArray body;
    // The rest of the body, when the page sent its head before it was done.
    std::shared_ptr<BodyStream> rest;

    void setHeader(const QByteArray& name, const QByteArray& value);
};

// name=value pairs of a query string or form body, decoded ("+" a blank);
// UTF-8 when the bytes are UTF-8, Windows-1252 otherwise.
QList<QPair<QString, QString>> parseFormText(const QByteArray& text);

// The cookies of a Cookie header, their values as sent.
QList<QPair<QString, QString>> parseCookieHeader(const QByteArray& header);

// The path of a request target as a site path ("/include/style.css"), or the
// status that refuses it: 400 for anything encoded that could change the
// path's meaning, "..", absolute and drive paths and control characters; 404
// for hidden names. 0 when the path is taken.
int decodeRequestPath(const QByteArray& raw, QString& sitePath);

// Text of bytes: UTF-8 when valid, Latin-1 otherwise.
QString decodeText(const QByteArray& bytes);

} // namespace ordwick::preview
