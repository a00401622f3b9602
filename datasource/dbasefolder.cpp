#include "datasource/connections.h"
#include "datasource/schemamirror.h"
#include "datasource/tablefolder.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <shapefil.h>

namespace ordwick {

namespace {

struct DbfCloser {
    void operator()(DBFInfo* dbf) const { DBFClose(dbf); }
};

// The codes the desktop driver reports for dBase, FoxPro and Clipper fields.
// N holds decimal digits as text: whole numbers of up to nine digits fit a
// long integer, anything wider or with decimals stays an exact numeric. F is
// a float by definition. Currency is numeric, as it is for Access.
std::optional<ColumnInfo> fieldInfo(const QString& name, char type, int width, int decimals) {
    switch (type) {
    case 'C':
    case 'V':
        return ColumnInfo{name, adChar, width};
    case 'M':
        return ColumnInfo{name, adChar, kLongTextLength};
    case 'N':
        if (decimals == 0 && width <= 9)
            return ColumnInfo{name, adInteger, std::nullopt};
        return ColumnInfo{name, adNumeric, std::nullopt};
    case 'F':
    case 'O':
        return ColumnInfo{name, adDouble, std::nullopt};
    case 'B':
        // A FoxPro double is 8 bytes wide; in dBase the letter means a binary memo.
        return ColumnInfo{name, width == 8 ? adDouble : adBinary, std::nullopt};
    case 'I':
    case '+':
        return ColumnInfo{name, adInteger, std::nullopt};
    case 'Y':
        return ColumnInfo{name, adNumeric, std::nullopt};
    case 'L':
        return ColumnInfo{name, adBoolean, std::nullopt};
    case 'D':
        return ColumnInfo{name, adDBDate, std::nullopt};
    case 'T':
    case '@':
        return ColumnInfo{name, adDBTimeStamp, std::nullopt};
    case 'G':
    case 'P':
    case 'W':
    case 'Q':
        return ColumnInfo{name, adBinary, std::nullopt};
    case '0':
        // FoxPro's own record of which fields are null, never shown.
        return std::nullopt;
    default:
        return ColumnInfo{name, adChar, width};
    }
}

class DbaseFolder final : public TableFolder {
public:
    explicit DbaseFolder(const QString& folder)
        : TableFolder(folder, {QStringLiteral("dBase tables"),
                               QStringLiteral("dBase table"),
                               {QStringLiteral("*.dbf")},
                               false}) {}

    std::vector<ColumnInfo> columns(const QString& table) override {
        const QFileInfo file = fileOf(table);
        const QString shown = shownPath(file.filePath());
        // Only the header is read, so a table whose memo file is missing still
        // shows its columns; its memo text is what cannot be read.
        const std::unique_ptr<DBFInfo, DbfCloser> dbf(
            DBFOpen(QFile::encodeName(file.absoluteFilePath()).constData(), "rb"));
        if (!dbf)
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The dBase table \"%1\" cannot be read; it is damaged "
                               "or not a dBase file.")
                    .arg(shown));
        std::vector<ColumnInfo> result;
        const int count = DBFGetFieldCount(dbf.get());
        for (int field = 0; field < count; ++field) {
            char name[XBASE_FLDNAME_LEN_READ + 1] = {};
            int width = 0;
            int decimals = 0;
            if (DBFGetFieldInfo(dbf.get(), field, name, &width, &decimals) == FTInvalid)
                throw RuntimeError(
                    DataError::GeneralFailure,
                    QStringLiteral("Field %1 of the dBase table \"%2\" cannot be read.")
                        .arg(field + 1)
                        .arg(shown));
            const char type = DBFGetNativeFieldType(dbf.get(), field);
            if (std::optional<ColumnInfo> column =
                    fieldInfo(decodeText(QByteArray(name)).trimmed(), type, width, decimals))
                result.push_back(std::move(*column));
        }
        return result;
    }
};

} // namespace

std::unique_ptr<DataConnection> openDbaseFolder(const QString& folder) {
    return std::make_unique<DbaseFolder>(folder);
}

} // namespace ordwick
