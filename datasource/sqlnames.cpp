#include "datasource/sqlnames.h"

#include "datasource/connectionbuilder.h"
#include "datasource/connectionstring.h"

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
