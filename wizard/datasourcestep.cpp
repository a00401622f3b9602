#include "wizard/datasourcestep.h"

#include "datasource/connectionbuilder.h"
#include "datasource/connectionstring.h"
#include "foundation/prompt.h"
#include "foundation/settingsstore.h"
#include "project/projectsession.h"

namespace ordwick {

DataSourceStep::DataSourceStep(ProjectSession& session, Prompt& prompt)
    : m_session(session), m_prompt(prompt) {}

QString DataSourceStep::driverOfDataSource(const QString& dataSource) {
    SettingsStore registry;
    registry.setClassKey(HKEY_LOCAL_MACHINE);
    registry.setSectionKey(QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources"));
    registry.setValueKey(dataSource);
    return registry.value().toString();
}

std::int32_t DataSourceStep::familyOfConnectionString(const QString& text) {
    const ConnectionString parts(text);
    const QString driver = parts.value(QStringLiteral("DRIVER"));
    if (!driver.isEmpty())
        return classifyDriver(driver);
    const QString dataSource = parts.value(QStringLiteral("DSN"));
    if (!dataSource.isEmpty())
        return classifyDriver(driverOfDataSource(dataSource));
    const QString provider = parts.value(QStringLiteral("PROVIDER")).toLower();
    if (provider.startsWith(QLatin1String("microsoft.jet")) ||
        provider.startsWith(QLatin1String("microsoft.ace")))
        return FamilyAccess;
    if (provider.startsWith(QLatin1String("sqloledb")) ||
        provider.startsWith(QLatin1String("sqlncli")) ||
        provider.startsWith(QLatin1String("msoledbsql")))
        return FamilySqlServer;
    if (provider.contains(QLatin1String("oracle")) ||
        provider.startsWith(QLatin1String("oraoledb")))
        return FamilyOracle;
    return FamilyOtherSql;
}

std::optional<DataSourceStep::Focus> DataSourceStep::validate(const DataSourceChoice& choice) {
    switch (choice.option) {
    case 0:
        if (choice.dataFile.isEmpty()) {
            m_prompt.warning(QStringLiteral("Please select the data source file!"));
            return Focus::DataFile;
        }
        if (choice.dataFile.trimmed().isEmpty()) {
            m_prompt.warning(QStringLiteral("Specified datafile is not valid!"));
            return Focus::DataFile;
        }
        break;
    case 1:
        if (choice.dsn.isEmpty()) {
            m_prompt.warning(QStringLiteral("Please select the ODBC DSN!"));
            return Focus::DsnList;
        }
        break;
    default:
        if (choice.connectionString.trimmed().isEmpty()) {
            m_prompt.warning(QStringLiteral("Please specify the connection string!"));
            return Focus::ConnectionString;
        }
        break;
    }
    return std::nullopt;
}

DataSourceStep::Outcome DataSourceStep::takeChoice(const DataSourceChoice& choice) {
    if (const std::optional<Focus> focus = validate(choice))
        return {false, focus};
    Project& project = m_session.project;
    const auto source = [&project] {
        return QStringList{QString::number(project.DatasourceStatus), project.DatabaseName,
                           project.DBLogin, project.DBPassword};
    };
    const QStringList before = source();
    switch (choice.option) {
    case 0: {
        // A path is taken without surrounding blanks: they would hide the extension.
        const QString file = choice.dataFile.trimmed();
        const QString current = project.DatabaseName.trimmed();
        if (!current.isEmpty() && current != file) {
            const int answer = m_prompt.show(
                {QStringLiteral("Reset Project?"),
                 QStringLiteral("Data File has changed. This will reset the project. Continue?"),
                 Prompt::Icon::Question,
                 Prompt::Buttons::YesNo,
                 {}});
            if (answer != Prompt::Yes)
                return {false, std::nullopt};
            project = Project{};
        }
        project.DatabaseName = file;
        project.DBLogin = choice.fileLogin;
        project.DBPassword = choice.filePassword;
        project.DatasourceType = classifyDataFile(project.DatabaseName, project.DatasourceType);
        break;
    }
    case 1:
        project.DatabaseName = choice.dsn;
        project.DBLogin = choice.dsnLogin;
        project.DBPassword = choice.dsnPassword;
        project.DatasourceType = classifyDriver(driverOfDataSource(project.DatabaseName));
        break;
    default:
        project.DatabaseName = choice.connectionString;
        project.DatasourceType = familyOfConnectionString(choice.connectionString);
        break;
    }
    project.DatasourceStatus = choice.option + 1;
    // An edited source needs its connection string built anew, even in a
    // project that was opened or saved (which otherwise reuses the stored one).
    if (source() != before)
        project.ConnectionString.clear();
    return {true, std::nullopt};
}

} // namespace ordwick
