#include "datasource/sqlnames.h"

#include "datasource/connectionbuilder.h"
#include "datasource/connectionstring.h"

#include <QSet>
#include <algorithm>

namespace ordwick {

namespace {

QString enclosed(const QString& name, QChar open, QChar close) {
    return open + QString(name).replace(close, QString(2, close)) + close;
}

} // namespace

NameQuoting nameQuotingFor(int datasourceType, const QString& connectionString) {
    const QString driver =
        ConnectionString(connectionString).value(QStringLiteral("DRIVER")).toLower();
    if (datasourceType == FamilyMySql || driver.contains(QLatin1String("mysql")) ||
        driver.contains(QLatin1String("mariadb")))
        return NameQuoting::Backticks;
    const QString text = connectionString.toLower();
    if (text.contains(QLatin1String("postgres")) || text.contains(QLatin1String("oracle")) ||
        datasourceType == FamilyPostgres || datasourceType == FamilyOracle ||
        datasourceType == FamilyOtherSql)
        return NameQuoting::DoubleQuotes;
    if (datasourceType == FamilySqlite || driver.contains(QLatin1String("sqlite")))
        return NameQuoting::SqliteBrackets;
    return NameQuoting::Brackets;
}

bool readsBare(const QString& name) {
    if (name.isEmpty() || name.front().isDigit())
        return false;
    const bool plain = std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('_');
    });
    if (!plain)
        return false;
    // Reserved in SQL-92 or in one of the dialects the sites are written for
    // (Jet, SQL Server, MySQL/MariaDB, PostgreSQL, Oracle, SQLite).
    static const QSet<QString> reserved = {
        QStringLiteral("ADD"),          QStringLiteral("ALL"),
        QStringLiteral("ALTER"),        QStringLiteral("AND"),
        QStringLiteral("ANY"),          QStringLiteral("AS"),
        QStringLiteral("ASC"),          QStringLiteral("BETWEEN"),
        QStringLiteral("BY"),           QStringLiteral("CASE"),
        QStringLiteral("CAST"),         QStringLiteral("CHECK"),
        QStringLiteral("COLUMN"),       QStringLiteral("CONSTRAINT"),
        QStringLiteral("CREATE"),       QStringLiteral("CROSS"),
        QStringLiteral("CURRENT"),      QStringLiteral("CURRENT_DATE"),
        QStringLiteral("CURRENT_TIME"), QStringLiteral("CURRENT_TIMESTAMP"),
        QStringLiteral("CURRENT_USER"), QStringLiteral("DATABASE"),
        QStringLiteral("DATE"),         QStringLiteral("DEFAULT"),
        QStringLiteral("DELETE"),       QStringLiteral("DESC"),
        QStringLiteral("DISTINCT"),     QStringLiteral("DROP"),
        QStringLiteral("ELSE"),         QStringLiteral("END"),
        QStringLiteral("EXCEPT"),       QStringLiteral("EXISTS"),
        QStringLiteral("FALSE"),        QStringLiteral("FETCH"),
        QStringLiteral("FOR"),          QStringLiteral("FOREIGN"),
        QStringLiteral("FROM"),         QStringLiteral("FULL"),
        QStringLiteral("GRANT"),        QStringLiteral("GROUP"),
        QStringLiteral("HAVING"),       QStringLiteral("IN"),
        QStringLiteral("INDEX"),        QStringLiteral("INNER"),
        QStringLiteral("INSERT"),       QStringLiteral("INTERSECT"),
        QStringLiteral("INTO"),         QStringLiteral("IS"),
        QStringLiteral("JOIN"),         QStringLiteral("KEY"),
        QStringLiteral("LEFT"),         QStringLiteral("LEVEL"),
        QStringLiteral("LIKE"),         QStringLiteral("LIMIT"),
        QStringLiteral("NATURAL"),      QStringLiteral("NOT"),
        QStringLiteral("NULL"),         QStringLiteral("OFFSET"),
        QStringLiteral("ON"),           QStringLiteral("OR"),
        QStringLiteral("ORDER"),        QStringLiteral("OUTER"),
        QStringLiteral("PERCENT"),      QStringLiteral("PRIMARY"),
        QStringLiteral("REFERENCES"),   QStringLiteral("RIGHT"),
        QStringLiteral("ROW"),          QStringLiteral("ROWNUM"),
        QStringLiteral("ROWS"),         QStringLiteral("SELECT"),
        QStringLiteral("SESSION_USER"), QStringLiteral("SET"),
        QStringLiteral("SIZE"),         QStringLiteral("SOME"),
        QStringLiteral("TABLE"),        QStringLiteral("THEN"),
        QStringLiteral("TIME"),         QStringLiteral("TIMESTAMP"),
        QStringLiteral("TO"),           QStringLiteral("TOP"),
        QStringLiteral("TRUE"),         QStringLiteral("UNION"),
        QStringLiteral("UNIQUE"),       QStringLiteral("UPDATE"),
        QStringLiteral("USER"),         QStringLiteral("USING"),
        QStringLiteral("VALUE"),        QStringLiteral("VALUES"),
        QStringLiteral("VIEW"),         QStringLiteral("WHEN"),
        QStringLiteral("WHERE"),        QStringLiteral("WITH"),
    };
    return !reserved.contains(name.toUpper());
}

QString sqlName(const QString& name, NameQuoting quoting) {
    return readsBare(name) ? name : quotedName(name, quoting);
}

QString quotedName(const QString& name, NameQuoting quoting) {
    switch (quoting) {
    case NameQuoting::Backticks:
        return enclosed(name, u'`', u'`');
    case NameQuoting::DoubleQuotes:
        return enclosed(name, u'"', u'"');
    case NameQuoting::SqliteBrackets:
        if (name.contains(QLatin1Char(']')))
            return enclosed(name, u'"', u'"');
        break;
    case NameQuoting::Brackets:
        break;
    }
    return enclosed(name, u'[', u']');
}

} // namespace ordwick
