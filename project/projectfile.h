#pragma once

#include "project/project.h"

#include <QString>

namespace ordwick {

class IniDocument;

// The project file (.pjx): sections "Configuration", "SQLString", "UniqueKey",
// "Columns" and "Rename". The generation engine reads the same file.
namespace ProjectFileLayout {
inline const QString Configuration = QStringLiteral("Configuration");
inline const QString SqlString = QStringLiteral("SQLString");
inline const QString UniqueKey = QStringLiteral("UniqueKey");
inline const QString Columns = QStringLiteral("Columns");
inline const QString Rename = QStringLiteral("Rename");
constexpr int SqlPieceLength = 200;
constexpr int ColumnFieldCount = 24;

// The "Configuration" keys in the order they are written.
QStringList configurationKeys();
} // namespace ProjectFileLayout

// The value of a "Columns" key: the 24 settings after the name, each followed by ";".
QString columnSettingsText(const ColumnSettings& column);

// Makes the same edits to the document that writing the project key by key
// would make: the 33 configuration keys in order, the query in pieces, the
// unique keys only past step 2, then the columns and rename entries.
// Throws RuntimeError for a value the file cannot hold.
void writeProject(IniDocument& document, const Project& project, int currentStep);

// Saves the project into the file at once (the file is replaced whole).
// Throws RuntimeError when it cannot be written.
void saveProjectFile(const QString& path, const Project& project, int currentStep);

// Reads the file into the record. Each failing value (a missing key, a number
// or boolean that does not convert, a short "Columns" value) is reported to the
// central error handler under "frmMain.OpenProject"; on Ignore the field keeps
// its previous value and reading goes on, on Retry the file is read again.
// False when the file could not be opened at all (reported, and answered
// Ignore): the project is then left as it was.
bool readProjectFile(const QString& path, Project& project);

} // namespace ordwick
