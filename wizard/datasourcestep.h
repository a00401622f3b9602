#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace ordwick {

class ProjectSession;
class Prompt;

// What the first step's controls hold.
struct DataSourceChoice {
    int option = 0; // 0 data file, 1 DSN, 2 connection string
    QString dataFile;
    QString fileLogin;
    QString filePassword;
    QString dsn; // the selected data source name; empty when none is selected
    QString dsnLogin;
    QString dsnPassword;
    QString connectionString;
};

// The first part of applying the data source step: check the choice, take it
// into the project and classify its driver family. Reading the tables follows.
class DataSourceStep {
public:
    enum class Focus { DataFile, DsnList, ConnectionString };
    struct Outcome {
        bool taken = false;
        std::optional<Focus> focus; // where a refusal sends the user
    };

    DataSourceStep(ProjectSession& session, Prompt& prompt);

    Outcome takeChoice(const DataSourceChoice& choice);

    // The ODBC driver a system data source uses, as the settings store lists it.
    static QString driverOfDataSource(const QString& dataSource);
    // The family of a typed connection string: by the driver it names, the
    // driver of the data source it names, or its OLE DB provider.
    static std::int32_t familyOfConnectionString(const QString& text);

private:
    std::optional<Focus> validate(const DataSourceChoice& choice);

    ProjectSession& m_session;
    Prompt& m_prompt;
};

} // namespace ordwick
