// Connection strings: any text reads, and the string handed to ODBC reads as
// the same pairs again.
#include "datasource/connectionbuilder.h"
#include "datasource/connectionstring.h"
#include "datasource/sqlnames.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"

namespace ordwick::fuzz {

void connectionString(const QByteArray& data) {
    constexpr char kTarget[] = "connection_string";
    const QString text = QString::fromUtf8(data);
    const ConnectionString parts(text);
    const QString normalized = parts.normalized();
    const ConnectionString again(normalized);
    require(again.normalized() == normalized, kTarget, [&] {
        return QStringLiteral("\"%1\" is handed on as \"%2\", which reads as \"%3\"")
            .arg(text, normalized, again.normalized());
    });
    for (const char* key : {"DRIVER", "DBQ", "Database", "UID", "PWD", "Provider", "Data Source"}) {
        const QString name = QLatin1String(key);
        require(again.has(name) == parts.has(name) && again.value(name) == parts.value(name),
                kTarget, [&] {
                    return QStringLiteral("\"%1\" reads %2 as \"%3\", handed on as \"%4\"")
                        .arg(text, name, parts.value(name), again.value(name));
                });
    }
    const std::int32_t family = classifyDriver(parts.value(QStringLiteral("DRIVER")));
    require(family >= FamilyAccess && family <= FamilyOtherSql, kTarget,
            [&] { return QStringLiteral("driver family %1 is none").arg(family); });
    nameQuotingFor(family, text);
    classifyDataFile(parts.value(QStringLiteral("DBQ")), family);
}

} // namespace ordwick::fuzz
