#pragma once

#include "datasource/dataconnection.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace ordwick {

// A query saved in an Access database, as its rows in MSysQueries describe it.
struct SavedQuery {
    // Attribute 1's flag: 1 select, 2 make-table, 3 append, 4 update,
    // 5 delete, 6 crosstab, 7 data definition, 8 pass-through, 9 union.
    static constexpr int Select = 1;

    struct Input {
        QString source; // a table or another saved query
        QString alias;
    };
    struct Output {
        QString expression;
        QString alias;
    };

    QString name;
    int kind = 0;
    bool hasParameters = false;
    bool allFields = false; // SELECT *
    std::vector<Input> inputs;
    std::vector<Output> outputs;

    // Shown as a view: a select query that runs without asking for values.
    // Names starting with "~" belong to forms and reports, not to the user.
    bool isView() const { return kind == Select && !hasParameters && !name.startsWith(u'~'); }
};

// The columns of a table or saved query by name; empty when there is none.
using SourceColumns = std::function<std::optional<std::vector<ColumnInfo>>(const QString& source)>;

// The result columns of a select query: their names as the engine gives them
// (the alias, else the column's own name, else Expr1000, Expr1001, ...; a name
// already taken is qualified by its source) and their types, taken from the
// source column or worked out from the expression; what cannot be worked out
// is short text.
std::vector<ColumnInfo> savedQueryColumns(const SavedQuery& query,
                                          const SourceColumns& sourceColumns);

} // namespace ordwick
