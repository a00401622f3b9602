// The SQL of the desktop drivers (Access, Excel, dBase and text files) as
// far as the generated pages write it, turned into SQLite's, for the
// in-memory copies those sources are read into.
#pragma once

#include <QString>

namespace ordwick::preview::jetsql {

// The statement in SQLite's words: "SELECT [DISTINCT] TOP n" becomes a LIMIT
// at the end of that SELECT (in a subquery too), DISTINCTROW becomes
// DISTINCT, and a #date# literal becomes the text the copies store dates as.
// Quoted text and [bracketed] names are left as they are: SQLite reads
// brackets as Jet does.
QString toSqlite(const QString& sql);

// The verb of a statement that would change data or the database ("UPDATE",
// "INSERT", "DELETE", "CREATE", "SELECT INTO", ...); empty for a query that
// only reads.
QString changingVerb(const QString& sql);

// Jet's LIKE through ODBC: "%" matches any run of characters, "_" one
// character, "[abc]", "[a-z]" and "[!abc]" one of (or none of) a class, so
// "[%]" is a literal percent sign. Letters compare without regard to case.
bool like(const QString& pattern, const QString& text);

} // namespace ordwick::preview::jetsql
