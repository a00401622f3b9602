#include "foundation/errorlog.h"

#include "foundation/atomicfile.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace ordwick {

namespace {

const QString kFieldSeparator = QStringLiteral("|");

bool sameSourceAndMinute(const QString& a, const QString& b) {
    const QStringList left = a.split(kFieldSeparator);
    const QStringList right = b.split(kFieldSeparator);
    if (left.size() < 3 || right.size() < 3)
        return false;
    return left.at(1).compare(right.at(1), Qt::CaseInsensitive) == 0 &&
           left.at(2).compare(right.at(2), Qt::CaseInsensitive) == 0;
}

} // namespace

ErrorLog::ErrorLog(QStringList folders, Clock clock)
    : m_folders(std::move(folders)), m_clock(std::move(clock)) {}

QString ErrorLog::timeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString ErrorLog::repeatedLine(const QString& oldLine, const QString& newLine) {
    // A description may itself hold "|", so the trailing fields are counted from
    // the end: ... | number | count | flag.
    const QStringList oldFields = oldLine.split(kFieldSeparator);
    bool ok = false;
    const qint64 count =
        oldFields.size() >= 7 ? oldFields.at(oldFields.size() - 2).toLongLong(&ok) : 0;
    QStringList fields = newLine.split(kFieldSeparator);
    fields[1] = oldFields.at(1);
    fields[2] = oldFields.at(2);
    fields[fields.size() - 2] = QString::number(ok && count > 0 ? count + 1 : 2);
    return fields.join(kFieldSeparator);
}

std::optional<QStringList> ErrorLog::ReadErrorLog(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = decodeText(file.readAll());
    if (text.trimmed().isEmpty())
        return std::nullopt;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

bool ErrorLog::WriteErrorLog(const QString& path, const QStringList& lines, const QString& extra) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    if (!extra.isEmpty())
        bytes += extra.toUtf8() + "\r\n";
    try {
        writeFileAtomically(path, bytes);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

QString ErrorLog::LogError(const QString& record) const noexcept {
    try {
        const QString line = productId() + kFieldSeparator + timeStamp(m_clock()) +
                             kFieldSeparator + record + QStringLiteral("|1|N");
        for (const QString& folder : m_folders) {
            const QString path = QDir(folder).filePath(fileName());
            if (logInto(path, line))
                return path;
        }
    } catch (...) {
        // Logging is best effort; the report itself still reaches the user.
    }
    return {};
}

bool ErrorLog::logInto(const QString& path, const QString& line) const {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // A log that is there but cannot be read is left alone: writing it anew
    // would lose its lines. The next folder takes the report instead.
    if (QFileInfo(path).isFile() && !QFile(path).open(QIODevice::ReadOnly))
        return false;
    std::optional<QStringList> lines = ReadErrorLog(path);
    if (!lines)
        return WriteErrorLog(path, {}, line);
    for (QString& existing : *lines) {
        if (sameSourceAndMinute(existing, line)) {
            existing = repeatedLine(existing, line);
            return WriteErrorLog(path, *lines, {});
        }
    }
    return WriteErrorLog(path, *lines, line);
}

} // namespace ordwick
