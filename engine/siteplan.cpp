#include "engine/siteplan.h"

#include "datasource/connectionbuilder.h"
#include "datasource/connectionstring.h"
#include "foundation/paths.h"
#include "foundation/runtimeerror.h"
#include "generation/pagenames.h"
#include "project/projectsession.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace ordwick::engine {

namespace {

ValueKind kindOf(std::int32_t dataType) {
    switch (dataType) {
    case 1:
        return ValueKind::Integer;
    case 2:
    case 3:
        return ValueKind::Number;
    case 5:
        return ValueKind::Memo;
    case 6:
        return ValueKind::Boolean;
    case 7:
        return ValueKind::Currency;
    case 8:
        return ValueKind::Date;
    default:
        return ValueKind::Text;
    }
}

// A column without a chosen control gets the one that suits its values.
int editTypeOf(const ColumnSettings& c, ValueKind kind) {
    if (c.EditType >= EditText && c.EditType <= EditReadonly)
        return c.EditType;
    switch (kind) {
    case ValueKind::Memo:
        return EditTextArea;
    case ValueKind::Boolean:
        return EditCheckbox;
    case ValueKind::Date:
        return EditDate;
    default:
        return EditText;
    }
}

int dateTypeOf(const ColumnSettings& c, int editType) {
    if (editType != EditDate)
        return 0;
    bool numeric = false;
    const int value = c.Details.trimmed().toInt(&numeric);
    return numeric && value >= 0 && value <= 2 ? value : 0;
}

Lookup lookupOf(const ColumnSettings& c, int editType) {
    Lookup lookup;
    if (editType != EditRadio && editType != EditLookup)
        return lookup;
    const QString details = c.Details.trimmed();
    if (details.isEmpty())
        return lookup;
    if (details.contains(QLatin1String("SELECT ")) && details.contains(QLatin1String(" FROM "))) {
        lookup.kind = Lookup::Kind::Query;
        lookup.sql = details;
        lookup.linked = editType == EditLookup;
        return lookup;
    }
    lookup.kind = Lookup::Kind::Static;
    lookup.values = details.split(QStringLiteral(", "));
    return lookup;
}

// The connection string the project reads its data with.
QString projectConnectionString(const Project& p) {
    return p.ConnectionString.trimmed().isEmpty()
               ? BuildConnectionString(p, OriginLoaded, p.ConnectionString)
               : p.ConnectionString;
}

NameQuoting quotingOf(const Project& p) {
    return nameQuotingFor(p.DatasourceType, projectConnectionString(p));
}

// Replaces the driver name `from` (in braces or not, any case) by `to`.
QString renameDriver(const QString& text, const QString& from, const QString& to) {
    const QRegularExpression driver(
        QStringLiteral("(^|;)(\\s*driver\\s*=\\s*)(\\{\\s*%1\\s*\\}|%1)(?=\\s*(;|$))")
            .arg(QRegularExpression::escape(from).replace(QLatin1String("\\ "),
                                                          QLatin1String("\\s+"))),
        QRegularExpression::CaseInsensitiveOption);
    QString result = text;
    result.replace(driver, QStringLiteral("\\1\\2{") + to + QLatin1Char('}'));
    return result;
}

const QString kLocalSqliteDriver = QStringLiteral("SQLite3");
const QString kServerSqliteDriver = QStringLiteral("SQLite3 ODBC Driver");

class FileNamer {
public:
    FileNamer(const Project& project, std::vector<PlanProblem>& problems)
        : m_project(project), m_problems(problems) {}

    // The file a page is written as: the rename list's name in its safe form.
    // A page the list does not name gets the safe form of its own name
    // silently; a listed name that must change is reported once, as a
    // warning, and only for a page the run writes.
    QString name(const QString& defaultName, bool written, bool listed) {
        const QString fallback = safePageFileName(defaultName);
        QString chosen = renamedPageFile(m_project, defaultName);
        if (!isSafePageFileName(chosen)) {
            const QString safe = safePageFileName(chosen);
            if (written && (listed || chosen != defaultName))
                warn(QStringLiteral("The page \"%1\" cannot be written as \"%2\"; it is written "
                                    "as \"%3\".")
                         .arg(defaultName, chosen, safe));
            chosen = safe;
        }
        if (!written)
            return chosen;
        if (m_used.contains(chosen, Qt::CaseInsensitive) && chosen != fallback) {
            warn(QStringLiteral("Two pages are renamed to \"%1\"; the page \"%2\" keeps its own "
                                "name.")
                     .arg(chosen, defaultName));
            chosen = fallback;
        }
        m_used.append(chosen);
        return chosen;
    }

private:
    void warn(const QString& description) {
        m_problems.push_back({description, ErrorNumber::InvalidCall, true});
    }

    const Project& m_project;
    std::vector<PlanProblem>& m_problems;
    QStringList m_used;
};

const QString kFolderToken = QStringLiteral("\x01"
                                            "F"
                                            "\x01");
const QString kFileToken = QStringLiteral("\x01"
                                          "D"
                                          "\x01");

// The site's connection string when the data file is copied into "db": built
// the way the wizard builds it, with the copied file or folder found through
// Server.MapPath at run time.
QString copiedConnectionScript(const Project& project, const QString& fileName) {
    Project stand = project;
    stand.ConnectionString.clear();
    stand.DatabaseName = kFolderToken + QLatin1Char('/') + kFileToken;
    const QString built =
        serverConnectionString(BuildConnectionString(stand, OriginNew, QString()));
    if (built.isEmpty())
        return {};
    QString script;
    QString pending;
    const auto flush = [&] {
        if (!pending.isEmpty()) {
            script += (script.isEmpty() ? QString() : QStringLiteral(" + ")) + jsString(pending);
            pending.clear();
        }
    };
    const auto mapped = [&](const QString& virtualPath) {
        flush();
        script += (script.isEmpty() ? QString() : QStringLiteral(" + ")) +
                  QStringLiteral("Server.MapPath(") + jsString(virtualPath) + QLatin1Char(')');
    };
    const QString whole = kFolderToken + QLatin1Char('/') + kFileToken;
    for (qsizetype i = 0; i < built.size();) {
        if (built.mid(i, whole.size()) == whole) {
            mapped(QStringLiteral("db/") + fileName);
            i += whole.size();
        } else if (built.mid(i, kFolderToken.size()) == kFolderToken) {
            mapped(QStringLiteral("db"));
            i += kFolderToken.size();
        } else {
            pending += built.at(i);
            ++i;
        }
    }
    flush();
    return script;
}

QStringList filesOfFamily(const Project& p) {
    const QFileInfo data(p.DatabaseName);
    QStringList patterns;
    switch (p.DatasourceType) {
    case FamilyDbase:
        patterns = {QStringLiteral("*.dbf"), QStringLiteral("*.dbt"), QStringLiteral("*.fpt"),
                    QStringLiteral("*.mdx"), QStringLiteral("*.ndx"), QStringLiteral("*.cdx")};
        break;
    case FamilyText:
        patterns = {QStringLiteral("*.txt"), QStringLiteral("*.csv"), QStringLiteral("*.asc"),
                    QStringLiteral("*.tab"), QStringLiteral("schema.ini")};
        break;
    default:
        return {data.absoluteFilePath()};
    }
    // The drivers read every table of the folder, so the whole set travels.
    QStringList files;
    const QFileInfoList found =
        data.absoluteDir().entryInfoList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : found)
        files.append(file.absoluteFilePath());
    if (files.isEmpty())
        files.append(data.absoluteFilePath());
    return files;
}

int columnIndex(const std::vector<SiteColumn>& columns, const QString& name) {
    for (const SiteColumn& c : columns) {
        if (c.name == name)
            return c.index;
    }
    for (const SiteColumn& c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return c.index;
    }
    return -1;
}

} // namespace

SqlFamily sqlFamilyOf(const Project& p) {
    const ConnectionString parts(projectConnectionString(p));
    const QString driver = parts.value(QStringLiteral("DRIVER")).toLower();
    const QString provider = parts.value(QStringLiteral("PROVIDER")).toLower();
    const auto driverHas = [&driver](const char* word) {
        return driver.contains(QLatin1String(word));
    };
    if (provider.startsWith(QLatin1String("microsoft.jet")) ||
        provider.startsWith(QLatin1String("microsoft.ace")) || driverHas("microsoft access") ||
        driverHas("microsoft excel") || driverHas("microsoft text") ||
        driverHas("microsoft dbase") || driverHas("*.mdb"))
        return SqlFamily::Jet;
    if (driverHas("sqlite"))
        return SqlFamily::Sqlite;
    if (driverHas("sql server") || driverHas("sql native client") ||
        provider.startsWith(QLatin1String("sqloledb")) ||
        provider.startsWith(QLatin1String("sqlncli")) ||
        provider.startsWith(QLatin1String("msoledbsql")))
        return SqlFamily::SqlServer;
    if (driverHas("oracle") || provider.contains(QLatin1String("oracle")) ||
        provider.startsWith(QLatin1String("oraoledb")))
        return SqlFamily::Oracle;
    if (!driver.isEmpty() || !provider.isEmpty())
        return SqlFamily::Other;
    // A data source name: the family the wizard read from its driver.
    switch (p.DatasourceType) {
    case FamilyAccess:
    case FamilyExcel:
    case FamilyText:
    case FamilyDbase:
        return SqlFamily::Jet;
    case FamilySqlServer:
        return SqlFamily::SqlServer;
    case FamilySqlite:
        return SqlFamily::Sqlite;
    case FamilyOracle:
        return SqlFamily::Oracle;
    default:
        return SqlFamily::Other;
    }
}

Paging pagingOf(const Project& p, SqlFamily family) {
    switch (family) {
    case SqlFamily::Sqlite:
        return Paging::Limit;
    case SqlFamily::SqlServer:
    case SqlFamily::Oracle:
        // OFFSET ... FETCH would need SQL Server 2012 or Oracle 12c; classic
        // ASP sites run on older servers too.
        return Paging::RowNumber;
    case SqlFamily::Jet:
        return Paging::Top;
    case SqlFamily::Other:
        break;
    }
    // Of the rest, the families known to take LIMIT/OFFSET; any other driver
    // keeps the cursor, which every source offers.
    const QString driver =
        ConnectionString(projectConnectionString(p)).value(QStringLiteral("DRIVER")).toLower();
    if (p.DatasourceType == FamilyMySql || p.DatasourceType == FamilyPostgres ||
        driver.contains(QLatin1String("mysql")) || driver.contains(QLatin1String("mariadb")) ||
        driver.contains(QLatin1String("postgres")) || driver.contains(QLatin1String("psqlodbc")))
        return Paging::Limit;
    return Paging::Cursor;
}

QString serverConnectionString(const QString& local) {
    return renameDriver(local, kLocalSqliteDriver, kServerSqliteDriver);
}

QString localConnectionString(const QString& server) {
    return renameDriver(server, kServerSqliteDriver, kLocalSqliteDriver);
}

QString kindName(ValueKind kind) {
    switch (kind) {
    case ValueKind::Integer:
        return QStringLiteral("integer");
    case ValueKind::Number:
        return QStringLiteral("number");
    case ValueKind::Currency:
        return QStringLiteral("currency");
    case ValueKind::Boolean:
        return QStringLiteral("boolean");
    case ValueKind::Date:
        return QStringLiteral("date");
    case ValueKind::Memo:
        return QStringLiteral("memo");
    case ValueKind::Text:
        break;
    }
    return QStringLiteral("text");
}

bool SiteColumn::sendsValue() const {
    return settings->EditDisplay && editType != EditReadonly;
}

bool SitePlan::has(TaskKind kind) const {
    return std::any_of(tasks.begin(), tasks.end(),
                       [kind](const GenerationTask& t) { return t.kind == kind; });
}

SitePlan makeSitePlan(const Project& p, std::vector<PlanProblem>& problems) {
    SitePlan plan;
    plan.project = &p;
    plan.table = p.TableName.trimmed();
    if (plan.table.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("The project names no table to generate pages for."));
    if (p.Columns.empty())
        throw RuntimeError(
            ErrorNumber::InvalidCall,
            QStringLiteral("The project includes no column of table \"%1\".").arg(plan.table));
    plan.tasks = generationTasks(p);
    plan.quoting = quotingOf(p);
    plan.family = sqlFamilyOf(p);
    plan.paging = pagingOf(p, plan.family);
    plan.tableSql = quotedName(p.TableName, plan.quoting);

    // Page order: by position, columns not yet ordered after the others.
    std::vector<const ColumnSettings*> ordered;
    for (const ColumnSettings& c : p.Columns)
        ordered.push_back(&c);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ColumnSettings* a, const ColumnSettings* b) {
                         const auto rank = [](const ColumnSettings* c) {
                             return c->Position > 0 ? c->Position : INT32_MAX;
                         };
                         return rank(a) < rank(b);
                     });
    for (const ColumnSettings* settings : ordered) {
        SiteColumn column;
        column.settings = settings;
        column.index = static_cast<int>(plan.columns.size());
        column.name = settings->ColumnName;
        column.sql = quotedName(settings->ColumnName, plan.quoting);
        column.kind = kindOf(settings->DataType);
        column.editType = editTypeOf(*settings, column.kind);
        column.validation =
            settings->ValidationType >= ValidateNone && settings->ValidationType <= ValidateZip
                ? settings->ValidationType
                : ValidateNone;
        column.dateType = dateTypeOf(*settings, column.editType);
        column.lookup = lookupOf(*settings, column.editType);
        if ((column.editType == EditRadio || column.editType == EditLookup) &&
            column.lookup.kind == Lookup::Kind::None) {
            problems.push_back({QStringLiteral("Column \"%1\" has no list of values; it is "
                                               "edited as a text field.")
                                    .arg(column.name),
                                ErrorNumber::InvalidCall});
            column.editType = EditText;
        }
        plan.columns.push_back(column);
    }

    for (const QString& keyName : p.UniqueKey) {
        const int at = columnIndex(plan.columns, keyName.trimmed());
        if (at < 0) {
            problems.push_back({QStringLiteral("The unique key column \"%1\" is not one of the "
                                               "project's columns.")
                                    .arg(keyName),
                                ErrorNumber::SubscriptOutOfRange});
            continue;
        }
        if (std::find(plan.keys.begin(), plan.keys.end(), at) == plan.keys.end()) {
            plan.keys.push_back(at);
            plan.columns[static_cast<size_t>(at)].key = true;
        }
    }
    if (plan.keys.empty() && (p.EnableAppend || p.EditAs || p.EnableDelete))
        problems.push_back({QStringLiteral("Table \"%1\" has no unique key among the project's "
                                           "columns, so records cannot be added, edited or "
                                           "deleted.")
                                .arg(plan.table),
                            ErrorNumber::InvalidCall});

    QStringList names;
    for (const SiteColumn& c : plan.columns)
        names.append(c.sql);
    plan.recordSql = QStringLiteral("SELECT ") + names.join(QStringLiteral(", ")) +
                     QStringLiteral(" FROM ") + plan.tableSql;
    const QString select = p.SQLString.trimmed().isEmpty() ? plan.recordSql : p.SQLString;
    // A query whose last line is a "--" comment must not swallow the condition.
    const QChar joint = select.contains(QLatin1Char('\n')) ? QLatin1Char('\n') : QLatin1Char(' ');
    plan.baseSql = (select + joint + p.SQLWhereString).trimmed();
    // What the pages append (conditions, the order) must not land in a comment.
    if (plan.baseSql.mid(plan.baseSql.lastIndexOf(QLatin1Char('\n')) + 1)
            .contains(QLatin1String("--")))
        plan.baseSql += QLatin1Char('\n');

    if (p.SortColumnBy) {
        for (const QString& entry : p.SortColumnID.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList parts = entry.split(QLatin1Char('|'));
            const int at = columnIndex(plan.columns, parts.value(0).trimmed());
            if (at < 0) {
                problems.push_back(
                    {QStringLiteral("The initial order names column \"%1\", which the project "
                                    "does not include.")
                         .arg(parts.value(0)),
                     ErrorNumber::SubscriptOutOfRange});
                continue;
            }
            if (plan.initialOrder.size() < 3)
                plan.initialOrder.push_back({at, parts.value(1).trimmed() == QLatin1String("1")});
        }
    }

    if (plan.has(TaskKind::Login)) {
        const bool table = !p.DynamicLoginName.isEmpty() && !p.DynamicLoginPassword.isEmpty() &&
                           !p.DynamicTable.isEmpty();
        if (table && (p.DynamicStaticLogin || p.CodeLoginName.isEmpty())) {
            plan.login = LoginKind::Table;
            plan.loginSql = QStringLiteral("SELECT ") +
                            quotedName(p.DynamicLoginPassword, plan.quoting) +
                            QStringLiteral(" FROM ") + quotedName(p.DynamicTable, plan.quoting) +
                            QStringLiteral(" WHERE ") +
                            quotedName(p.DynamicLoginName, plan.quoting) + QStringLiteral(" = ?");
        } else {
            plan.login = LoginKind::Fixed;
            if (p.CodeLoginName.isEmpty())
                problems.push_back({QStringLiteral("The login page has neither a login name nor "
                                                   "a login table; nobody can log in."),
                                    ErrorNumber::InvalidCall});
        }
    }

    static const int kChoices[] = {1, 2, 5, 10, 50};
    plan.pageSize = std::find(std::begin(kChoices), std::end(kChoices), p.RecordsPerPageID) !=
                            std::end(kChoices)
                        ? p.RecordsPerPageID * 10
                        : 20;

    FileNamer namer(p, problems);
    const QString stem = p.TableName.toLower();
    const auto pageOf = [&](TaskKind kind, const QString& suffix) {
        for (const GenerationTask& task : plan.tasks) {
            if (task.kind == kind && !task.pageSuffix.isEmpty())
                return namer.name(pageFileName(p, task), true, true);
        }
        return namer.name(stem + suffix, false, true);
    };
    const QString include = QStringLiteral("include/");
    plan.files.variables = include + pageOf(TaskKind::Variables, QStringLiteral("_variables.asp"));
    plan.files.dynamicFunctions =
        include + pageOf(TaskKind::DynamicFunctions, QStringLiteral("_dynamicfunctions.asp"));
    plan.files.functions = include + QStringLiteral("functions.asp");
    plan.files.styleSheet = include + QStringLiteral("style.css");
    plan.files.siteScript = include + QStringLiteral("site.js");
    plan.files.validationScript =
        include + safePageFileName(stem + QStringLiteral("_validation.js"));
    plan.files.index = pageOf(TaskKind::Index, QStringLiteral("_index.asp"));
    plan.files.edit = pageOf(TaskKind::Edit, QStringLiteral("_edit.asp"));
    plan.files.search = pageOf(TaskKind::Search, QStringLiteral("_search.asp"));
    plan.files.exportPage = pageOf(TaskKind::Export, QStringLiteral("_export.asp"));
    plan.files.print =
        namer.name(stem + QStringLiteral("_print.asp"), plan.has(TaskKind::Print), false);
    plan.files.login =
        namer.name(stem + QStringLiteral("_login.asp"), plan.has(TaskKind::Login), false);

    const bool fileSource = p.DatasourceStatus == DatasourceFile;
    plan.copiesDatabase = fileSource && p.CopyDatabase;
    if (plan.copiesDatabase) {
        plan.databaseFiles = filesOfFamily(p);
        plan.connectionScript =
            copiedConnectionScript(p, QFileInfo(p.DatabaseName.trimmed()).fileName());
    }
    if (plan.connectionScript.isEmpty()) {
        const QString stored = projectConnectionString(p);
        plan.connectionScript = jsString(serverConnectionString(stored));
        if (stored.isEmpty())
            problems.push_back({QStringLiteral("The project has no connection string; the site "
                                               "cannot reach its data."),
                                ErrorNumber::InvalidCall});
    }
    return plan;
}

} // namespace ordwick::engine
