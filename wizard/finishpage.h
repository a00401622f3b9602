#pragma once

#include "project/project.h"

#include <QStandardItemModel>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace ordwick {

// The "Finish" step: destination folder, "Copy Database" and the task list grid.
class FinishPage final : public QWidget {
    Q_OBJECT
public:
    enum Column { Id, TaskList, Feature, Status, ColumnCount };
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    explicit FinishPage(QWidget* parent = nullptr);

    // Lists the run's tasks under the group row "Task List".
    void fillTasks(const Project& project);
    // Grid rows as they are counted on screen: the group row is row 1.
    int rowCount() const;
    QString rowText(int row, int column) const;
    QString rowIconKey(int row, int column) const;
    // Marks grid row `row` done ("TASKOVER", "Completed!") or failed
    // ("TASKFAILED", "Failed!").
    void markDone(int row);
    void markFailed(int row);
    // The engine ended the task of grid row progressStatus + 1.
    void onEngineProgress(int progressStatus, bool failed = false);
    // An empty progress bar sized to the task list.
    void resetProgress();

    QLineEdit* txtDestinationPath() const { return m_txtDestinationPath; }
    QPushButton* cmdDestinationPath() const { return m_cmdDestinationPath; }
    QCheckBox* chkCopyDatabase() const { return m_chkCopyDatabase; }
    QTreeView* grdFinish() const { return m_grdFinish; }
    QProgressBar* pgbProgress() const { return m_pgbProgress; }
    QPushButton* cmdPreview() const { return m_cmdPreview; }

Q_SIGNALS:
    void destinationRequested();
    void copyDatabaseClicked(bool checked);
    // The "click here" link: the page files' names are to be edited.
    void renameRequested();
    // "Preview": the site just generated is to be shown in the browser.
    void previewRequested();

private:
    QStandardItem* item(int row, int column) const;
    void markEnded(int row, const QString& iconKey, const QString& statusText);

    QLineEdit* m_txtDestinationPath;
    QPushButton* m_cmdDestinationPath;
    QCheckBox* m_chkCopyDatabase;
    QTreeView* m_grdFinish;
    QProgressBar* m_pgbProgress;
    QPushButton* m_cmdPreview = nullptr;
    QStandardItemModel m_model;
};

} // namespace ordwick
