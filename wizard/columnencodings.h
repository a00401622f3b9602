#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace ordwick {

// The words and icons the column grids show for the codes a project stores.
// Every conversion is exact and case-sensitive; unknown values fall back as
// the stored files expect (empty text, code 0).
namespace ColumnEncoding {

QString alignmentText(std::int32_t code);
std::int32_t alignmentCode(const QString& text);
QString editTypeText(std::int32_t code);
std::int32_t editTypeCode(const QString& text);
QString validationText(std::int32_t code);
std::int32_t validationCode(const QString& text);

// The date type kept in a date field's details: a text that is not a number
// reads as "Normal date", a number other than 0..2 as the empty text.
QString dateTypeText(const QString& details);

// "Bold", "Italics", "Underline" for the flags set, joined by ", ".
QString formatText(bool bold, bool italics, bool underline);
struct ViewFormat {
    bool bold = false;
    bool italics = false;
    bool underline = false;
    bool operator==(const ViewFormat&) const = default;
};
// Read back by substring, so both the ", " and the ";" forms are understood.
ViewFormat viewFormat(const QString& text);
// The words of a cell in either form, as the multi-select list takes them.
QString formatSelection(const QString& cellText, QChar delimiter);

// The icon key of a stored data-type category; empty for an unknown one.
QString dataTypeIconKey(std::int32_t category);

// The drop-down items of the grids, in the order they are offered.
const QStringList& editTypeItems();
const QStringList& alignmentItems();
const QStringList& validationItems();
const QStringList& viewFormatItems();

// The fixed list of grid icon keys: a key's position is its index.
const QStringList& gridIconKeys();
// -1 / empty text for anything outside the list.
int iconIndex(const QString& key);
QString iconKeyAt(int index);

// Edit types whose "More" cell opens details.
bool hasDetails(const QString& editTypeText);

// Why a caption, default value or lookup value cannot be stored as typed or
// pasted, or nothing: a column's fields are one line of the project file,
// separated by ";" with no escape, and no line break or other control
// character belongs in a page's text.
std::optional<QString> storedValueRefusal(const QString& text);

} // namespace ColumnEncoding

} // namespace ordwick
