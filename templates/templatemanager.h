#pragma once

#include "templates/templatemanagermodel.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressDialog;
class QPushButton;
class QTreeWidget;

namespace ordwick {

class Prompt;

// The template manager window: binds the lists, boxes and buttons to the
// manager's rules and keeps them in step after every command.
class TemplateManager final : public QDialog {
    Q_OBJECT

public:
    TemplateManager(Prompt& prompt, const TemplateStore& store, QWidget* parent = nullptr);
    ~TemplateManager() override;

    TemplateManagerModel& model() { return m_model; }

    // The pop-up menus, for the right button and for tests.
    QMenu* templateMenu() const { return m_popupMain; }
    QMenu* fileMenu() const { return m_popup; }

private:
    void onTemplateClicked();
    void onNewClicked();
    void onUpdateClicked();
    void onIndexFileClicked();
    void onSelectFilesClicked();
    void onSelectFoldersClicked();
    void onEditIndexClicked();
    void onDeleteFileTriggered();
    void onDeleteTemplateTriggered();

    // Copies the boxes into the rules and back.
    void takeDetails();
    void showModel();
    void showTemplates();
    void showFiles();
    void applyFocus(TemplateManagerModel::Focus focus);
    void onImportProgress(int done, int total);

    Prompt& m_prompt;
    TemplateManagerModel m_model;
    QTreeWidget* m_templateList;
    QTreeWidget* m_fileList;
    QGroupBox* m_details;
    QGroupBox* m_import;
    QLabel* m_nameLabel;
    QLabel* m_locationLabel;
    QLabel* m_indexLabel;
    QLineEdit* m_name;
    QLineEdit* m_location;
    QLineEdit* m_index;
    QPushButton* m_indexButton;
    QPushButton* m_editIndex;
    QPushButton* m_selectFiles;
    QPushButton* m_selectFolders;
    QCheckBox* m_renameFiles;
    QCheckBox* m_overwriteAll;
    QPushButton* m_new;
    QPushButton* m_update;
    QPushButton* m_cancel;
    QMenu* m_popupMain;
    QMenu* m_popup;
    std::unique_ptr<QProgressDialog> m_progress;
};

} // namespace ordwick
