#pragma once

#include "datasource/sqlnames.h"
#include "engine/textcode.h"
#include "generation/tasklist.h"
#include "project/project.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ordwick::engine {

// What a column's values are, as far as the pages care.
enum class ValueKind { Integer, Number, Currency, Boolean, Date, Text, Memo };
QString kindName(ValueKind kind); // "integer", "number", ... as the runtime spells them

// Edit control codes of a column.
enum EditCode : int {
    EditDefault = 0,
    EditText = 1,
    EditTextArea = 2,
    EditPassword = 3,
    EditHidden = 4,
    EditRadio = 5,
    EditCheckbox = 6,
    EditDate = 7,
    EditLookup = 8,
    EditReadonly = 9,
};

// Validation codes of a column.
enum ValidationCode : int {
    ValidateNone = 0,
    ValidateCreditCard = 1,
    ValidateCurrency = 2,
    ValidateDate = 3,
    ValidateEmail = 4,
    ValidateNumber = 5,
    ValidatePassword = 6,
    ValidatePhone = 7,
    ValidateZip = 8,
};

struct Lookup {
    enum class Kind { None, Static, Query };
    Kind kind = Kind::None;
    QStringList values;  // static choices
    QString sql;         // a query's text as the project holds it
    bool linked = false; // the query gives a stored value and a shown text
};

struct SiteColumn {
    const ColumnSettings* settings = nullptr;
    int index = 0; // position on the pages, from 0
    QString name;
    QString sql; // the quoted name
    ValueKind kind = ValueKind::Text;
    int editType = EditText;
    int validation = ValidateNone;
    int dateType = 0; // 0 normal (yyyy-mm-dd), 1 American, 2 British
    bool key = false;
    Lookup lookup;

    // Shown on the add/edit form as a control that sends a value.
    bool sendsValue() const;
};

struct InitialOrder {
    int column = 0;
    bool descending = false;
};

enum class LoginKind { None, Fixed, Table };

// The kind of database behind the site, as far as its SQL differs: how LIKE
// takes a literal wildcard, and how stored dates compare.
enum class SqlFamily {
    Jet,       // Access, Excel, text and dBase files: LIKE escapes by brackets
    SqlServer, // LIKE knows [ ] classes as well as ESCAPE
    Sqlite,    // dates are stored as text or numbers, in more than one form
    Oracle,    // ESCAPE may only precede a wildcard or itself
    Other,     // MySQL, PostgreSQL and the rest: standard ESCAPE
};
SqlFamily sqlFamilyOf(const Project& project);

// How the source reads one page of rows: LIMIT/OFFSET, OFFSET ... FETCH, the
// first rows by TOP (the page then starts that far into them), or a cursor
// over every row where nothing better is known of the source.
enum class Paging { Limit, RowNumber, Top, Cursor };
Paging pagingOf(const Project& project, SqlFamily family);

// The connection string as the site's server needs it: the SQLite ODBC driver
// registers on Windows as "SQLite3 ODBC Driver", where unixODBC here knows it
// as "SQLite3". Other drivers keep the names they were given.
QString serverConnectionString(const QString& local);
// The reverse, for reading the source here: a string written for the server
// opens with the local name.
QString localConnectionString(const QString& server);

// The files of the site, relative to the destination folder.
struct SiteFiles {
    QString variables;
    QString functions;
    QString dynamicFunctions;
    QString styleSheet;
    QString siteScript;
    QString validationScript;
    QString index;
    QString edit;
    QString search;
    QString print;
    QString exportPage;
    QString login;
};

// Everything the pages are written from: the project read once and turned
// into the site's terms.
struct SitePlan {
    const Project* project = nullptr;
    std::vector<GenerationTask> tasks;
    QString table;
    QString tableSql;
    QString baseSql;   // the project's query: its SELECT and its condition
    QString recordSql; // the table's columns, for reading one record by its key
    NameQuoting quoting = NameQuoting::Brackets;
    SqlFamily family = SqlFamily::Jet;
    Paging paging = Paging::Top;
    std::vector<SiteColumn> columns; // in page order
    std::vector<int> keys;           // indexes into `columns`
    std::vector<InitialOrder> initialOrder;
    LoginKind login = LoginKind::None;
    QString loginSql;
    int pageSize = 20;
    SiteFiles files;
    // The site's connection: a JavaScript expression that yields the string.
    QString connectionScript;
    // Data files copied into "db" (absolute source paths) and their names there.
    QStringList databaseFiles;
    bool copiesDatabase = false;

    bool has(TaskKind kind) const;
    bool canAdd() const { return project->EnableAppend && !keys.empty(); }
    bool canEdit() const { return project->EditAs && !keys.empty(); }
    bool canDelete() const { return project->EnableDelete && !keys.empty(); }
    bool editPage() const { return has(TaskKind::Edit); }
};

struct PlanProblem {
    QString description;
    int number = 0;
    bool warning = false; // the site is written all the same, only differently
};

// Builds the plan. Problems that still leave a usable site (a misspelt key,
// a page name that cannot be a file name) are returned to be reported; a
// project without a table or columns cannot be planned and throws RuntimeError.
SitePlan makeSitePlan(const Project& project, std::vector<PlanProblem>& problems);

} // namespace ordwick::engine
