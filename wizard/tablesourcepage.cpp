#include "wizard/tablesourcepage.h"

#include "controls/busycursor.h"
#include "controls/iconstore.h"
#include "controls/markercells.h"
#include "controls/pickonlycombobox.h"
#include "datasource/connectionbuilder.h"
#include "datasource/dataconnection.h"
#include "foundation/busycall.h"
#include "foundation/prompt.h"
#include "foundation/runtimeerror.h"
#include "foundation/settingsstore.h"
#include "foundation/trap.h"
#include "project/projectsession.h"
#include "wizard/datasourcestep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

namespace ordwick {

namespace {

// Restores the ready status however a routine ends.
class StatusScope {
public:
    StatusScope(const TableSourcePage::StatusSetter& setStatus, int code) : m_setStatus(setStatus) {
        m_setStatus(code);
    }
    ~StatusScope() { m_setStatus(0); }
    StatusScope(const StatusScope&) = delete;
    StatusScope& operator=(const StatusScope&) = delete;

private:
    const TableSourcePage::StatusSetter& m_setStatus;
};

QString dsnDatabaseFile(const QString& dataSource) {
    SettingsStore registry;
    registry.setClassKey(HKEY_LOCAL_MACHINE);
    registry.setSectionKey(QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\") + dataSource);
    registry.setValueKey(QStringLiteral("DBQ"));
    return registry.value().toString();
}

} // namespace

TableSourcePage::TableSourcePage(ProjectSession& session, Prompt& prompt, StatusSetter setStatus,
                                 QWidget* parent)
    : QWidget(parent), m_session(session), m_prompt(prompt), m_setStatus(std::move(setStatus)) {
    setObjectName(QStringLiteral("pgTableSource"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Select table:"), this);
    m_icbTables = new PickOnlyComboBox(this);
    m_icbTables->setObjectName(QStringLiteral("icbTables"));
    m_icbTables->setMinimumWidth(240);
    label->setBuddy(m_icbTables);
    m_chkSystemTable = new QCheckBox(QStringLiteral("Include system tables"), this);
    m_chkSystemTable->setObjectName(QStringLiteral("chkSystemTable"));
    top->addWidget(label);
    top->addWidget(m_icbTables, 1);
    top->addWidget(m_chkSystemTable);
    layout->addLayout(top);

    m_grdColumns = new QTableView(this);
    m_grdColumns->setObjectName(QStringLiteral("grdColumns"));
    m_grdColumns->setAccessibleName(QStringLiteral("Columns"));
    m_grdColumns->setModel(&m_model);
    m_grdColumns->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdColumns->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid; the arrows move between its cells.
    m_grdColumns->setTabKeyNavigation(false);
    m_grdColumns->verticalHeader()->hide();
    m_grdColumns->horizontalHeader()->setStretchLastSection(true);
    m_grdColumns->setColumnWidth(ColumnGridModel::Unique, 60);
    m_grdColumns->setColumnWidth(ColumnGridModel::Checked, 70);
    m_grdColumns->setColumnWidth(ColumnGridModel::Name, 220);
    m_grdColumns->setColumnWidth(ColumnGridModel::Data, 110);
    layout->addWidget(m_grdColumns, 1);

    connect(m_icbTables, &QComboBox::activated, this, &TableSourcePage::onTableActivated);
    connect(m_chkSystemTable, &QCheckBox::clicked, this, &TableSourcePage::onSystemTablesToggled);
    const auto toggle = [this](const QModelIndex& index) {
        m_model.toggleMarker(index.row(), index.column());
    };
    m_grdColumns->setItemDelegate(new MarkerCellDelegate(m_grdColumns));
    connect(m_grdColumns, &QTableView::clicked, this, toggle);
    toggleMarkersByKeyboard(m_grdColumns, toggle);
}

QString TableSourcePage::currentTable() const {
    return m_icbTables->currentIndex() >= 0 ? m_icbTables->currentText() : QString();
}

void TableSourcePage::clear() {
    m_icbTables->clear();
    m_model.clear();
    m_gridTable.clear();
}

void TableSourcePage::reportOpenFailure(const QString& description) {
    switch (m_session.project.DatasourceStatus) {
    case DatasourceDsn:
        m_prompt.warning(
            QStringLiteral("Specified user name/password for the data source is not valid!"));
        break;
    case DatasourceFile:
        m_prompt.warning(QStringLiteral("Specified datafile is not valid!"));
        break;
    default:
        // A typed connection string has nothing else to tell the user what went wrong.
        m_prompt.warning(QStringLiteral("The connection could not be opened:\n") + description);
        break;
    }
}

bool TableSourcePage::loadTables(const QString& typedConnectionString) {
    m_typedConnectionString = typedConnectionString;
    const Project& project = m_session.project;
    if (project.DatabaseName.isEmpty())
        return false;
    const BusyCursor busy;
    {
        const StatusScope status(m_setStatus, 1);
        const QString onScreen = currentTable();
        clear();
        const QString connection =
            BuildConnectionString(project, m_session.projectOrigin, typedConnectionString);
        std::vector<TableInfo> tables;
        QString product;
        bool opened = false;
        Trap(QStringLiteral("frmMain.GetDataSourceTables"), [&] {
            try {
                tables = runResponsively([&] {
                    const std::unique_ptr<DataConnection> source = openConnection(connection);
                    product = source->databaseName();
                    return source->tables();
                });
                opened = true;
            } catch (const RuntimeError& error) {
                if (error.number() != DataError::GeneralFailure)
                    throw;
                reportOpenFailure(error.description());
            }
        });
        if (!opened)
            return false;
        const std::vector<TableItem> items = listedTables(tables, m_chkSystemTable->isChecked());
        for (const TableItem& item : items)
            m_icbTables->addItem(iconFor(item.iconKey), item.name, item.iconKey);
        m_icbTables->setCurrentIndex(selectedTable(items, project.TableName, onScreen));
        m_session.project.ConnectionString = connection;
        // What the reached database says it is outweighs what its driver's
        // name suggested; a file keeps the family of its kind.
        if (project.DatasourceStatus != DatasourceFile) {
            if (const std::optional<std::int32_t> family = classifyDatabaseName(product))
                m_session.project.DatasourceType = *family;
        }
    }
    // An opened project, and one saved since, shows its columns again.
    if (m_session.projectOrigin != OriginNew &&
        (!project.SQLString.isEmpty() || !project.Columns.empty()))
        loadColumns();
    return true;
}

void TableSourcePage::loadColumns() {
    const QString table = currentTable();
    if (table.isEmpty())
        return;
    const BusyCursor busy;
    {
        const StatusScope status(m_setStatus, 3);
        m_model.clear();
        m_gridTable.clear();
        const QString connection = m_session.project.ConnectionString;
        Trap(QStringLiteral("frmMain.GetDataSourceColumns"), [&] {
            const std::vector<ColumnInfo> columns =
                runResponsively([&] { return openConnection(connection)->columns(table); });
            m_model.setRows(columnRows(columns, m_session.project, m_session.projectOrigin));
            m_gridTable = table;
        });
    }
    loadPrimaryKey();
}

void TableSourcePage::loadPrimaryKey() {
    const QString shown = currentTable();
    if (shown.isEmpty())
        return;
    const BusyCursor busy;
    const StatusScope status(m_setStatus, 3);
    const Project& project = m_session.project;
    Trap(QStringLiteral("frmMain.GetDataSourcePrimaryKey"), [&] {
        // Stored keys are shown as stored, without asking the database.
        if (m_session.projectOrigin != OriginNew || !project.UniqueKey.isEmpty()) {
            m_model.markStoredKeys(project, m_session.projectOrigin);
            return;
        }
        const bool dsn = project.DatasourceStatus == DatasourceDsn;
        const QString driver =
            dsn ? DataSourceStep::driverOfDataSource(project.DatabaseName) : QString();
        const QString accessFile = dsn ? dsnDatabaseFile(project.DatabaseName) : QString();
        // Until the table step is applied the project names no table yet: the
        // keys asked for are those of the table on screen.
        const QString table = project.TableName.isEmpty() ? shown : project.TableName;
        const std::optional<KeyQuery> query = keyQuery(project, driver, accessFile, table);
        if (!query)
            return;
        const std::vector<KeyColumn> keys = runResponsively(
            [&] { return openConnection(query->connectionString)->primaryKeys(query->table); });
        m_model.markDetectedKeys(keys, table);
    });
}

void TableSourcePage::onSystemTablesToggled() {
    m_icbTables->clear();
    loadTables(m_typedConnectionString);
    if (m_icbTables->count() > 0) {
        m_icbTables->setCurrentIndex(0);
        loadColumns();
    }
}

void TableSourcePage::onTableActivated(int index) {
    Project& project = m_session.project;
    const int answer = m_prompt.show(
        {QStringLiteral("Reset Table Settings?"),
         QStringLiteral("Selecting a new table resets previous table settings. Continue?"),
         Prompt::Icon::Question,
         Prompt::Buttons::YesNo,
         {}});
    if (answer != Prompt::Yes) {
        // No keeps the table whose columns the grid shows, chosen or not yet.
        const QString kept = m_gridTable.isEmpty() ? project.TableName : m_gridTable;
        m_icbTables->setCurrentIndex(
            m_icbTables->findText(kept, Qt::MatchExactly | Qt::MatchCaseSensitive));
        return;
    }
    // The data source and the features stay; everything chosen for the old table goes.
    const Project fresh;
    project.TableName.clear();
    project.SQLString.clear();
    project.SQLWhereString.clear();
    project.SelectedTemplate.clear();
    project.PrinterFriendlyVersion = fresh.PrinterFriendlyVersion;
    project.ExportOption = fresh.ExportOption;
    project.RecordsPerPage = fresh.RecordsPerPage;
    project.RecordsPerPageID = fresh.RecordsPerPageID;
    project.SortColumnBy = fresh.SortColumnBy;
    project.SortColumnID.clear();
    project.ShowMoreLink = fresh.ShowMoreLink;
    project.ShowMoreLinkID = fresh.ShowMoreLinkID;
    project.DynamicStaticLogin = fresh.DynamicStaticLogin;
    project.CodeLoginName.clear();
    project.CodeLoginPassword.clear();
    project.DynamicTable.clear();
    project.DynamicLoginName.clear();
    project.DynamicLoginPassword.clear();
    project.DestinationPath.clear();
    project.CopyDatabase = fresh.CopyDatabase;
    project.UniqueKey.clear();
    project.Columns.clear();
    project.Rename.clear();
    m_icbTables->setCurrentIndex(index);
    loadColumns();
}

} // namespace ordwick
