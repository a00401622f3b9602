#pragma once

#include "datasource/dataconnection.h"
#include "project/project.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ordwick {

// What the "Login" step shows: the fixed name and password, or the table and
// its two fields the logins are read from. An empty table or field is one
// that is not selected.
struct LoginChoice {
    QString name;
    QString password;
    QString table;
    QString loginField;
    QString passwordField;
};

namespace LoginStep {

// Types a login or password field can have: numbers, booleans, text, dates.
bool acceptsType(int adoType);
// The names of the columns that can hold a login or a password, in order.
QStringList fieldNames(const std::vector<ColumnInfo>& columns);

// A table without both fields cannot check logins: the fixed login stays in
// force and the step says so.
bool lacksField(const LoginChoice& choice);
QString lacksFieldNote();

LoginChoice of(const Project& project);
// Stores the choice: with a table, the login comes from it exactly when both
// fields are chosen; the fixed texts are stored trimmed.
void apply(Project& project, const LoginChoice& choice);

} // namespace LoginStep

} // namespace ordwick
