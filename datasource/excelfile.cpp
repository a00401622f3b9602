#include "datasource/connections.h"
#include "datasource/excelsheet.h"
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

    // The worksheet, read through the library cell by cell.
    ExcelSheet sheet(unsigned short index) {
        unsigned int rows = 0;
        unsigned short width = 0;
        if (freexl_select_active_worksheet(m_handle.get(), index) != FREEXL_OK ||
            freexl_worksheet_dimensions(m_handle.get(), &rows, &width) != FREEXL_OK)
            fail(QStringLiteral("worksheet %1 cannot be read").arg(index + 1));
        return ExcelSheet(rows, width,
                          [handle = m_handle.get()](unsigned int row, unsigned short column,
                                                    FreeXL_CellValue& value) {
                              return freexl_get_cell_value(handle, row, column, &value) ==
                                     FREEXL_OK;
                          });
    }

private:
    [[noreturn]] void fail(const QString& problem) const {
        throw RuntimeError(
            DataError::GeneralFailure,
            QStringLiteral("The Excel workbook \"%1\" cannot be read: %2.").arg(m_shown, problem));
    }

    QString m_shown;
    std::unique_ptr<const void, WorkbookCloser> m_handle;
    unsigned short m_sheetCount = 0;
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
        return unpacked<ColumnInfo>(read(
            [&](Workbook& book) { return packed(book.sheet(sheetOf(book, table)).columns()); }));
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
        return unpackedRows(read(
            [&](Workbook& book) { return packedRows(book.sheet(sheetOf(book, table)).rows()); }));
    }

    void checkQuery(const QString& sql) override {
        read([&](Workbook& book) {
            std::vector<TableSchema> schema;
            for (unsigned short sheet = 0; sheet < book.sheetCount(); ++sheet)
                schema.push_back({book.tableName(sheet), book.sheet(sheet).columns()});
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
