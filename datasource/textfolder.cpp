#include "datasource/connections.h"
#include "datasource/schemamirror.h"
#include "datasource/tablefolder.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <limits>

namespace ordwick {

namespace {

// Column types come from the header row and this many rows below it.
constexpr int kSampledRows = 1000;

using Record = std::vector<QByteArray>;

// Reads delimited records: a field in double quotes may hold the delimiter,
// line breaks and doubled quotes; a quote inside an unquoted field is text.
// Lines end in CR LF, LF or CR. Blank lines are skipped.
class RecordReader {
public:
    RecordReader(QIODevice& in, char delimiter) : m_in(in), m_delimiter(delimiter) {}

    // Up to `limit` records; decode() then turns their fields into text.
    std::vector<Record> read(int limit) {
        std::vector<Record> records;
        bool first = true;
        while (static_cast<int>(records.size()) < limit) {
            const QByteArray chunk = m_in.read(64 * 1024);
            if (chunk.isEmpty())
                break;
            qsizetype i = 0;
            if (first && chunk.startsWith("\xEF\xBB\xBF")) {
                i = 3;
                m_bom = true;
            }
            first = false;
            for (; i < chunk.size(); ++i) {
                if (consume(chunk.at(i), records) && static_cast<int>(records.size()) == limit) {
                    m_seen.append(chunk.left(i + 1));
                    settleEncoding();
                    return records;
                }
            }
            m_seen.append(chunk);
        }
        if (!m_field.isEmpty() || !m_record.empty() || m_quotedField)
            endRecord(records);
        settleEncoding();
        return records;
    }

    QString decode(const QByteArray& field) const {
        return m_utf8 ? QString::fromUtf8(field) : decodeWindows1252(field);
    }

private:
    // UTF-8 unless the bytes read are not valid UTF-8; then Windows-1252.
    // Every delimiter, quote and line break is the same byte in both.
    void settleEncoding() {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(m_seen);
        m_utf8 = m_bom || !utf8.hasError();
        m_seen.clear();
    }

    // True when the byte ended a record.
    bool consume(char byte, std::vector<Record>& records) {
        const bool afterCarriageReturn = m_afterCarriageReturn;
        m_afterCarriageReturn = false;
        if (m_inQuotes) {
            if (byte == '"') {
                m_inQuotes = false;
                m_afterClosingQuote = true;
            } else {
                m_field.append(byte);
            }
            return false;
        }
        if (m_afterClosingQuote && byte == '"') {
            m_field.append('"');
            m_inQuotes = true;
            m_afterClosingQuote = false;
            return false;
        }
        m_afterClosingQuote = false;
        if (byte == '"' && m_field.isEmpty() && !m_quotedField) {
            m_inQuotes = true;
            m_quotedField = true;
            return false;
        }
        if (byte == m_delimiter) {
            m_record.push_back(m_field);
            m_field.clear();
            m_quotedField = false;
            return false;
        }
        if (byte == '\n' && afterCarriageReturn)
            return false;
        if (byte == '\n' || byte == '\r') {
            m_afterCarriageReturn = byte == '\r';
            return endRecord(records);
        }
        m_field.append(byte);
        return false;
    }

    bool endRecord(std::vector<Record>& records) {
        const bool blank = m_record.empty() && m_field.isEmpty() && !m_quotedField;
        m_record.push_back(m_field);
        m_field.clear();
        m_quotedField = false;
        m_inQuotes = false;
        m_afterClosingQuote = false;
        if (blank) {
            m_record.clear();
            return false;
        }
        records.push_back(std::move(m_record));
        m_record.clear();
        return true;
    }

    QIODevice& m_in;
    char m_delimiter;
    Record m_record;
    QByteArray m_field;
    QByteArray m_seen;
    bool m_bom = false;
    bool m_inQuotes = false;
    bool m_quotedField = false;
    bool m_afterClosingQuote = false;
    bool m_afterCarriageReturn = false;
    bool m_utf8 = true;
};

enum class DateKind { None, Date, DateTime };

bool validDayMonth(int day, int month, int year) {
    return QDate(year, month, day).isValid();
}

// ISO (yyyy-mm-dd) or day and month either way round (dd/mm/yyyy,
// mm/dd/yyyy), optionally followed by a time of day.
DateKind dateKind(const QString& value) {
    static const QRegularExpression pattern(QStringLiteral(
        "^(?:(\\d{4})-(\\d{1,2})-(\\d{1,2})|(\\d{1,2})/(\\d{1,2})/(\\d{4}))"
        "(?:(?:T|\\s+)\\d{1,2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?(?:\\s*[AaPp][Mm])?)?$"));
    const QRegularExpressionMatch match = pattern.match(value);
    if (!match.hasMatch())
        return DateKind::None;
    bool valid = false;
    if (match.capturedLength(1) > 0) {
        valid =
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt())
                .isValid();
    } else {
        const int first = match.captured(4).toInt();
        const int second = match.captured(5).toInt();
        const int year = match.captured(6).toInt();
        valid = validDayMonth(first, second, year) || validDayMonth(second, first, year);
    }
    if (!valid)
        return DateKind::None;
    return match.capturedEnd(0) > std::max(match.capturedEnd(3), match.capturedEnd(6))
               ? DateKind::DateTime
               : DateKind::Date;
}

bool isWholeNumber(const QString& value) {
    static const QRegularExpression pattern(QStringLiteral("^[+-]?\\d+$"));
    if (!pattern.match(value).hasMatch())
        return false;
    bool ok = false;
    value.toInt(&ok);
    return ok;
}

bool isNumber(const QString& value) {
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?$"));
    return pattern.match(value).hasMatch();
}

// A column's type from its sampled values: the narrowest type all of them
// fit; blanks say nothing.
class ColumnGuess {
public:
    void add(const QString& raw) {
        const QString value = raw.trimmed();
        if (value.isEmpty())
            return;
        m_any = true;
        m_longest = std::max(m_longest, raw.size());
        const bool whole = isWholeNumber(value);
        m_whole = m_whole && whole;
        m_numbers = m_numbers && (whole || isNumber(value));
        const DateKind date = dateKind(value);
        m_dates = m_dates && date == DateKind::Date;
        m_dateTimes = m_dateTimes && date != DateKind::None;
    }

    ColumnInfo column(const QString& name) const {
        if (m_any && m_whole)
            return {name, adInteger, std::nullopt};
        if (m_any && m_numbers)
            return {name, adDouble, std::nullopt};
        if (m_any && m_dates)
            return {name, adDBDate, std::nullopt};
        if (m_any && m_dateTimes)
            return {name, adDBTimeStamp, std::nullopt};
        return {name, adWChar, m_longest > kShortTextLength ? kLongTextLength : kShortTextLength};
    }

private:
    bool m_any = false;
    bool m_whole = true;
    bool m_numbers = true;
    bool m_dates = true;
    bool m_dateTimes = true;
    qsizetype m_longest = 0;
};

class TextFolder final : public TableFolder {
public:
    // Tables are named by the driver's rule ("prices#csv"); the file name works too.
    explicit TextFolder(const QString& folder)
        : TableFolder(folder, {QStringLiteral("text files"),
                               QStringLiteral("text file for the table"),
                               {QStringLiteral("*.txt"), QStringLiteral("*.csv"),
                                QStringLiteral("*.asc"), QStringLiteral("*.tab")},
                               true}) {}

    std::vector<ColumnInfo> columns(const QString& table) override {
        return read(table, kSampledRows + 1).columns;
    }

    TableRows readRows(const QString& table) override {
        return read(table, std::numeric_limits<int>::max());
    }

private:
    // The columns from the header and the first rows; the rows among the
    // first `limit` records as the column types read them.
    TableRows read(const QString& table, int limit) {
        const QFileInfo file = fileOf(table);
        QFile in(file.absoluteFilePath());
        if (!in.open(QIODevice::ReadOnly))
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("The text file \"%1\" cannot be read: %2")
                                   .arg(shownPath(file.filePath()), in.errorString()));
        const char delimiter =
            file.suffix().compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0 ? '\t' : ',';
        RecordReader reader(in, delimiter);
        const std::vector<Record> records = reader.read(limit);
        TableRows result;
        if (records.empty())
            return result;
        QStringList cells;
        for (const QByteArray& cell : records.front())
            cells.append(reader.decode(cell));
        const QStringList names = headerColumnNames(cells);
        std::vector<ColumnGuess> guesses(static_cast<size_t>(names.size()));
        const size_t sampled = std::min(records.size(), size_t(kSampledRows) + 1);
        for (size_t row = 1; row < sampled; ++row) {
            const Record& record = records[row];
            for (size_t column = 0; column < guesses.size() && column < record.size(); ++column)
                guesses[column].add(reader.decode(record[column]));
        }
        for (size_t column = 0; column < guesses.size(); ++column)
            result.columns.push_back(
                guesses[column].column(names.at(static_cast<qsizetype>(column))));
        if (limit <= kSampledRows + 1)
            return result;
        for (size_t row = 1; row < records.size(); ++row) {
            const Record& record = records[row];
            QVariantList values;
            for (size_t column = 0; column < result.columns.size(); ++column)
                values.append(column < record.size() ? fieldValue(result.columns[column].dataType,
                                                                  reader.decode(record[column]))
                                                     : QVariant());
            result.rows.push_back(std::move(values));
        }
        return result;
    }
};

} // namespace

std::unique_ptr<DataConnection> openTextFolder(const QString& folder) {
    return std::make_unique<TextFolder>(folder);
}

} // namespace ordwick
