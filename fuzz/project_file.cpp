// The project file: any file reads without a crash, and what was read, once
// written, reads back the same every time after (column records, column-name
// codec and rename list included). A project made of any values the file can
// hold reads back equal.
#include "foundation/inidocument.h"
#include "foundation/runtimeerror.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "project/columnnamecodec.h"
#include "project/projectfile.h"

#include <QFile>
#include <QSet>

namespace ordwick::fuzz {

namespace {

// Writes the project into a new file and reads it back; empty when a value
// is one the file refuses (a line break in a one-line field).
std::optional<Project> writtenAndRead(const Project& project, const char* target) {
    const QString path = scratchFolder() + QStringLiteral("/written.pjx");
    QFile::remove(path);
    try {
        saveProjectFile(path, project, 10);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
    Project read;
    require(readProjectFile(path, read), target,
            [&] { return QStringLiteral("a written project cannot be read"); });
    return read;
}

// Where two projects differ, as the lines of their files.
QString difference(const Project& expected, const Project& read) {
    IniDocument a;
    IniDocument b;
    try {
        writeProject(a, expected, 10);
        writeProject(b, read, 10);
    } catch (const RuntimeError& error) {
        return error.description();
    }
    const QStringList left = QString::fromUtf8(a.toBytes()).split(QStringLiteral("\r\n"));
    const QStringList right = QString::fromUtf8(b.toBytes()).split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        if (left.value(i) != right.value(i))
            return QStringLiteral("expected \"%1\", read \"%2\"")
                .arg(left.value(i), right.value(i));
    }
    return QStringLiteral("the same lines, other values");
}

void requireNameCodec(const QString& name, const char* target) {
    const QString stored = storedColumnName(name);
    require(columnNameFromStored(stored) == name, target, [&] {
        return QStringLiteral("column name \"%1\" is stored as \"%2\", which reads back otherwise")
            .arg(name, stored);
    });
    require(!stored.trimmed().isEmpty() && stored == stored.trimmed() &&
                !stored.contains(QLatin1Char('=')) && !stored.contains(QLatin1Char('\n')) &&
                !stored.contains(QLatin1Char('\r')) && !stored.startsWith(QLatin1Char(';')) &&
                !stored.startsWith(QLatin1Char('#')) && !stored.startsWith(QLatin1Char('[')),
            target, [&] {
                return QStringLiteral("column name \"%1\" is stored as \"%2\", no INI key")
                    .arg(name, stored);
            });
}

} // namespace

void projectFile(const QByteArray& data) {
    constexpr char kTarget[] = "project_file";
    Project first;
    require(readProjectFile(scratchFile(QStringLiteral("project.pjx"), data), first), kTarget,
            [&] { return QStringLiteral("an existing file was not read"); });
    for (const ColumnSettings& column : first.Columns)
        requireNameCodec(column.ColumnName, kTarget);
    // The first writing may settle what the file said twice (a key given in
    // two letter cases); from then on a project reads back as written.
    const std::optional<Project> second = writtenAndRead(first, kTarget);
    if (!second)
        return;
    const std::optional<Project> third = writtenAndRead(*second, kTarget);
    require(third.has_value(), kTarget,
            [&] { return QStringLiteral("a project read from a file cannot be written again"); });
    require(*third == *second, kTarget, [&] {
        return QStringLiteral("a written project reads back otherwise: %1")
            .arg(difference(*second, *third));
    });
}

namespace {

// A query as the file gives it back: every line break a "\n", and no NUL
// characters, which an INI value cannot hold.
QString storableQuery(QString text) {
    return text.remove(QChar(u'\0'))
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// A field of a column record cannot hold ";", which separates them; the
// wizard refuses it.
QString fieldText(InputReader& in) {
    return oneLine(in.text(24)).remove(QLatin1Char(';'));
}

ColumnSettings column(InputReader& in) {
    ColumnSettings c;
    c.ColumnName = in.text(24);
    c.DataType = in.int16();
    c.Position = in.int32();
    c.ListCaption = fieldText(in);
    c.ListBold = in.flag();
    c.ListItalic = in.flag();
    c.ListUnderline = in.flag();
    c.ListAlignment = in.int16();
    c.EditCaption = fieldText(in);
    c.EditBold = in.flag();
    c.EditItalic = in.flag();
    c.EditUnderline = in.flag();
    c.EditAlignment = in.int16();
    c.ListDisplay = in.flag();
    c.EditDisplay = in.flag();
    c.Required = in.flag();
    c.InSimpleSearch = in.flag();
    c.InAdvancedSearch = in.flag();
    c.FieldWidth = in.int32();
    c.MaxLength = in.int32();
    c.DefaultValue = fieldText(in);
    c.EditType = in.int16();
    c.ValidationType = in.int16();
    c.Details = fieldText(in);
    c.Reserved = in.int16();
    return c;
}

Project project(InputReader& in) {
    Project p;
    p.DatasourceStatus = in.int16();
    p.DatasourceType = in.int16();
    p.DatabaseName = oneLine(in.text());
    p.TableName = oneLine(in.text());
    p.DBLogin = oneLine(in.text(16));
    p.DBPassword = oneLine(in.text(16));
    p.ConnectionString = oneLine(in.text());
    p.SQLString = in.text(120);
    p.SQLWhereString = in.text(120);
    p.EnableAppend = in.flag();
    p.EditAs = in.flag();
    p.EnableDelete = in.flag();
    p.SimpleSearch = in.flag();
    p.AdvancedSearch = in.flag();
    p.InitialSort = in.flag();
    p.PageSupport = in.flag();
    p.LoginPage = in.flag();
    p.SelectedTemplate = oneLine(in.text(16));
    p.PrinterFriendlyVersion = in.flag();
    p.ExportOption = in.flag();
    p.RecordsPerPage = in.flag();
    p.RecordsPerPageID = in.int32();
    p.SortColumnBy = in.flag();
    p.SortColumnID = oneLine(in.text(32));
    p.ShowMoreLink = in.flag();
    p.ShowMoreLinkID = in.int32();
    p.DynamicStaticLogin = in.flag();
    p.CodeLoginName = oneLine(in.text(16));
    p.CodeLoginPassword = oneLine(in.text(16));
    p.DynamicTable = oneLine(in.text(16));
    p.DynamicLoginName = oneLine(in.text(16));
    p.DynamicLoginPassword = oneLine(in.text(16));
    p.DestinationPath = oneLine(in.text());
    p.CopyDatabase = in.flag();
    for (int keys = in.byte() % 4; keys > 0; --keys)
        p.UniqueKey.append(in.text(16));
    // The file keys a column by its name without regard to case, so a table's
    // columns differ in more than letter case.
    QSet<QString> taken;
    for (int columns = in.byte() % 8; columns > 0 && !in.atEnd(); --columns) {
        ColumnSettings c = column(in);
        if (taken.contains(storedColumnName(c.ColumnName).toCaseFolded()))
            continue;
        taken.insert(storedColumnName(c.ColumnName).toCaseFolded());
        p.Columns.push_back(std::move(c));
    }
    for (int entries = in.byte() % 4; entries > 0; --entries)
        p.Rename.append(oneLine(in.text(40)));
    return p;
}

} // namespace

void projectRecord(const QByteArray& data) {
    constexpr char kTarget[] = "project_record";
    InputReader in(data);
    const Project written = project(in);
    for (const ColumnSettings& c : written.Columns)
        requireNameCodec(c.ColumnName, kTarget);
    for (const QString& key : written.UniqueKey)
        requireNameCodec(key, kTarget);
    Project expected = written;
    expected.SQLString = storableQuery(expected.SQLString);
    expected.SQLWhereString = storableQuery(expected.SQLWhereString);
    const std::optional<Project> read = writtenAndRead(written, kTarget);
    require(read.has_value(), kTarget,
            [&] { return QStringLiteral("a project of storable values was refused"); });
    require(*read == expected, kTarget, [&] {
        return QStringLiteral("a written project reads back otherwise: %1")
            .arg(difference(expected, *read));
    });
}

} // namespace ordwick::fuzz
