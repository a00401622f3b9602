#pragma once

#include "wizard/pagenamecheck.h"

#include <QDialog>
#include <QStandardItemModel>

class QTableView;

namespace ordwick {

class Prompt;

// "File rename": the name each generated page file is written as. Holds the
// handed list until Save stores the checked names.
class RenameDialog final : public QDialog {
    Q_OBJECT
public:
    enum Column { Icon, File, Rename, ColumnCount };
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    // otherFiles: the names of the run's files that no page may be renamed to.
    RenameDialog(const QStringList& rename, const QStringList& otherFiles, Prompt& prompt,
                 QWidget* parent = nullptr);

    // The list to store: the edited one after Save, the handed one otherwise.
    QStringList renameList() const { return m_result; }
    QList<RenameEntry> entries() const;

    QTableView* grdFileRename() const { return m_grdFileRename; }
    QStandardItemModel& model() { return m_model; }

    // Save: refuses a name the site cannot use, with the reason; else closes.
    void save();

private:
    Prompt& m_prompt;
    QStringList m_result;
    const QStringList m_otherFiles;
    QTableView* m_grdFileRename;
    QStandardItemModel m_model;
};

} // namespace ordwick
