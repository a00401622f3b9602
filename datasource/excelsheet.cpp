#include "datasource/excelsheet.h"

#include "datasource/schemamirror.h"

#include <algorithm>
#include <utility>

namespace ordwick {

namespace {

// The desktop driver guesses a column's type from this many rows below the
// header (its default). Generated pages talk to that driver, so the type
// reported here has to be the one it will see.
constexpr unsigned kTypeGuessRows = 8;

} // namespace

ExcelSheet::ExcelSheet(unsigned int rows, unsigned short width, CellReader cell)
    : m_rows(rows), m_width(width), m_cell(std::move(cell)) {}

std::vector<ColumnInfo> ExcelSheet::columns() const {
    return columnsIn(range());
}

TableRows ExcelSheet::rows() const {
    const Range used = range();
    TableRows result;
    result.columns = columnsIn(used);
    if (used.empty)
        return result;
    for (unsigned int row = used.header + 1; row < m_rows; ++row) {
        if (rowIsEmpty(row))
            continue;
        QVariantList values;
        for (unsigned short column = used.first; column <= used.last; ++column)
            values.append(value(row, column, result.columns[column - used.first].dataType));
        result.rows.push_back(std::move(values));
    }
    return result;
}

ExcelSheet::Range ExcelSheet::range() const {
    Range used;
    while (used.header < m_rows && rowIsEmpty(used.header))
        ++used.header;
    if (used.header == m_rows)
        return used;
    used.first = m_width;
    for (unsigned int row = used.header; row < m_rows; ++row) {
        for (unsigned short column = 0; column < m_width; ++column) {
            if (kind(row, column) != CellKind::Empty) {
                used.first = std::min(used.first, column);
                used.last = std::max(used.last, column);
            }
        }
    }
    used.empty = false;
    return used;
}

std::vector<ColumnInfo> ExcelSheet::columnsIn(const Range& used) const {
    if (used.empty)
        return {};
    QStringList cells;
    for (unsigned short column = used.first; column <= used.last; ++column)
        cells.append(text(used.header, column));
    const QStringList names = headerColumnNames(cells);
    std::vector<ColumnInfo> result;
    const unsigned int end = std::min(m_rows, used.header + 1 + kTypeGuessRows);
    for (unsigned short column = used.first; column <= used.last; ++column)
        result.push_back(guess(names.at(column - used.first), column, used.header + 1, end));
    return result;
}

QVariant ExcelSheet::value(unsigned int row, unsigned short column, int type) const {
    const CellKind found = kind(row, column);
    if (found == CellKind::Empty)
        return {};
    if (type == adDouble) {
        if (found != CellKind::Number)
            return {};
        FreeXL_CellValue cellValue;
        m_cell(row, column, cellValue);
        return cellValue.type == FREEXL_CELL_INT ? static_cast<double>(cellValue.value.int_value)
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

ExcelSheet::CellKind ExcelSheet::kind(unsigned int row, unsigned short column) const {
    FreeXL_CellValue value;
    if (!m_cell(row, column, value))
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
        return value.value.text_value && *value.value.text_value ? CellKind::Text : CellKind::Empty;
    default:
        return CellKind::Empty;
    }
}

QString ExcelSheet::text(unsigned int row, unsigned short column) const {
    FreeXL_CellValue value;
    if (!m_cell(row, column, value))
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

bool ExcelSheet::rowIsEmpty(unsigned int row) const {
    for (unsigned short column = 0; column < m_width; ++column) {
        if (kind(row, column) != CellKind::Empty)
            return false;
    }
    return true;
}

// The driver's rule: the kind most of the sampled cells have, numbers
// winning a tie over dates and dates over text; text longer than short
// text can hold makes the column long text.
ColumnInfo ExcelSheet::guess(const QString& name, unsigned short column, unsigned int from,
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

} // namespace ordwick
