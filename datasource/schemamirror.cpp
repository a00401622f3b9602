#include "datasource/schemamirror.h"

#include "foundation/runtimeerror.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace ordwick {

namespace {

// The engine's built-in functions that SQLite lacks, or has with fewer
// arguments (InStr, Replace, Round). Statements only get prepared, never run,
// so a stub that accepts any arguments is enough to keep a valid statement
// from failing as an unknown function. SQLite's own aggregates (Count, Sum,
// Avg, Min, Max) are left alone.
constexpr char kEngineFunctions[] =
    "Asc AscW Atn CBool CByte CCur CDate CDbl CDec Choose Chr ChrW CInt CLng Cos "
    "CSng CStr CVar CVDate Date DateAdd DateDiff DatePart DateSerial DateValue DAvg "
    "Day DCount DFirst DLast DLookup DMax DMin DStDev DStDevP DSum DVar DVarP Exp "
    "First Fix Format FormatCurrency FormatDateTime FormatNumber FormatPercent Hex "
    "Hour IIf InStrRev Int IsDate IsEmpty IsError IsNull IsNumeric Last LCase Left "
    "Len Log Mid Minute Month MonthName Now Nz Oct Partition Right Rnd Second Sgn "
    "Sin Space Sqr StDev StDevP Str StrComp StrConv String StrReverse Switch Tan "
    "Time Timer TimeSerial TimeValue Trim UCase Val Var VarP Weekday WeekdayName "
    "Year InStr Replace Round Chr$ Format$ Hex$ LCase$ Left$ LTrim$ Mid$ Oct$ Right$ "
    "RTrim$ Space$ Str$ String$ Trim$ UCase$";

void stubFunction(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_null(context);
}

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// SQLite compares names without regard to the case of ASCII letters only.
QString sqliteKey(const QString& name) {
    QString key = name;
    for (QChar& c : key) {
        if (c.unicode() < 0x80)
            c = c.toLower();
    }
    return key;
}

QString quotedName(QString name) {
    name.replace(u'"', QLatin1String("\"\""));
    return u'"' + name + u'"';
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

QChar lastSignificant(const QString& text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (!text.at(i).isSpace())
            return text.at(i);
    }
    return {};
}

// The end (one past the closing quote) of a quoted run starting at `start`,
// where a doubled quote stands for one quote character.
qsizetype endOfQuoted(const QString& sql, qsizetype start, QChar quote) {
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql.at(i) == quote) {
            if (i + 1 < sql.size() && sql.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

qsizetype skipSpaces(const QString& sql, qsizetype i) {
    while (i < sql.size() && sql.at(i).isSpace())
        ++i;
    return i;
}

qsizetype endOfWord(const QString& sql, qsizetype i) {
    while (i < sql.size() && isWordChar(sql.at(i)))
        ++i;
    return i;
}

// Translates what the desktop drivers' dialect writes differently from SQLite,
// leaving the meaning of the statement as it was: "text" is a string, #date#
// a date literal, TOP n limits rows, DISTINCTROW is DISTINCT, Mod/Xor/Eqv/Imp
// are operators, Yes/No are constants, Left() and Right() are functions and
// "!" qualifies names. A file name written with its "." ([prices.csv],
// prices.csv) means the table "prices#csv".
QString toSqliteDialect(const QString& sql, const QSet<QString>& tableKeys) {
    static const QRegularExpression dateLiteral(QStringLiteral("^[0-9A-Za-z/\\-.:, ]+$"));
    const auto asTable = [&](const QString& name) {
        const QString mapped = driverObjectName(name);
        return mapped != name && !tableKeys.contains(sqliteKey(name)) &&
                       tableKeys.contains(sqliteKey(mapped))
                   ? mapped
                   : name;
    };
    QString out;
    out.reserve(sql.size() + 16);
    QString previousWord;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            const qsizetype end = endOfQuoted(sql, i, c);
            out += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == u'"') {
            const qsizetype end = endOfQuoted(sql, i, c);
            QString body = sql.mid(i + 1, end - i - 2);
            body.replace(QLatin1String("\"\""), QLatin1String("\""));
            body.replace(u'\'', QLatin1String("''"));
            out += u'\'' + body + u'\'';
            i = end;
            continue;
        }
        if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i + 1);
            if (close < 0) {
                out += QStringView(sql).mid(i);
                break;
            }
            out += u'[' + asTable(sql.mid(i + 1, close - i - 1)) + u']';
            i = close + 1;
            continue;
        }
        // Written straight after a name, "#" is part of it (prices#csv).
        if (c == u'#' && (out.isEmpty() || !isWordChar(out.back()))) {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            const QString body = close > 0 ? sql.mid(i + 1, close - i - 1) : QString();
            if (close > 0 && body.size() <= 40 && dateLiteral.match(body).hasMatch()) {
                out += u'\'' + body + u'\'';
                i = close + 1;
                continue;
            }
        }
        if (isWordChar(c)) {
            const qsizetype end = endOfWord(sql, i);
            const QString word = sql.mid(i, end - i);
            const QString upper = word.toUpper();
            const bool qualified = lastSignificant(out) == u'.';
            i = end;
            if (qualified || c.isDigit()) {
                out += word;
                continue;
            }
            if (upper == QLatin1String("TOP") && (previousWord == QLatin1String("SELECT") ||
                                                  previousWord == QLatin1String("DISTINCT") ||
                                                  previousWord == QLatin1String("DISTINCTROW") ||
                                                  previousWord == QLatin1String("ALL"))) {
                const qsizetype count = skipSpaces(sql, i);
                const qsizetype countEnd = endOfWord(sql, count);
                if (countEnd > count && sql.at(count).isDigit()) {
                    i = countEnd;
                    const qsizetype percent = skipSpaces(sql, i);
                    const qsizetype percentEnd = endOfWord(sql, percent);
                    if (sql.mid(percent, percentEnd - percent).toUpper() ==
                        QLatin1String("PERCENT"))
                        i = percentEnd;
                    previousWord = upper;
                    continue;
                }
            }
            previousWord = upper;
            if (upper == QLatin1String("DISTINCTROW"))
                out += QLatin1String("DISTINCT");
            else if (upper == QLatin1String("MOD"))
                out += u'%';
            else if (upper == QLatin1String("XOR"))
                out += QLatin1String("<>");
            else if (upper == QLatin1String("EQV"))
                out += u'=';
            else if (upper == QLatin1String("IMP"))
                out += QLatin1String("<=");
            else if (upper == QLatin1String("YES"))
                out += u'1';
            else if (upper == QLatin1String("NO"))
                out += u'0';
            else if ((upper == QLatin1String("LEFT") || upper == QLatin1String("RIGHT")) &&
                     skipSpaces(sql, i) < sql.size() && sql.at(skipSpaces(sql, i)) == u'(')
                out += word + u'$'; // SQLite reads LEFT( and RIGHT( as joins
            else if (i + 1 < sql.size() && sql.at(i) == u'.' && isWordChar(sql.at(i + 1))) {
                // prices.csv: a file name when no table of the first name exists.
                const qsizetype second = endOfWord(sql, i + 1);
                const QString joined = word + u'.' + sql.mid(i + 1, second - i - 1);
                const QString mapped = asTable(joined);
                if (mapped != joined) {
                    out += u'[' + mapped + u']';
                    i = second;
                } else {
                    out += word;
                }
            } else {
                out += word;
            }
            continue;
        }
        if (c == u'!' && !(i + 1 < sql.size() && sql.at(i + 1) == u'='))
            out += u'.';
        else if (c == u'^')
            out += u'*';
        else if (c == u'\\')
            out += u'/';
        else
            out += c;
        ++i;
    }
    return out;
}

bool onlyBlanksAndSemicolons(const char* tail) {
    for (; tail && *tail; ++tail) {
        if (*tail != ';' && !QChar::isSpace(static_cast<unsigned char>(*tail)))
            return false;
    }
    return true;
}

} // namespace

std::vector<TableSchema> readSchema(DataConnection& connection) {
    std::vector<TableSchema> schema;
    for (const TableInfo& table : connection.tables()) {
        try {
            schema.push_back({table.name, connection.columns(table.name)});
        } catch (const RuntimeError&) {
            // Left out on purpose; see the header.
        }
    }
    return schema;
}

void checkStatement(const std::vector<TableSchema>& schema, const QString& sql) {
    sqlite3* opened = nullptr;
    const int rc =
        sqlite3_open_v2(":memory:", &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DatabaseCloser> db(opened);
    if (rc != SQLITE_OK)
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("The statement cannot be checked: %1")
                               .arg(QString::fromUtf8(sqlite3_errstr(rc))));

    QSet<QString> tableKeys;
    for (const TableSchema& table : schema) {
        const QString tableKey = sqliteKey(table.name);
        if (tableKeys.contains(tableKey))
            continue;
        QStringList columns;
        QSet<QString> columnKeys;
        for (const ColumnInfo& column : table.columns) {
            if (!columnKeys.contains(sqliteKey(column.name))) {
                columnKeys.insert(sqliteKey(column.name));
                columns.append(quotedName(column.name));
            }
        }
        // SQLite needs a column; one without a name cannot be written by mistake.
        if (columns.isEmpty())
            columns.append(quotedName(QString()));
        const QByteArray ddl = (QStringLiteral("CREATE TABLE ") + quotedName(table.name) +
                                QStringLiteral(" (") + columns.join(QLatin1String(", ")) + u')')
                                   .toUtf8();
        // A name SQLite keeps for itself (sqlite_...) cannot be mirrored; a
        // statement naming it then fails as one naming an unknown table.
        if (sqlite3_exec(db.get(), ddl.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            tableKeys.insert(tableKey);
    }
    for (const QByteArray& name : QByteArray(kEngineFunctions).split(' ')) {
        sqlite3_create_function(db.get(), name.constData(), -1, SQLITE_UTF8, nullptr, stubFunction,
                                nullptr, nullptr);
    }

    const QByteArray translated = toSqliteDialect(sql, tableKeys).toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    const int prepareRc = sqlite3_prepare_v2(db.get(), translated.constData(),
                                             static_cast<int>(translated.size()), &prepared, &tail);
    const std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(prepared);
    if (prepareRc != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db.get()));
        // The desktop drivers take a name they do not know for a parameter
        // that was given no value.
        const bool unknownName = message.startsWith(QLatin1String("no such column"));
        throw RuntimeError(
            unknownName ? DataError::ParameterNotOptional : DataError::ErrorsInCommand, message);
    }
    if (!statement)
        throw RuntimeError(DataError::ErrorsInCommand, QStringLiteral("The statement is empty."));
    if (!onlyBlanksAndSemicolons(tail))
        throw RuntimeError(DataError::ErrorsInCommand,
                           QStringLiteral("Characters found after the end of the statement: %1")
                               .arg(QString::fromUtf8(tail).trimmed()));
}

QString driverObjectName(const QString& name) {
    QString shown = name;
    shown.replace(u'.', u'#');
    return shown;
}

QStringList headerColumnNames(const QStringList& cells) {
    // The engine's longest name; "." ends a qualifier, and "!", "`", "[" and
    // "]" cannot stand in a name at all.
    constexpr qsizetype kLongestName = 64;
    QStringList names;
    QSet<QString> taken;
    for (qsizetype position = 0; position < cells.size(); ++position) {
        QString name = cells.at(position);
        for (QChar& c : name) {
            if (c.category() == QChar::Other_Control)
                c = u' ';
            else if (c == u'.')
                c = u'#';
            else if (c == u'!' || c == u'`')
                c = u'_';
            else if (c == u'[')
                c = u'(';
            else if (c == u']')
                c = u')';
        }
        name = name.trimmed().left(kLongestName).trimmed();
        if (name.isEmpty())
            name = u'F' + QString::number(position + 1);
        if (taken.contains(name.toCaseFolded())) {
            const QString stem = name.left(kLongestName - 4);
            for (int number = 1;; ++number) {
                const QString candidate = stem + QString::number(number);
                if (!taken.contains(candidate.toCaseFolded())) {
                    name = candidate;
                    break;
                }
            }
        }
        taken.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
}

namespace {

std::optional<QDateTime> readDateTime(const QString& text) {
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[T "
                       "](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d+))?)?)?$"));
    static const QRegularExpression slashed(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?"
                       "(?:\\s*([AaPp])[Mm])?)?$"));
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    if (const QRegularExpressionMatch m = iso.match(text); m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
        hour = m.captured(4).toInt();
        minute = m.captured(5).toInt();
        second = m.captured(6).toInt();
        millisecond = (m.captured(7) + QStringLiteral("00")).left(3).toInt();
    } else if (const QRegularExpressionMatch n = slashed.match(text); n.hasMatch()) {
        year = n.captured(3).toInt();
        month = n.captured(1).toInt();
        day = n.captured(2).toInt();
        if (!QDate(year, month, day).isValid())
            std::swap(month, day);
        hour = n.captured(4).toInt();
        minute = n.captured(5).toInt();
        second = n.captured(6).toInt();
        const QString half = n.captured(7).toUpper();
        if (half == QLatin1String("P") && hour < 12)
            hour += 12;
        else if (half == QLatin1String("A") && hour == 12)
            hour = 0;
    } else {
        return std::nullopt;
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, millisecond);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

} // namespace

QVariant fieldValue(int adoType, const QString& text) {
    const QString value = text.trimmed();
    if (value.isEmpty())
        return {};
    bool ok = false;
    switch (adoType) {
    case adTinyInt:
    case adSmallInt:
    case adInteger:
    case adBigInt: {
        const qlonglong whole = value.toLongLong(&ok);
        if (ok)
            return whole;
        // Whole-number columns may still be written with a decimal point ("12.0").
        const double number = value.toDouble(&ok);
        return ok ? QVariant(static_cast<qlonglong>(number)) : QVariant();
    }
    case adSingle:
    case adDouble:
    case adCurrency:
    case adNumeric:
    case adVarNumeric: {
        const double number = value.toDouble(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    case adBoolean: {
        const QString word = value.toLower();
        if (word == QLatin1String("1") || word == QLatin1String("-1") ||
            word == QLatin1String("true") || word == QLatin1String("yes") ||
            word == QLatin1String("t") || word == QLatin1String("y"))
            return true;
        if (word == QLatin1String("0") || word == QLatin1String("false") ||
            word == QLatin1String("no") || word == QLatin1String("f") || word == QLatin1String("n"))
            return false;
        return {};
    }
    case adDate:
    case adDBTimeStamp:
    case adDBDate: {
        const std::optional<QDateTime> when = readDateTime(value);
        if (!when)
            return {};
        return adoType == adDBDate ? QVariant(when->date()) : QVariant(*when);
    }
    case adDBTime: {
        const QTime time = QTime::fromString(value, Qt::ISODate);
        return time.isValid() ? QVariant(QDateTime(QDate(1899, 12, 30), time)) : QVariant();
    }
    default:
        // Text keeps its blanks: only a field of nothing but blanks is empty.
        return text;
    }
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace ordwick
