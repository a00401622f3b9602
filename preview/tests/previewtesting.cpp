#include "previewtesting.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrl>

namespace previewtest {

namespace {

QString yes(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString columnText(const Column& c, int position) {
    const QStringList fields = {QString::number(c.dataType),
                                QString::number(position),
                                c.name,
                                yes(false),
                                yes(false),
                                yes(false),
                                QStringLiteral("0"),
                                c.name,
                                yes(false),
                                yes(false),
                                yes(false),
                                QStringLiteral("0"),
                                yes(true),
                                yes(true),
                                yes(c.required),
                                yes(true),
                                yes(true),
                                QStringLiteral("30"),
                                QStringLiteral("60"),
                                QString(),
                                QString::number(c.editType),
                                QString::number(c.validation),
                                c.details,
                                QStringLiteral("0")};
    return fields.join(QLatin1Char(';')) + QLatin1Char(';');
}

// The body of a chunked answer, and how many chunks it came in.
QByteArray unchunked(const QByteArray& raw, int& chunks) {
    QByteArray body;
    chunks = 0;
    qsizetype at = 0;
    for (;;) {
        const qsizetype lineEnd = raw.indexOf("\r\n", at);
        if (lineEnd < 0)
            break;
        bool ok = false;
        const qsizetype size = raw.mid(at, lineEnd - at).trimmed().toLongLong(&ok, 16);
        if (!ok || size == 0)
            break;
        body += raw.mid(lineEnd + 2, size);
        ++chunks;
        at = lineEnd + 2 + size + 2;
    }
    return body;
}

} // namespace

QString generateSite(const QString& generator, const QString& templateDir,
                     const QString& projectFile, const SiteRecipe& recipe) {
    QString text = QStringLiteral("[Configuration]\n");
    const auto set = [&](const char* key, const QString& value) {
        text += QString::fromLatin1(key) + QLatin1Char('=') + value + QLatin1Char('\n');
    };
    set("DatasourceStatus", QString::number(recipe.datasourceStatus));
    set("DatasourceType", QString::number(recipe.datasourceType));
    set("DatabaseName", recipe.databaseName);
    set("TableName", recipe.table);
    set("DBLogin", QString());
    set("DBPassword", QString());
    set("ConnectionString", recipe.connectionString);
    set("SQLWhereString", QString());
    set("EnableAppend", yes(true));
    set("EditAs", yes(true));
    set("EnableDelete", yes(true));
    set("SimpleSearch", yes(true));
    set("AdvancedSearch", yes(true));
    set("InitialSort", yes(recipe.sorting));
    set("PageSupport", yes(true));
    set("LoginPage", yes(recipe.login));
    set("SelectedTemplate", QStringLiteral("no template"));
    set("PrinterFriendlyVersion", yes(true));
    set("ExportOption", yes(true));
    set("RecordsPerPage", yes(true));
    set("RecordsPerPageID", QStringLiteral("2"));
    set("SortColumnBy", yes(false));
    set("SortColumnID", QString());
    set("ShowMoreLink", yes(false));
    set("ShowMoreLinkID", QStringLiteral("80"));
    set("DynamicStaticLogin", yes(false));
    set("CodeLoginName", recipe.loginName);
    set("CodeLoginPassword", recipe.loginPassword);
    set("DynamicTable", QString());
    set("DynamicLoginName", QString());
    set("DynamicLoginPassword", QString());
    set("DestinationPath", recipe.destination);
    set("CopyDatabase", yes(recipe.copyDatabase));
    text += QStringLiteral("[UniqueKey]\n");
    for (qsizetype i = 0; i < recipe.uniqueKey.size(); ++i)
        text +=
            QString::number(i + 1) + QLatin1Char('=') + recipe.uniqueKey.at(i) + QLatin1Char('\n');
    text += QStringLiteral("[Columns]\n");
    for (qsizetype i = 0; i < recipe.columns.size(); ++i)
        text += recipe.columns.at(i).name + QLatin1Char('=') +
                columnText(recipe.columns.at(i), static_cast<int>(i + 1)) + QLatin1Char('\n');
    QFile file(projectFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("cannot write %1").arg(projectFile);
    file.write(text.toUtf8());
    file.close();

    QProcess process;
    process.start(generator, {projectFile, QStringLiteral("--app-dir"), templateDir});
    if (!process.waitForFinished(60000))
        return QStringLiteral("ordwick-generate did not finish");
    if (process.exitCode() != 0)
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return {};
}

QByteArray Reply::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QList<QByteArray> Reply::headerValues(const QByteArray& name) const {
    QList<QByteArray> values;
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

Reply rawExchange(quint16 port, const QByteArray& bytes, int timeoutMs) {
    Reply reply;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(timeoutMs)) {
        reply.closedWithoutAnswer = true;
        return reply;
    }
    socket.write(bytes);
    socket.waitForBytesWritten(timeoutMs);
    // Read until the server closes or one whole answer is in, whichever is first:
    // a server keeping the connection open answers a request without
    // "Connection: close" too.
    const bool head = bytes.startsWith("HEAD ");
    const auto complete = [head](const QByteArray& data) {
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        if (head)
            return true;
        static const QRegularExpression length(QStringLiteral("\r\ncontent-length: *(\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression chunked(QStringLiteral("\r\ntransfer-encoding: *chunked"),
                                                QRegularExpression::CaseInsensitiveOption);
        const QString headText = QString::fromLatin1(data.left(end + 2));
        if (chunked.match(headText).hasMatch())
            return data.endsWith("\r\n0\r\n\r\n");
        const QRegularExpressionMatch m = length.match(headText);
        return m.hasMatch() && data.size() - end - 4 >= m.captured(1).toLongLong();
    };
    QByteArray data;
    while (!complete(data) && socket.state() == QAbstractSocket::ConnectedState &&
           socket.waitForReadyRead(timeoutMs))
        data += socket.readAll();
    data += socket.readAll();
    return parseAnswer(data);
}

Reply parseAnswer(const QByteArray& data) {
    Reply reply;
    const qsizetype split = data.indexOf("\r\n\r\n");
    if (!data.startsWith("HTTP/1.1 ") || split < 0) {
        reply.closedWithoutAnswer = true;
        return reply;
    }
    const QList<QByteArray> lines = data.left(split).split('\n');
    reply.status = lines.first().mid(9, 3).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            reply.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    reply.body = data.mid(split + 4);
    if (reply.header("Transfer-Encoding").compare("chunked", Qt::CaseInsensitive) == 0)
        reply.body = unchunked(reply.body, reply.chunks);
    return reply;
}

Reply Browser::get(const QString& target, const QList<QPair<QByteArray, QByteArray>>& extra) {
    return send("GET", target, extra, {});
}

Reply Browser::post(const QString& target, const QList<QPair<QString, QString>>& fields) {
    QByteArray body;
    for (const auto& [name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return postRaw(target, "application/x-www-form-urlencoded", body);
}

Reply Browser::postRaw(const QString& target, const QByteArray& contentType,
                       const QByteArray& body) {
    return send("POST", target, {{"Content-Type", contentType}}, body);
}

Reply Browser::send(const QByteArray& method, const QString& target,
                    const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& body) {
    QByteArray request = method + ' ' + target.toUtf8() +
                         " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
                         "\r\nConnection: close\r\n";
    for (const auto& [name, value] : headers)
        request += name + ": " + value + "\r\n";
    if (!m_cookies.isEmpty()) {
        QByteArray line;
        for (auto it = m_cookies.cbegin(); it != m_cookies.cend(); ++it)
            line += (line.isEmpty() ? "" : "; ") + it.key() + '=' + it.value();
        request += "Cookie: " + line + "\r\n";
    }
    if (method == "POST")
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "\r\n" + body;
    Reply reply = rawExchange(m_port, request);
    for (const QByteArray& cookie : reply.headerValues("Set-Cookie")) {
        const QByteArray pair = cookie.split(';').first();
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0)
            m_cookies.insert(pair.left(equals), pair.mid(equals + 1));
    }
    return reply;
}

QString hiddenValue(const QString& html, const QString& name) {
    const QRegularExpression input(
        QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"([^\"]*)\"")
            .arg(QRegularExpression::escape(name)));
    const QRegularExpressionMatch m = input.match(html);
    return m.hasMatch() ? m.captured(1) : QString();
}

SiteRecipe customersRecipe(const QString& database, const QString& destination) {
    SiteRecipe recipe;
    recipe.databaseName = database;
    recipe.connectionString = QStringLiteral("Driver={SQLite3}; Database=") + database;
    recipe.table = QStringLiteral("Customers");
    recipe.destination = destination;
    recipe.uniqueKey = {QStringLiteral("CustomerID")};
    recipe.columns = {{QStringLiteral("CustomerID"), 1, 9, 0, false, {}},
                      {QStringLiteral("CompanyName"), 4, 1, 0, true, {}},
                      {QStringLiteral("ContactName"), 4, 1, 0, false, {}},
                      {QStringLiteral("CountryCode"), 4, 1, 0, true, {}},
                      {QStringLiteral("CreditLimit"), 7, 1, 2, false, {}},
                      {QStringLiteral("CreatedAt"), 8, 7, 0, true, QStringLiteral("0")}};
    return recipe;
}

} // namespace previewtest
