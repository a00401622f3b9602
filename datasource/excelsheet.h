// One worksheet read the way the desktop Excel driver reads it, from the cell
// values FreeXL hands over: the used range is the table, its first row that
// holds anything names the columns, and each column's type is guessed from the
// rows below. Apart from the library, so that what it returns can be tried
// with any values.
#pragma once

#include "datasource/dataconnection.h"

#include <freexl.h>
#include <functional>
#include <vector>

namespace ordwick {

class ExcelSheet {
public:
    // The library's value of a cell; false when it has none.
    using CellReader =
        std::function<bool(unsigned int row, unsigned short column, FreeXL_CellValue& value)>;

    ExcelSheet(unsigned int rows, unsigned short width, CellReader cell);

    std::vector<ColumnInfo> columns() const;
    // The rows below the header, each cell read as its column's type: a cell
    // of another kind is empty, as the driver gives it, except that a number
    // in a text column keeps its digits. Rows with nothing in them are left out.
    TableRows rows() const;

private:
    enum class CellKind { Empty, Number, Date, Text };
    struct Range {
        bool empty = true;
        unsigned int header = 0;
        unsigned short first = 0;
        unsigned short last = 0;
    };

    Range range() const;
    std::vector<ColumnInfo> columnsIn(const Range& used) const;
    QVariant value(unsigned int row, unsigned short column, int type) const;
    CellKind kind(unsigned int row, unsigned short column) const;
    QString text(unsigned int row, unsigned short column) const;
    bool rowIsEmpty(unsigned int row) const;
    ColumnInfo guess(const QString& name, unsigned short column, unsigned int from,
                     unsigned int to) const;

    unsigned int m_rows;
    unsigned short m_width;
    CellReader m_cell;
};

} // namespace ordwick
