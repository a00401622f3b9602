#include "datasource/connections.h"
#include "datasource/schemamirror.h"
#include "datasource/schemamirrorprocess.h"
#include "foundation/runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <freexl.h>
#include <memory>

namespace ordwick {

namespace {

// The desktop driver guesses a column's type from this many rows below the
// header (its default). Generated pages talk to that driver, so the type
// reported here has to be the one it will see.
constexpr unsigned kTypeGuessRows = 8;

QString workbookProblem(int rc) {
    switch (rc) {
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("there is not enough memory to read it");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return QStringLiteral("it is not in the Excel 97-2003 format (.xls)");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("it holds no workbook");
    default:
        return QStringLiteral("it is damaged");
    }
}

enum class CellKind { Empty, Number, Date, Text };

struct WorkbookCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};

// One workbook, open for the length of one call.
class Workbook {
public:
    Workbook(const QString& path, const QString& shown) : m_shown(shown) {
        const QFileInfo info(path);
        if (!info.exists())
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The Excel workbook \"%1\" does not exist.").arg(shown));
        QFile probe(info.absoluteFilePath());
        if (!info.isFile() || !probe.open(QIODevice::ReadOnly))
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The Excel workbook \"%1\" cannot be read.").arg(shown));
        probe.close();
        const void* handle = nullptr;
        const int rc = freexl_open(QFile::encodeName(info.absoluteFilePath()).constData(), &handle);
        m_handle.reset(handle);
        // The library reports some damage only by handing back no workbook.
        if (rc != FREEXL_OK || !m_handle)
            fail(workbookProblem(rc));
        unsigned int password = 0;
        if (freexl_get_info(m_handle.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
            password == FREEXL_BIFF_OBFUSCATED)
            fail(QStringLiteral("it is protected with a password"));
        unsigned int count = 0;
        if (freexl_get_info(m_handle.get(), FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK ||
            count == 0)
            fail(QStringLiteral("no worksheet in it can be read"));
        m_sheetCount = static_cast<unsigned short>(std::min(count, 0xFFFFu));
    }

    unsigned short sheetCount() const { return m_sheetCount; }

    // The worksheet's name as the driver lists it: "$" marks a whole sheet.
    QString tableName(unsigned short sheet) const {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(m_handle.get(), sheet, &name) != FREEXL_OK || !name)
            fail(QStringLiteral("the name of worksheet %1 cannot be read").arg(sheet + 1));
        return driverObjectName(QString::fromUtf8(name)) + u'$';
    }

    // The sheet's used range is its table: the first row that holds anything
    // names the columns, and the rows below are the data.
    std::vector<ColumnInfo> columns(unsigned short sheet) {
        const Range used = range(sheet);
        if (used.empty)
            return {};
        QStringList cells;
        for (unsigned short column = used.first; column <= used.last; ++column)
            cells.append(text(used.header, column));
        const QStringList names = headerColumnNames(cells);
        std::vector<ColumnInfo> result;
        for (unsigned short column = used.first; column <= used.last; ++column) {
            const unsigned int end = std::min(used.rows, used.header + 1 + kTypeGuessRows);
            result.push_back(guess(names.at(column - used.first), column, used.header + 1, end));
        }
        return result;
    }

    // The rows below the header, each cell read as its column's type: a cell
    // of another kind is empty, as the driver gives it, except that a number
    // in a text column keeps its digits. Rows with nothing in them are left out.
    TableRows rows(unsigned short sheet) {
        TableRows result;
        result.columns = columns(sheet);
        const Range used = range(sheet);
        if (used.empty)
            return result;
        for (unsigned int row = used.header + 1; row < used.rows; ++row) {
            if (rowIsEmpty(row))
                continue;
            QVariantList values;
            for (unsigned short column = used.first; column <= used.last; ++column)
                values.append(value(row, column, result.columns[column - used.first].dataType));
            result.rows.push_back(std::move(values));
        }
        return result;
    }

private:
    struct Range {
        bool empty = true;
        unsigned int header = 0;
        unsigned int rows = 0;
        unsigned short first = 0;
        unsigned short last = 0;
    };

    Range range(unsigned short sheet) {
        unsigned int rows = 0;
        unsigned short width = 0;
        if (freexl_select_active_worksheet(m_handle.get(), sheet) != FREEXL_OK ||
            freexl_worksheet_dimensions(m_handle.get(), &rows, &width) != FREEXL_OK)
            fail(QStringLiteral("worksheet %1 cannot be read").arg(sheet + 1));
        m_width = width;
        Range used;
        used.rows = rows;
        while (used.header < rows && rowIsEmpty(used.header))
            ++used.header;
        if (used.header == rows)
            return used;
        used.first = width;
        for (unsigned int row = used.header; row < rows; ++row) {
            for (unsigned short column = 0; column < width; ++column) {
                if (kind(row, column) != CellKind::Empty) {
                    used.first = std::min(used.first, column);
                    used.last = std::max(used.last, column);
                }
            }
        }
        used.empty = false;
        return used;
    }

    QVariant value(unsigned int row, unsigned short column, int type) const {
        const CellKind found = kind(row, column);
        if (found == CellKind::Empty)
            return {};
        if (type == adDouble) {
            if (found != CellKind::Number)
                return {};
            FreeXL_CellValue cellValue;
            cell(row, column, cellValue);
            return cellValue.type == FREEXL_CELL_INT
                       ? static_cast<double>(cellValue.value.int_value)
                       : cellValue.value.double_value;
        }
        if (type == adDBTimeStamp) {
            if (found != CellKind::Date)
                return {};
            const QString when = text(row, column);
            // A time of day alone falls on the day the driver counts from.
            if (!when.contains(u'-'))
                return fieldValue(adDBTimeStamp, QStringLiteral("1899-12-30 ") + when);
            return fieldValue(adDBTimeStamp, when);
        }
        return text(row, column);
    }

    [[noreturn]] void fail(const QString& problem) const {
        throw RuntimeError(
            DataError::GeneralFailure,
            QStringLiteral("The Excel workbook \"%1\" cannot be read: %2.").arg(m_shown, problem));
    }

    bool cell(unsigned int row, unsigned short column, FreeXL_CellValue& value) const {
        return freexl_get_cell_value(m_handle.get(), row, column, &value) == FREEXL_OK;
    }

    CellKind kind(unsigned int row, unsigned short column) const {
        FreeXL_CellValue value;
        if (!cell(row, column, value))
            return CellKind::Empty;
        switch (value.type) {
        case FREEXL_CELL_INT:
        case FREEXL_CELL_DOUBLE:
            return CellKind::Number;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return CellKind::Date;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return value.value.text_value && *value.value.text_value ? CellKind::Text
                                                                     : CellKind::Empty;
        default:
            return CellKind::Empty;
        }
    }

    QString text(unsigned int row, unsigned short column) const {
        FreeXL_CellValue value;
        if (!cell(row, column, value))
            return {};
        switch (value.type) {
        case FREEXL_CELL_INT:
            return QString::number(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return QString::number(value.value.double_value, 'g', 15);
        case FREEXL_CELL_NULL:
            return {};
        default:
            return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
        }
    }

    bool rowIsEmpty(unsigned int row) const {
        for (unsigned short column = 0; column < m_width; ++column) {
            if (kind(row, column) != CellKind::Empty)
                return false;
        }
        return true;
    }

    // The driver's rule: the kind most of the sampled cells have, numbers
    // winning a tie over dates and dates over text; text longer than short
    // text can hold makes the column long text.
    ColumnInfo guess(const QString& name, unsigned short column, unsigned int from,
                     unsigned int to) const {
        int numbers = 0;
        int dates = 0;
        int texts = 0;
        qsizetype longest = 0;
        for (unsigned int row = from; row < to; ++row) {
            switch (kind(row, column)) {
            case CellKind::Number:
                ++numbers;
                break;
            case CellKind::Date:
                ++dates;
                break;
            case CellKind::Text:
                ++texts;
                longest = std::max(longest, text(row, column).size());
                break;
            case CellKind::Empty:
                break;
            }
        }
        if (numbers > 0 && numbers >= dates && numbers >= texts)
            return {name, adDouble, std::nullopt};
        if (dates > 0 && dates >= texts)
            return {name, adDBTimeStamp, std::nullopt};
        return {name, adWChar, longest > kShortTextLength ? kLongTextLength : kShortTextLength};
    }

    QString m_shown;
    std::unique_ptr<const void, WorkbookCloser> m_handle;
    unsigned short m_sheetCount = 0;
    unsigned short m_width = 0;
};

// Every question opens the workbook afresh, so one saved meanwhile is read as
// it is now, and does so in a child process: FreeXL can crash on a damaged
// file, and must not take the program with it.
class ExcelFile final : public DataConnection {
public:
    explicit ExcelFile(const QString& path) : m_path(path), m_shown(shownPath(path)) {
        if (path.isEmpty())
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("No Excel workbook was named."));
        // Opened once now so that an unusable file is refused at once.
        read([](Workbook&) { return QByteArray(); });
    }

    std::vector<TableInfo> tables() override {
        return unpacked<TableInfo>(read([](Workbook& book) {
            std::vector<TableInfo> result;
            for (unsigned short sheet = 0; sheet < book.sheetCount(); ++sheet)
                result.push_back({book.tableName(sheet), QStringLiteral("TABLE")});
            return packed(result);
        }));
    }

    std::vector<ColumnInfo> columns(const QString& table) override {
        return unpacked<ColumnInfo>(
            read([&](Workbook& book) { return packed(book.columns(sheetOf(book, table))); }));
    }

    std::vector<KeyColumn> primaryKeys(const QString& table) override {
        if (!table.isEmpty())
            read([&](Workbook& book) {
                sheetOf(book, table);
                return QByteArray();
            });
        return {};
    }

    TableRows readRows(const QString& table) override {
        return unpackedRows(
            read([&](Workbook& book) { return packedRows(book.rows(sheetOf(book, table))); }));
    }

    void checkQuery(const QString& sql) override {
        read([&](Workbook& book) {
            std::vector<TableSchema> schema;
            for (unsigned short sheet = 0; sheet < book.sheetCount(); ++sheet)
                schema.push_back({book.tableName(sheet), book.columns(sheet)});
            checkStatement(schema, sql);
            return QByteArray();
        });
    }

private:
    QByteArray read(const std::function<QByteArray(Workbook&)>& question) const {
        return readInChildProcess(
            [&] {
                Workbook book(m_path, m_shown);
                return question(book);
            },
            QStringLiteral("The Excel workbook \"%1\" is damaged: reading it failed.")
                .arg(m_shown));
    }

    // The driver's name ("Sheet1$"); the bare worksheet name is taken too.
    unsigned short sheetOf(const Workbook& book, const QString& table) const {
        for (unsigned short sheet = 0; sheet < book.sheetCount(); ++sheet) {
            const QString name = book.tableName(sheet);
            if (name.compare(table, Qt::CaseInsensitive) == 0 ||
                name.chopped(1).compare(table, Qt::CaseInsensitive) == 0)
                return sheet;
        }
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("The Excel workbook \"%1\" has no worksheet \"%2\".")
                               .arg(m_shown, table));
    }

    QString m_path;
    QString m_shown;
};

} // namespace

std::unique_ptr<DataConnection> openExcelFile(const QString& path) {
    return std::make_unique<ExcelFile>(path);
}

} // namespace ordwick
