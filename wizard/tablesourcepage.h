#pragma once

#include "wizard/columngridmodel.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QTableView;

namespace ordwick {

class ProjectSession;
class Prompt;

// The "Select Table Source" step: the table list, "Include system tables" and
// the column grid, with the routines that read them from the data source.
class TableSourcePage final : public QWidget {
    Q_OBJECT
public:
    using StatusSetter = std::function<void(int)>;

    TableSourcePage(ProjectSession& session, Prompt& prompt, StatusSetter setStatus,
                    QWidget* parent = nullptr);

    // Connects with the project's connection string and lists the tables;
    // `typedConnectionString` is the first step's connection-string box.
    // False when the source could not be opened (the reason was shown).
    bool loadTables(const QString& typedConnectionString);
    void loadColumns();
    void loadPrimaryKey();
    void onSystemTablesToggled();
    void onTableActivated(int index);
    void clear();

    QComboBox* icbTables() const { return m_icbTables; }
    QCheckBox* chkSystemTable() const { return m_chkSystemTable; }
    QTableView* grdColumns() const { return m_grdColumns; }
    ColumnGridModel& columns() { return m_model; }

private:
    QString currentTable() const;
    void reportOpenFailure(const QString& description);

    ProjectSession& m_session;
    Prompt& m_prompt;
    StatusSetter m_setStatus;
    QString m_typedConnectionString;
    // The table whose columns the grid shows.
    QString m_gridTable;
    QComboBox* m_icbTables = nullptr;
    QCheckBox* m_chkSystemTable = nullptr;
    QTableView* m_grdColumns = nullptr;
    ColumnGridModel m_model;
};

} // namespace ordwick
