#pragma once

#include "datasource/dataconnection.h"

#include <QString>
#include <memory>

namespace ordwick {

// The readers behind openConnection(), one per kind of source. Each throws
// RuntimeError with DataError::GeneralFailure when the source cannot be opened.

// An Access database (.mdb), read with mdbtools.
std::unique_ptr<DataConnection> openAccessFile(const QString& path, const QString& user,
                                               const QString& password);
// An Excel workbook (.xls, BIFF), read with FreeXL: every worksheet a table.
std::unique_ptr<DataConnection> openExcelFile(const QString& path);
// A folder of dBase tables (.dbf), read with shapelib: every .dbf file a table.
std::unique_ptr<DataConnection> openDbaseFolder(const QString& folder);
// A folder of text tables: every .txt, .csv, .asc and .tab file a table.
std::unique_ptr<DataConnection> openTextFolder(const QString& folder);
// An SQLite database file.
std::unique_ptr<DataConnection> openSqliteFile(const QString& path);
// Any other connection string, through unixODBC.
std::unique_ptr<DataConnection> openOdbc(const QString& connectionString,
                                         const ConnectOptions& options);

} // namespace ordwick
