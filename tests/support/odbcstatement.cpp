#include "odbcstatement.h"

#include <QByteArray>
#include <sql.h>
#include <sqlext.h>

namespace ordwick::test {

bool executeOnOdbc(const QString& connection, const QString& statement) {
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC database = SQL_NULL_HDBC;
    SQLHSTMT command = SQL_NULL_HSTMT;
    bool ok = SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)) &&
              SQL_SUCCEEDED(SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                                          reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) &&
              SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &database));
    QByteArray text = connection.toUtf8();
    ok = ok &&
         SQL_SUCCEEDED(SQLDriverConnect(database, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                        SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    QByteArray sql = statement.toUtf8();
    ok = ok && SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, database, &command)) &&
         SQL_SUCCEEDED(SQLExecDirect(command, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS));
    if (command != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, command);
    if (database != SQL_NULL_HDBC) {
        SQLDisconnect(database);
        SQLFreeHandle(SQL_HANDLE_DBC, database);
    }
    if (environment != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return ok;
}

} // namespace ordwick::test
