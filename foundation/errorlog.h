#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace ordwick {

// The error log "err.txt": one line per report, and one line per source and
// minute for repeated reports, which raise the line's occurrence count.
class ErrorLog {
public:
    using Clock = std::function<QDateTime()>;

    // Folders are tried in order; the first one the log can be written into wins.
    explicit ErrorLog(QStringList folders, Clock clock = &QDateTime::currentDateTime);

    // Logs a record (source, description and number already joined by "|").
    // Returns the log file written, or the empty text when no folder could take it.
    // Never throws: a log that cannot be written must not keep a report from the user.
    QString LogError(const QString& record) const noexcept;

    // The lines of a log, or nothing when the file is missing or holds only blanks.
    static std::optional<QStringList> ReadErrorLog(const QString& path);
    // Replaces the file by the lines and, when not empty, the extra line.
    static bool WriteErrorLog(const QString& path, const QStringList& lines, const QString& extra);

    static QString fileName() { return QStringLiteral("err.txt"); }
    static QString productId() { return QStringLiteral("5QWT8RX"); }
    static QString timeStamp(const QDateTime& when);
    // The line that replaces an earlier report of the same source and minute.
    static QString repeatedLine(const QString& oldLine, const QString& newLine);

private:
    bool logInto(const QString& path, const QString& line) const;

    QStringList m_folders;
    Clock m_clock;
};

} // namespace ordwick
