#include "wizard/loginstep.h"

namespace ordwick::LoginStep {

bool acceptsType(int adoType) {
    switch (adoType) {
    case adInteger:
    case adSingle:
    case adDouble:
    case adBoolean:
    case adTinyInt:
    case adBigInt:
    case adBinary:
    case adChar:
    case adWChar:
    case adNumeric:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
        return true;
    default:
        return false;
    }
}

QStringList fieldNames(const std::vector<ColumnInfo>& columns) {
    QStringList names;
    for (const ColumnInfo& column : columns) {
        if (acceptsType(column.dataType))
            names.append(column.name);
    }
    return names;
}

bool lacksField(const LoginChoice& choice) {
    return !choice.table.isEmpty() &&
           (choice.loginField.isEmpty() || choice.passwordField.isEmpty());
}

QString lacksFieldNote() {
    return QStringLiteral("Choose both a login field and a password field to read the logins "
                          "from the table; until then the fixed login name and password are used.");
}

LoginChoice of(const Project& p) {
    return {p.CodeLoginName, p.CodeLoginPassword, p.DynamicTable, p.DynamicLoginName,
            p.DynamicLoginPassword};
}

void apply(Project& p, const LoginChoice& choice) {
    if (!choice.table.isEmpty()) {
        p.DynamicStaticLogin = !choice.loginField.isEmpty() && !choice.passwordField.isEmpty();
        p.DynamicTable = choice.table;
        p.DynamicLoginName = choice.loginField;
        p.DynamicLoginPassword = choice.passwordField;
    }
    p.CodeLoginName = choice.name.trimmed();
    p.CodeLoginPassword = choice.password.trimmed();
}

} // namespace ordwick::LoginStep
