#include "wizard/querystep.h"

#include "datasource/sqlnames.h"

#include <functional>

namespace ordwick::QueryText {

namespace {

QString bracketed(const QString& name) {
    return QStringLiteral(" [") + name + QStringLiteral("],");
}

QString selectOf(const Project& project, const std::function<QString(const QString&)>& column) {
    QString text = QStringLiteral("SELECT");
    for (const ColumnSettings& c : project.Columns)
        text += column(c.ColumnName);
    if (!project.Columns.empty())
        text.chop(1);
    return text;
}

QString bracketedFrom(const QString& table) {
    return QStringLiteral(" FROM ") + QStringLiteral(" [") + table + QLatin1Char(']');
}

bool hasBlank(const QString& name) {
    return name.contains(QLatin1Char(' '));
}

// The one rule of the program for names SQL reads bare.
bool isBareName(const QString& name) {
    return readsBare(name);
}

} // namespace

bool useBracketedNames(const Project& p) {
    if ((p.DatasourceStatus == DatasourceDsn || p.DatasourceStatus == DatasourceConnection) &&
        p.DatasourceType == 1 &&
        p.ConnectionString.contains(QLatin1String("oracle"), Qt::CaseInsensitive))
        return false;
    return p.DatasourceType == 1 || p.DatasourceType == 2;
}

QString generatedSelect(const Project& p) {
    const bool brackets = useBracketedNames(p);
    const NameQuoting quoting = nameQuotingFor(p.DatasourceType, p.ConnectionString);
    if (quoting == NameQuoting::Backticks || quoting == NameQuoting::DoubleQuotes) {
        // Brackets mean nothing to these databases: only what SQL cannot read
        // bare is quoted, in their own quotes.
        const auto sqlName = [quoting](const QString& name) {
            return QLatin1Char(' ') + (isBareName(name) ? name : quotedName(name, quoting));
        };
        return selectOf(p, [&](const QString& name) { return sqlName(name) + QLatin1Char(','); }) +
               QStringLiteral(" FROM") + sqlName(p.TableName);
    }
    QString text = selectOf(p, [brackets](const QString& name) {
        return brackets || !isBareName(name) ? bracketed(name)
                                             : QLatin1Char(' ') + name + QLatin1Char(',');
    });
    if (brackets || hasBlank(p.TableName))
        return text + bracketedFrom(p.TableName);
    return text + QStringLiteral(" FROM ") + p.TableName;
}

QString toggledBrackets(const Project& p, const QString& shown) {
    if (!p.SQLString.isEmpty())
        return p.SQLString;
    if (!shown.contains(QLatin1Char('['))) {
        return selectOf(p, [](const QString& name) { return bracketed(name); }) +
               bracketedFrom(p.TableName);
    }
    const QString text = selectOf(p, [](const QString& name) {
        return isBareName(name) ? QLatin1Char(' ') + name + QLatin1Char(',') : bracketed(name);
    });
    if (hasBlank(p.TableName))
        return text + bracketedFrom(p.TableName);
    return text + QStringLiteral(" FROM ") + p.TableName;
}

QString shownSelect(const Project& p) {
    return p.SQLString.isEmpty() ? generatedSelect(p) : p.SQLString;
}

QString storedWhere(const QString& where) {
    QString text = where;
    return text.replace(QLatin1Char('"'), QLatin1Char('\''));
}

QString checkedStatement(const QString& select, const QString& where) {
    if (select.trimmed().isEmpty())
        return {};
    return (select + QLatin1Char(' ') + where).trimmed();
}

QString invalidQueryMessage() {
    return QStringLiteral("Specified SQL query is invalid!\nPlease check the SQL query!");
}

} // namespace ordwick::QueryText
