#pragma once

#include <QString>

namespace ordwick {

// How a data source quotes table and column names in SQL. SQLite reads
// "[...]" as a name as well, but cannot hold a "]" inside one, so such names
// go in double quotes there.
enum class NameQuoting { Brackets, SqliteBrackets, Backticks, DoubleQuotes };

// The quoting of the source a project reads: backticks for MySQL and MariaDB
// (by family or by the driver a connection string names), double quotes for
// PostgreSQL, Oracle and SQL databases of no known family, brackets for the
// rest.
NameQuoting nameQuotingFor(int datasourceType, const QString& connectionString);

// The name in the source's quotes, a closing quote inside it doubled.
QString quotedName(const QString& name, NameQuoting quoting);

// True when SQL reads the name as it stands: letters, digits and "_", not
// starting with a digit, and no reserved word of the SQL the program writes
// for (SELECT, ORDER, GROUP, USER, DATE, ... whatever their case).
bool readsBare(const QString& name);
// The name as it stands when SQL reads it bare, else in the source's quotes:
// the one rule for every name the program puts into SQL by choice.
QString sqlName(const QString& name, NameQuoting quoting);

} // namespace ordwick
