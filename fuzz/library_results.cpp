// What the Excel and Access libraries hand back, and what a reading child
// process sends to the program: any cell values make a sheet whose rows fit
// its columns and whose values have their column's type, any stored date is
// a date or nothing, and whatever tables, columns, keys and rows a child
// answers with reach the program as they were.
#include "datasource/accessdates.h"
#include "datasource/excelsheet.h"
#include "datasource/schemamirrorprocess.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"

#include <QDateTime>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "library_results";

// A cell as the library describes it, with the text it points to kept here.
struct Cell {
    unsigned char type = FREEXL_CELL_NULL;
    qint64 whole = 0;
    double number = 0;
    QByteArray text;
};

constexpr unsigned char kCellTypes[] = {
    FREEXL_CELL_NULL,     FREEXL_CELL_INT,      FREEXL_CELL_DOUBLE,
    FREEXL_CELL_TEXT,     FREEXL_CELL_SST_TEXT, FREEXL_CELL_DATE,
    FREEXL_CELL_DATETIME, FREEXL_CELL_TIME,     0x7f};

double doubleOf(InputReader& in) {
    const quint64 bits = (quint64(quint32(in.int32())) << 32) | quint32(in.int32());
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool holdsItsType(const QVariant& value, int type) {
    if (value.isNull())
        return true;
    switch (type) {
    case adDouble:
        return value.typeId() == QMetaType::Double;
    case adDBTimeStamp:
        return value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid();
    default:
        return value.typeId() == QMetaType::QString;
    }
}

void excelSheet(InputReader& in) {
    const unsigned int rows = in.byte() % 24;
    const auto width = static_cast<unsigned short>(in.byte() % 10);
    std::vector<Cell> cells(rows * width);
    for (Cell& cell : cells) {
        cell.type = kCellTypes[in.byte() % std::size(kCellTypes)];
        cell.whole = in.int32();
        cell.number = doubleOf(in);
        cell.text = in.text(40).toUtf8();
        if (in.flag()) // the library's text may be any bytes
            cell.text.append(char(in.byte() | 0x80));
    }
    const ExcelSheet sheet(rows, width,
                           [&](unsigned int row, unsigned short column, FreeXL_CellValue& value) {
                               if (row >= rows || column >= width)
                                   return false;
                               const Cell& cell = cells[row * width + column];
                               value.type = cell.type;
                               if (cell.type == FREEXL_CELL_INT)
                                   value.value.int_value = static_cast<int>(cell.whole);
                               else if (cell.type == FREEXL_CELL_DOUBLE)
                                   value.value.double_value = cell.number;
                               else
                                   value.value.text_value = cell.text.constData();
                               return cell.type != 0x7f;
                           });
    const std::vector<ColumnInfo> columns = sheet.columns();
    const TableRows table = sheet.rows();
    require(table.columns.size() == columns.size(), kTarget, [&] {
        return QStringLiteral("%1 columns, but the rows come with %2")
            .arg(columns.size())
            .arg(table.columns.size());
    });
    QStringList names;
    for (const ColumnInfo& column : columns) {
        require(!column.name.isEmpty() && !names.contains(column.name, Qt::CaseInsensitive),
                kTarget, [&] { return QStringLiteral("the column name \"%1\"").arg(column.name); });
        names.append(column.name);
    }
    for (const QVariantList& row : table.rows) {
        require(row.size() == qsizetype(columns.size()), kTarget, [&] {
            return QStringLiteral("a row of %1 values in %2 columns")
                .arg(row.size())
                .arg(columns.size());
        });
        for (qsizetype i = 0; i < row.size(); ++i)
            require(holdsItsType(row[i], columns[size_t(i)].dataType), kTarget, [&] {
                return QStringLiteral("the value \"%1\" in the column \"%2\" of type %3")
                    .arg(row[i].toString(), columns[size_t(i)].name)
                    .arg(columns[size_t(i)].dataType);
            });
    }
}

void accessDate(InputReader& in) {
    const double stored = doubleOf(in);
    const QVariant value = accessDateValue(stored);
    if (value.isNull())
        return;
    require(value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid(), kTarget, [&] {
        return QStringLiteral("the stored date %1 reads as \"%2\"")
            .arg(stored)
            .arg(value.toString());
    });
    // The whole days count from 30 December 1899 whatever the time.
    const qint64 days = QDate(1899, 12, 30).daysTo(value.toDateTime().date());
    require(days == qint64(std::trunc(stored)) || days == qint64(std::trunc(stored)) + 1, kTarget,
            [&] {
                return QStringLiteral("the stored date %1 falls %2 days on").arg(stored).arg(days);
            });
}

QVariant anyValue(InputReader& in) {
    switch (in.byte() % 7) {
    case 0:
        return {};
    case 1:
        return in.flag();
    case 2:
        return qlonglong(in.int32()) << (in.byte() % 32);
    case 3:
        return doubleOf(in);
    case 4:
        return in.text(40);
    case 5:
        return in.text(40).toUtf8();
    default:
        return QDateTime(QDate(1899, 12, 30).addDays(in.int32() % 3'000'000),
                         QTime(0, 0).addMSecs(in.int32() % 86'400'000));
    }
}

ColumnInfo anyColumn(InputReader& in) {
    ColumnInfo column{in.text(24), in.int16(), std::nullopt};
    if (in.flag())
        column.maxLength = qint64(in.int32()) << (in.byte() % 24);
    return column;
}

// The child's answer is this program's own encoding, only ever decoded when
// the child ended well: whatever it holds decodes to the same.
template <typename T> void sameAfterTheTrip(const std::vector<T>& items, const char* what) {
    const QByteArray sent = packed(items);
    require(packed(unpacked<T>(sent)) == sent, kTarget,
            [&] { return QStringLiteral("%1 decode otherwise").arg(QLatin1String(what)); });
}

void childAnswer(InputReader& in) {
    TableRows table;
    for (int count = in.byte() % 6; count > 0; --count)
        table.columns.push_back(anyColumn(in));
    for (int count = in.byte() % 6; count > 0; --count) {
        QVariantList row;
        for (size_t i = 0; i < table.columns.size(); ++i)
            row.append(anyValue(in));
        table.rows.push_back(row);
    }
    const QByteArray sent = packedRows(table);
    require(packedRows(unpackedRows(sent)) == sent, kTarget,
            [] { return QStringLiteral("rows decode otherwise"); });
    sameAfterTheTrip(table.columns, "columns");
    sameAfterTheTrip(std::vector<TableInfo>{{in.text(24), in.text(8)}}, "tables");
    sameAfterTheTrip(std::vector<KeyColumn>{{in.text(24), in.text(24)}}, "keys");
}

} // namespace

void libraryResults(const QByteArray& data) {
    InputReader in(data);
    switch (in.byte() % 3) {
    case 0:
        excelSheet(in);
        break;
    case 1:
        accessDate(in);
        break;
    default:
        childAnswer(in);
        break;
    }
}

} // namespace ordwick::fuzz
