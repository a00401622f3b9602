#pragma once

#include "datasource/sqlnames.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ordwick {

struct Project;

// The query behind dynamic values: names as the source knows them, unquoted.
struct LookupQuery {
    QString table;
    QString displayColumn;
    QString linkColumn;  // lookup fields only
    QString orderColumn; // empty: no ORDER BY
    QString direction;   // "Ascending", "Descending" or empty

    bool operator==(const LookupQuery&) const = default;
};

// What a details text says: static values or a query.
struct LookupChoice {
    enum class Form { None, Static, Dynamic };
    Form form = Form::None;
    QStringList values;
    LookupQuery query;

    bool operator==(const LookupChoice&) const = default;
};

// The rules of the details behind a radio button or lookup field column: the
// text stored for each form, reading it back, and what Save refuses.
class LookupDetails {
public:
    static constexpr int RadioButton = 5;
    static constexpr int LookupField = 8;

    static NameQuoting quotingFor(const Project& project);
    // A name SQL reads bare stays as it is; any other (reserved words
    // included) is quoted the source's way (sqlName of datasource/sqlnames).
    static QString quoted(const QString& name, NameQuoting quoting);
    // A name as written in a stored text, without its quotes.
    static QString unquoted(const QString& text);

    static QString staticText(const QStringList& values);
    static QString dynamicText(const LookupQuery& query, int editType, NameQuoting quoting);
    // A blank text is neither form; a text with "SELECT " and " FROM " is a
    // query; anything else is static values.
    static LookupChoice read(const QString& details);

    // The column types a lookup can show or link by.
    static bool offersColumn(int adoType);
    // The icon of a listed table; empty for entries that are not offered.
    static QString tableIconKey(const QString& type);
    // The icon of a static value.
    static QString valueIconKey(int editType);

    struct Refusal {
        enum class Focus { Options, StaticList, TableList, LinkList };
        QString text;
        Focus focus;
    };
    // The text Save writes, or why it refuses.
    struct Saved {
        std::optional<Refusal> refusal;
        QString text;
    };
    static Saved save(const LookupChoice& choice, int editType, NameQuoting quoting);

    static QString optionWarning() { return QStringLiteral("Please select an display option!"); }
};

} // namespace ordwick
