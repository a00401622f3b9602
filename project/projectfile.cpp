#include "project/projectfile.h"

#include "foundation/convert.h"
#include "foundation/inidocument.h"
#include "foundation/runtimeerror.h"
#include "foundation/trap.h"
#include "project/columnnamecodec.h"

#include <QFile>
#include <array>
#include <variant>

namespace ordwick {

namespace {

// Integers read from the file are checked against the range the classic file
// format gives them.
enum class Width { Int16, Int32 };

template <typename Record> struct Field {
    using Member = std::variant<QString Record::*, bool Record::*, std::int32_t Record::*>;
    QLatin1String key;
    Member member;
    Width width = Width::Int32;
};

using ConfigField = Field<Project>;
using ColumnField = Field<ColumnSettings>;

const std::array<ConfigField, 33> kConfiguration = {{
    {QLatin1String("DatasourceStatus"), &Project::DatasourceStatus, Width::Int16},
    {QLatin1String("DatasourceType"), &Project::DatasourceType, Width::Int16},
    {QLatin1String("DatabaseName"), &Project::DatabaseName},
    {QLatin1String("TableName"), &Project::TableName},
    {QLatin1String("DBLogin"), &Project::DBLogin},
    {QLatin1String("DBPassword"), &Project::DBPassword},
    {QLatin1String("ConnectionString"), &Project::ConnectionString},
    {QLatin1String("SQLWhereString"), &Project::SQLWhereString},
    {QLatin1String("EnableAppend"), &Project::EnableAppend},
    {QLatin1String("EditAs"), &Project::EditAs},
    {QLatin1String("EnableDelete"), &Project::EnableDelete},
    {QLatin1String("SimpleSearch"), &Project::SimpleSearch},
    {QLatin1String("AdvancedSearch"), &Project::AdvancedSearch},
    {QLatin1String("InitialSort"), &Project::InitialSort},
    {QLatin1String("PageSupport"), &Project::PageSupport},
    {QLatin1String("LoginPage"), &Project::LoginPage},
    {QLatin1String("SelectedTemplate"), &Project::SelectedTemplate},
    {QLatin1String("PrinterFriendlyVersion"), &Project::PrinterFriendlyVersion},
    {QLatin1String("ExportOption"), &Project::ExportOption},
    {QLatin1String("RecordsPerPage"), &Project::RecordsPerPage},
    {QLatin1String("RecordsPerPageID"), &Project::RecordsPerPageID},
    {QLatin1String("SortColumnBy"), &Project::SortColumnBy},
    {QLatin1String("SortColumnID"), &Project::SortColumnID},
    {QLatin1String("ShowMoreLink"), &Project::ShowMoreLink},
    {QLatin1String("ShowMoreLinkID"), &Project::ShowMoreLinkID},
    {QLatin1String("DynamicStaticLogin"), &Project::DynamicStaticLogin},
    {QLatin1String("CodeLoginName"), &Project::CodeLoginName},
    {QLatin1String("CodeLoginPassword"), &Project::CodeLoginPassword},
    {QLatin1String("DynamicTable"), &Project::DynamicTable},
    {QLatin1String("DynamicLoginName"), &Project::DynamicLoginName},
    {QLatin1String("DynamicLoginPassword"), &Project::DynamicLoginPassword},
    {QLatin1String("DestinationPath"), &Project::DestinationPath},
    {QLatin1String("CopyDatabase"), &Project::CopyDatabase},
}};

const std::array<ColumnField, ProjectFileLayout::ColumnFieldCount> kColumnFields = {{
    {QLatin1String("DataType"), &ColumnSettings::DataType, Width::Int16},
    {QLatin1String("Position"), &ColumnSettings::Position},
    {QLatin1String("ListCaption"), &ColumnSettings::ListCaption},
    {QLatin1String("ListBold"), &ColumnSettings::ListBold},
    {QLatin1String("ListItalic"), &ColumnSettings::ListItalic},
    {QLatin1String("ListUnderline"), &ColumnSettings::ListUnderline},
    {QLatin1String("ListAlignment"), &ColumnSettings::ListAlignment, Width::Int16},
    {QLatin1String("EditCaption"), &ColumnSettings::EditCaption},
    {QLatin1String("EditBold"), &ColumnSettings::EditBold},
    {QLatin1String("EditItalic"), &ColumnSettings::EditItalic},
    {QLatin1String("EditUnderline"), &ColumnSettings::EditUnderline},
    {QLatin1String("EditAlignment"), &ColumnSettings::EditAlignment, Width::Int16},
    {QLatin1String("ListDisplay"), &ColumnSettings::ListDisplay},
    {QLatin1String("EditDisplay"), &ColumnSettings::EditDisplay},
    {QLatin1String("Required"), &ColumnSettings::Required},
    {QLatin1String("InSimpleSearch"), &ColumnSettings::InSimpleSearch},
    {QLatin1String("InAdvancedSearch"), &ColumnSettings::InAdvancedSearch},
    {QLatin1String("FieldWidth"), &ColumnSettings::FieldWidth},
    {QLatin1String("MaxLength"), &ColumnSettings::MaxLength},
    {QLatin1String("DefaultValue"), &ColumnSettings::DefaultValue},
    {QLatin1String("EditType"), &ColumnSettings::EditType, Width::Int16},
    {QLatin1String("ValidationType"), &ColumnSettings::ValidationType, Width::Int16},
    {QLatin1String("Details"), &ColumnSettings::Details},
    {QLatin1String("Reserved"), &ColumnSettings::Reserved, Width::Int16},
}};

template <typename Record> QString fieldText(const Record& record, const Field<Record>& field) {
    return std::visit(
        [&](auto member) -> QString {
            const auto& value = record.*member;
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, QString>)
                return value;
            else if constexpr (std::is_same_v<Value, bool>)
                return boolText(value);
            else
                return QString::number(value);
        },
        field.member);
}

// Converts first and assigns after, so a failed conversion leaves the field as it was.
template <typename Record>
void assignField(Record& record, const Field<Record>& field, const QString& text) {
    std::visit(
        [&](auto member) {
            auto& target = record.*member;
            using Value = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<Value, QString>)
                target = text;
            else if constexpr (std::is_same_v<Value, bool>)
                target = toBool(text);
            else
                target = field.width == Width::Int16 ? toInt16(text) : toInt32(text);
        },
        field.member);
}

QString numberedKey(qsizetype index) {
    return QString::number(index + 1);
}

// Cuts the query into pieces of 200 characters without ever separating the
// two halves of a character outside the basic plane.
QStringList sqlPieces(const QString& sql) {
    QStringList pieces;
    qsizetype start = 0;
    while (start < sql.size()) {
        qsizetype length = qMin<qsizetype>(ProjectFileLayout::SqlPieceLength, sql.size() - start);
        if (start + length < sql.size() && sql.at(start + length - 1).isHighSurrogate())
            --length;
        pieces.append(sql.mid(start, length));
        start += length;
    }
    return pieces;
}

// A query may run over several lines (a "--" comment ends at its line break),
// but an INI value is one line. Such a text is stored as one line plus the
// places of its breaks ("12,40": a line break stood before the characters 12
// and 40 of the text), so that one-line queries are stored exactly as ever.
const QString kSqlLineBreaks = QStringLiteral("LineBreaks");
const QString kWhereLineBreaks = QStringLiteral("SQLWhereLineBreaks");

struct FlatText {
    QString line;
    QString breaks;
};

FlatText flattened(const QString& text) {
    QString normal = text;
    // An INI value holds no NUL; dropped here, not by the document, so that
    // the places of the breaks count the characters that are stored.
    normal.remove(QChar(u'\0'))
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FlatText flat;
    QStringList breaks;
    for (qsizetype i = 0; i < normal.size(); ++i) {
        if (normal.at(i) == u'\n')
            breaks.append(QString::number(i));
        else
            flat.line.append(normal.at(i));
    }
    flat.breaks = breaks.join(QLatin1Char(','));
    return flat;
}

QString unflattened(const QString& line, const QString& breaks) {
    QString text = line;
    for (const QString& place : breaks.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qsizetype at = place.trimmed().toLongLong(&ok);
        if (!ok || at < 0 || at > text.size())
            throw RuntimeError(ErrorNumber::TypeMismatch,
                               QStringLiteral("The project file's line breaks \"%1\" do not fit "
                                              "its query.")
                                   .arg(breaks));
        text.insert(at, QLatin1Char('\n'));
    }
    return text;
}

const QString kOpenSource = QStringLiteral("frmMain.OpenProject");

class ProjectFileReader {
public:
    ProjectFileReader(const QString& path, Project& project)
        : m_path(path), m_project(project), m_document(IniDocument::load(path)) {}

    void read() {
        readConfiguration();
        step([&] {
            if (const auto breaks =
                    m_document.value(ProjectFileLayout::Configuration, kWhereLineBreaks))
                m_project.SQLWhereString = unflattened(m_project.SQLWhereString, *breaks);
        });
        readSqlString();
        readUniqueKey();
        readColumns();
        readRename();
    }

private:
    // One trapped statement; a Retry reads the file again first, so that a
    // file mended meanwhile is seen.
    template <typename Statement> bool step(Statement&& statement) {
        bool retrying = false;
        return Trap(kOpenSource, [&] {
            if (retrying)
                m_document = IniDocument::load(m_path);
            retrying = true;
            statement();
        });
    }

    QString required(const QString& section, const QString& key) const {
        const std::optional<QString> value = m_document.value(section, key);
        if (!value) {
            throw RuntimeError(ErrorNumber::TypeMismatch,
                               QStringLiteral("The project file has no key \"%1\" in section "
                                              "[%2].")
                                   .arg(key, section));
        }
        return *value;
    }

    void readConfiguration() {
        for (const ConfigField& field : kConfiguration) {
            step([&] {
                const QString key = field.key;
                // A missing text reads as empty, as a profile read would give it;
                // only a number or a flag that cannot be read is worth a report.
                if (std::holds_alternative<QString Project::*>(field.member) &&
                    !m_document.value(ProjectFileLayout::Configuration, key)) {
                    assignField(m_project, field, QString());
                    return;
                }
                const QString text = required(ProjectFileLayout::Configuration, key);
                try {
                    assignField(m_project, field, text);
                } catch (const RuntimeError& error) {
                    throw RuntimeError(
                        error.number(),
                        QStringLiteral("%1 (key \"%2\")").arg(error.description(), key));
                }
            });
        }
    }

    void readSqlString() {
        QString sql;
        const QStringList keys = m_document.keys(ProjectFileLayout::SqlString);
        const qsizetype count =
            keys.size() - (keys.contains(kSqlLineBreaks, Qt::CaseInsensitive) ? 1 : 0);
        for (qsizetype i = 0; i < count; ++i) {
            step([&] {
                sql +=
                    m_document
                        .value(ProjectFileLayout::SqlString, QStringLiteral("SQL") + numberedKey(i))
                        .value_or(QString());
            });
        }
        step([&] {
            m_project.SQLString = unflattened(
                sql,
                m_document.value(ProjectFileLayout::SqlString, kSqlLineBreaks).value_or(QString()));
        });
    }

    void readUniqueKey() {
        QStringList keys;
        const qsizetype count = m_document.keys(ProjectFileLayout::UniqueKey).size();
        for (qsizetype i = 0; i < count; ++i) {
            step([&] {
                keys.append(columnNameFromStored(
                    m_document.value(ProjectFileLayout::UniqueKey, numberedKey(i))
                        .value_or(QString())));
            });
        }
        m_project.UniqueKey = keys;
    }

    void readColumns() {
        std::vector<ColumnSettings> columns;
        const QStringList storedNames = m_document.keys(ProjectFileLayout::Columns);
        columns.reserve(static_cast<size_t>(storedNames.size()));
        for (const QString& storedName : storedNames) {
            ColumnSettings column;
            column.ColumnName = columnNameFromStored(storedName);
            readColumn(column, storedName);
            columns.push_back(std::move(column));
        }
        m_project.Columns = std::move(columns);
    }

    void readColumn(ColumnSettings& column, const QString& storedName) {
        QStringList parts;
        step([&] {
            parts = m_document.value(ProjectFileLayout::Columns, storedName)
                        .value_or(QString())
                        .split(QLatin1Char(';'));
            // Every field is followed by ";", so the text after the last one is no field.
            if (parts.last().isEmpty())
                parts.removeLast();
            if (parts.size() < ProjectFileLayout::ColumnFieldCount) {
                throw RuntimeError(
                    ErrorNumber::SubscriptOutOfRange,
                    QStringLiteral("Subscript out of range: the settings of column \"%1\" hold "
                                   "%2 of %3 fields.")
                        .arg(column.ColumnName)
                        .arg(parts.size())
                        .arg(ProjectFileLayout::ColumnFieldCount));
            }
        });
        const qsizetype available = qMin<qsizetype>(parts.size(), kColumnFields.size());
        for (qsizetype i = 0; i < available; ++i) {
            const ColumnField& field = kColumnFields[static_cast<size_t>(i)];
            step([&] {
                try {
                    assignField(column, field, parts.at(i));
                } catch (const RuntimeError& error) {
                    throw RuntimeError(
                        error.number(),
                        QStringLiteral("%1 (column \"%2\", %3)")
                            .arg(error.description(), column.ColumnName, QString(field.key)));
                }
            });
        }
    }

    void readRename() {
        QStringList entries;
        const QStringList keys = m_document.keys(ProjectFileLayout::Rename);
        for (const QString& key : keys) {
            step([&] {
                entries.append(
                    m_document.value(ProjectFileLayout::Rename, key).value_or(QString()));
            });
        }
        m_project.Rename = entries;
    }

    QString m_path;
    Project& m_project;
    IniDocument m_document;
};

} // namespace

QStringList ProjectFileLayout::configurationKeys() {
    QStringList keys;
    for (const ConfigField& field : kConfiguration)
        keys.append(field.key);
    return keys;
}

QString columnSettingsText(const ColumnSettings& column) {
    QString text;
    for (const ColumnField& field : kColumnFields) {
        text += fieldText(column, field);
        text += QLatin1Char(';');
    }
    return text;
}

void writeProject(IniDocument& document, const Project& project, int currentStep) {
    const FlatText where = flattened(project.SQLWhereString);
    Project flat = project;
    flat.SQLWhereString = where.line;
    for (const ConfigField& field : kConfiguration)
        document.setValue(ProjectFileLayout::Configuration, field.key, fieldText(flat, field));
    if (where.breaks.isEmpty())
        document.deleteKey(ProjectFileLayout::Configuration, kWhereLineBreaks);
    else
        document.setValue(ProjectFileLayout::Configuration, kWhereLineBreaks, where.breaks);

    document.deleteSection(ProjectFileLayout::SqlString);
    const FlatText sql = flattened(project.SQLString);
    const QStringList pieces = sqlPieces(sql.line);
    for (qsizetype i = 0; i < pieces.size(); ++i)
        document.setValue(ProjectFileLayout::SqlString, QStringLiteral("SQL") + numberedKey(i),
                          pieces.at(i));
    if (!sql.breaks.isEmpty())
        document.setValue(ProjectFileLayout::SqlString, kSqlLineBreaks, sql.breaks);

    // Before the table is chosen the unique keys on screen mean nothing yet, so
    // the file keeps the ones it has.
    if (currentStep > 2) {
        document.deleteSection(ProjectFileLayout::UniqueKey);
        for (qsizetype i = 0; i < project.UniqueKey.size(); ++i)
            document.setValue(ProjectFileLayout::UniqueKey, numberedKey(i),
                              storedColumnName(project.UniqueKey.at(i)));
    }

    document.deleteSection(ProjectFileLayout::Columns);
    for (const ColumnSettings& column : project.Columns)
        document.setValue(ProjectFileLayout::Columns, storedColumnName(column.ColumnName),
                          columnSettingsText(column));

    document.deleteSection(ProjectFileLayout::Rename);
    for (qsizetype i = 0; i < project.Rename.size(); ++i)
        document.setValue(ProjectFileLayout::Rename, numberedKey(i), project.Rename.at(i));
}

void saveProjectFile(const QString& path, const Project& project, int currentStep) {
    IniDocument document = IniDocument::load(path);
    writeProject(document, project, currentStep);
    document.save(path);
}

bool readProjectFile(const QString& path, Project& project) {
    const bool readable = Trap(kOpenSource, [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("Path/File access error: cannot read \"%1\" (%2)")
                                   .arg(path, file.errorString()));
        }
    });
    if (readable)
        ProjectFileReader(path, project).read();
    return readable;
}

} // namespace ordwick
