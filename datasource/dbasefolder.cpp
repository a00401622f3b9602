#include "datasource/connections.h"
#include "datasource/schemamirror.h"
#include "datasource/tablefolder.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
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

// The memo file beside a table (.fpt of FoxPro, .dbt of dBase), which
// shapelib does not read. A table whose memo file is missing still gives its
// other fields; its memo fields are empty.
class MemoFile {
public:
    explicit MemoFile(const QFileInfo& table) {
        const QDir folder = table.absoluteDir();
        const QStringList found =
            folder.entryList({table.completeBaseName() + QStringLiteral(".fpt"),
                              table.completeBaseName() + QStringLiteral(".dbt")},
                             QDir::Files);
        if (found.isEmpty())
            return;
        QFile file(folder.filePath(found.first()));
        if (!file.open(QIODevice::ReadOnly))
            return;
        m_bytes = file.readAll();
        m_foxPro = found.first().endsWith(QLatin1String(".fpt"), Qt::CaseInsensitive);
        if (m_foxPro && m_bytes.size() >= 8)
            m_blockSize = qFromBigEndian<quint16>(m_bytes.constData() + 6);
        else if (!m_foxPro && m_bytes.size() >= 22 && m_bytes.at(0) != 0)
            m_blockSize = 512; // dBase III
        else if (m_bytes.size() >= 22)
            m_blockSize = qFromLittleEndian<quint16>(m_bytes.constData() + 20);
        if (m_blockSize == 0)
            m_blockSize = 512;
    }

    // The text of the memo starting at a block; empty for block 0 and for
    // anything outside the file.
    QVariant text(qint64 block) const {
        const qint64 start = block * m_blockSize;
        if (block <= 0 || start + 8 > m_bytes.size())
            return {};
        const char* at = m_bytes.constData() + start;
        QByteArray content;
        if (m_foxPro) {
            const quint32 length = qFromBigEndian<quint32>(at + 4);
            content = m_bytes.mid(start + 8, std::min<qint64>(length, m_bytes.size() - start - 8));
        } else if (static_cast<unsigned char>(at[0]) == 0xFF && at[1] == '\xFF') {
            // dBase IV: a marker, then the length including these eight bytes.
            const quint32 length = qFromLittleEndian<quint32>(at + 4);
            content = m_bytes.mid(
                start + 8, std::clamp<qint64>(qint64(length) - 8, 0, m_bytes.size() - start));
        } else {
            const qsizetype end = m_bytes.indexOf('\x1A', start);
            content = m_bytes.mid(start, (end < 0 ? m_bytes.size() : end) - start);
        }
        if (content.trimmed().isEmpty())
            return {};
        return decodeText(content);
    }

private:
    QByteArray m_bytes;
    bool m_foxPro = false;
    qint64 m_blockSize = 512;
};

// One field of a record in its raw bytes as the value its type stands for.
QVariant recordValue(const QByteArray& raw, char type, const ColumnInfo& column,
                     const MemoFile& memo) {
    switch (type) {
    case 'C':
    case 'V': {
        QByteArray text = raw;
        while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\0'))
            text.chop(1);
        return text.isEmpty() ? QVariant() : QVariant(decodeText(text));
    }
    case 'L': {
        const char flag = raw.isEmpty() ? '?' : raw.at(0);
        if (QByteArrayLiteral("TtYy").contains(flag))
            return true;
        if (QByteArrayLiteral("FfNn").contains(flag))
            return false;
        return {};
    }
    case 'D': {
        const QDate date = QDate::fromString(QString::fromLatin1(raw.trimmed()), u"yyyyMMdd");
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case 'I':
    case '+':
        return raw.size() == 4 ? QVariant(qlonglong(qFromLittleEndian<qint32>(raw.constData())))
                               : QVariant();
    case 'Y':
        return raw.size() == 8
                   ? QVariant(static_cast<double>(qFromLittleEndian<qint64>(raw.constData())) /
                              10000.0)
                   : QVariant();
    case 'B':
        if (raw.size() != 8)
            return {};
        return qFromLittleEndian<double>(raw.constData());
    case 'T':
    case '@': {
        if (raw.size() != 8)
            return {};
        const qint32 day = qFromLittleEndian<qint32>(raw.constData());
        const qint32 milliseconds = qFromLittleEndian<qint32>(raw.constData() + 4);
        if (day <= 0)
            return {};
        return QDateTime(QDate::fromJulianDay(day), QTime(0, 0).addMSecs(milliseconds));
    }
    case 'M': {
        // FoxPro keeps the block number in four bytes, dBase in ten digits.
        const qint64 block = raw.size() == 4 ? qFromLittleEndian<qint32>(raw.constData())
                                             : raw.trimmed().toLongLong();
        return memo.text(block);
    }
    case 'N':
    case 'F':
    case 'O':
        return fieldValue(column.dataType, QString::fromLatin1(raw));
    default:
        return column.dataType == adBinary ? QVariant() : QVariant(decodeText(raw.trimmed()));
    }
}

struct DbfField {
    char type = 'C';
    int offset = 0;
    int width = 0;
    ColumnInfo column;
};

class DbaseFolder final : public TableFolder {
public:
    explicit DbaseFolder(const QString& folder)
        : TableFolder(folder, {QStringLiteral("dBase tables"),
                               QStringLiteral("dBase table"),
                               {QStringLiteral("*.dbf")},
                               false}) {}

    std::vector<ColumnInfo> columns(const QString& table) override {
        // Only the header is read, so a table whose memo file is missing still
        // shows its columns; its memo text is what cannot be read.
        const QFileInfo file = fileOf(table);
        std::vector<ColumnInfo> result;
        for (DbfField& field : fields(open(file).get(), shownPath(file.filePath())))
            result.push_back(std::move(field.column));
        return result;
    }

    // Deleted records are left out, as the driver leaves them out.
    TableRows readRows(const QString& table) override {
        const QFileInfo file = fileOf(table);
        const QString shown = shownPath(file.filePath());
        const auto dbf = open(file);
        const std::vector<DbfField> layout = fields(dbf.get(), shown);
        const MemoFile memo(file);
        TableRows result;
        for (const DbfField& field : layout)
            result.columns.push_back(field.column);
        const int count = DBFGetRecordCount(dbf.get());
        for (int record = 0; record < count; ++record) {
            if (DBFIsRecordDeleted(dbf.get(), record))
                continue;
            const char* tuple = DBFReadTuple(dbf.get(), record);
            if (!tuple)
                throw RuntimeError(DataError::GeneralFailure,
                                   QStringLiteral("Record %1 of the dBase table \"%2\" cannot be "
                                                  "read; the file is damaged.")
                                       .arg(record + 1)
                                       .arg(shown));
            QVariantList row;
            for (const DbfField& field : layout)
                row.append(recordValue(QByteArray(tuple + field.offset, field.width), field.type,
                                       field.column, memo));
            result.rows.push_back(std::move(row));
        }
        return result;
    }

private:
    static std::unique_ptr<DBFInfo, DbfCloser> open(const QFileInfo& file) {
        std::unique_ptr<DBFInfo, DbfCloser> dbf(
            DBFOpen(QFile::encodeName(file.absoluteFilePath()).constData(), "rb"));
        if (!dbf)
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The dBase table \"%1\" cannot be read; it is damaged "
                               "or not a dBase file.")
                    .arg(shownPath(file.filePath())));
        return dbf;
    }

    // The fields shown as columns, with where each lies in a record (after
    // the deletion flag).
    static std::vector<DbfField> fields(DBFInfo* dbf, const QString& shown) {
        std::vector<DbfField> result;
        const int count = DBFGetFieldCount(dbf);
        int offset = 1;
        for (int field = 0; field < count; ++field) {
            char name[XBASE_FLDNAME_LEN_READ + 1] = {};
            int width = 0;
            int decimals = 0;
            if (DBFGetFieldInfo(dbf, field, name, &width, &decimals) == FTInvalid)
                throw RuntimeError(
                    DataError::GeneralFailure,
                    QStringLiteral("Field %1 of the dBase table \"%2\" cannot be read.")
                        .arg(field + 1)
                        .arg(shown));
            const char type = DBFGetNativeFieldType(dbf, field);
            if (std::optional<ColumnInfo> column =
                    fieldInfo(decodeText(QByteArray(name)).trimmed(), type, width, decimals))
                result.push_back({type, offset, width, std::move(*column)});
            offset += width;
        }
        return result;
    }
};

} // namespace

std::unique_ptr<DataConnection> openDbaseFolder(const QString& folder) {
    return std::make_unique<DbaseFolder>(folder);
}

} // namespace ordwick
