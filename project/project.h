#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace ordwick {

// The settings of one included table column. The defaults are those a column
// gets when it is first included.
struct ColumnSettings {
    QString ColumnName;
    std::int32_t DataType = 0;
    std::int32_t Position = 0;
    QString ListCaption;
    bool ListBold = false;
    bool ListItalic = false;
    bool ListUnderline = false;
    std::int32_t ListAlignment = 0;
    QString EditCaption;
    bool EditBold = false;
    bool EditItalic = false;
    bool EditUnderline = false;
    std::int32_t EditAlignment = 0;
    bool ListDisplay = true;
    bool EditDisplay = true;
    bool Required = true;
    bool InSimpleSearch = true;
    bool InAdvancedSearch = true;
    std::int32_t FieldWidth = 30;
    std::int32_t MaxLength = 0;
    QString DefaultValue;
    std::int32_t EditType = 0;
    std::int32_t ValidationType = 0;
    QString Details;
    std::int32_t Reserved = 0;

    bool operator==(const ColumnSettings&) const = default;
};

// Data source kinds.
enum DatasourceKind : std::int32_t {
    DatasourceFile = 1,
    DatasourceDsn = 2,
    DatasourceConnection = 3
};

// One generation project. A default-constructed record is the empty project.
struct Project {
    std::int32_t DatasourceStatus = DatasourceFile;
    std::int32_t DatasourceType = 1;
    QString DatabaseName;
    QString TableName;
    QString DBLogin;
    QString DBPassword;
    QString ConnectionString;
    QString SQLString;
    QString SQLWhereString;
    bool EnableAppend = false;
    bool EditAs = false;
    bool EnableDelete = false;
    bool SimpleSearch = true;
    bool AdvancedSearch = false;
    bool InitialSort = false;
    bool PageSupport = true;
    bool LoginPage = false;
    QString SelectedTemplate;
    bool PrinterFriendlyVersion = false;
    bool ExportOption = false;
    bool RecordsPerPage = false;
    std::int32_t RecordsPerPageID = 2;
    bool SortColumnBy = false;
    QString SortColumnID;
    bool ShowMoreLink = false;
    std::int32_t ShowMoreLinkID = 80;
    bool DynamicStaticLogin = false;
    QString CodeLoginName;
    QString CodeLoginPassword;
    QString DynamicTable;
    QString DynamicLoginName;
    QString DynamicLoginPassword;
    QString DestinationPath;
    bool CopyDatabase = true;
    QStringList UniqueKey;
    std::vector<ColumnSettings> Columns;
    QStringList Rename;

    bool operator==(const Project&) const = default;
};

// Adds the rename entry name + ";" + name unless an entry already contains the
// name anywhere in its text (so "myorders_index.asp" covers "orders_index.asp").
void SetFileName(QStringList& list, const QString& name);
// The same, adding name + ";" + renameAs.
void SetFileName(QStringList& list, const QString& name, const QString& renameAs);

} // namespace ordwick
