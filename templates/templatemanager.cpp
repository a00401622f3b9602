#include "templates/templatemanager.h"

#include "controls/iconstore.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"
#include "templates/texteditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ordwick {

namespace {

// Folders this large show a progress window while they are copied.
constexpr int kProgressFrom = 200;

QTreeWidget* makeList(const QString& objectName, const QString& column, int width,
                      QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setColumnCount(1);
    list->setHeaderLabels({column});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setMinimumWidth(width);
    list->setAccessibleName(column);
    return list;
}

} // namespace

TemplateManager::TemplateManager(Prompt& prompt, const TemplateStore& store, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_model(prompt, store),
      m_templateList(
          makeList(QStringLiteral("lvwTemplateList"), QStringLiteral("Template Name"), 190, this)),
      m_fileList(makeList(QStringLiteral("lvwFileList"), QStringLiteral("File Name"), 260, this)),
      m_details(new QGroupBox(QStringLiteral("Details"), this)),
      m_import(new QGroupBox(QStringLiteral("Import file and folders"), this)),
      m_nameLabel(new QLabel(QStringLiteral("Template name:"), m_details)),
      m_locationLabel(new QLabel(QStringLiteral("Template location:"), m_details)),
      m_indexLabel(new QLabel(QStringLiteral("Index file:"), m_details)),
      m_name(new QLineEdit(m_details)), m_location(new QLineEdit(m_details)),
      m_index(new QLineEdit(m_details)),
      m_indexButton(new QPushButton(QStringLiteral("..."), m_details)),
      m_editIndex(new QPushButton(QStringLiteral("&Edit Index"), m_details)),
      m_selectFiles(new QPushButton(QStringLiteral("Select files..."), m_import)),
      m_selectFolders(new QPushButton(QStringLiteral("Select folders..."), m_import)),
      m_renameFiles(new QCheckBox(QStringLiteral("Ask for file renaming"), m_import)),
      m_overwriteAll(new QCheckBox(QStringLiteral("Overwrite all"), m_import)),
      m_new(new QPushButton(QStringLiteral("&New"), this)),
      m_update(new QPushButton(QStringLiteral("&Update"), this)),
      m_cancel(new QPushButton(QStringLiteral("&Cancel"), this)), m_popupMain(new QMenu(this)),
      m_popup(new QMenu(this)) {
    setObjectName(QStringLiteral("frmTemplates"));
    setWindowTitle(QStringLiteral("Manage templates..."));
    m_details->setObjectName(QStringLiteral("fraDetails"));
    m_import->setObjectName(QStringLiteral("fraImportFiles"));
    m_nameLabel->setObjectName(QStringLiteral("lblTemplateName"));
    m_locationLabel->setObjectName(QStringLiteral("lblTemplateLocation"));
    m_indexLabel->setObjectName(QStringLiteral("lblIndexFile"));
    m_name->setObjectName(QStringLiteral("txtTemplateName"));
    m_location->setObjectName(QStringLiteral("txtTemplateLocation"));
    m_index->setObjectName(QStringLiteral("txtIndexFile"));
    m_indexButton->setObjectName(QStringLiteral("cmdIndexFile"));
    m_indexButton->setAccessibleName(QStringLiteral("Choose the index file"));
    m_indexButton->setFixedWidth(
        m_indexButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    m_editIndex->setObjectName(QStringLiteral("cmdEditIndex"));
    m_selectFiles->setObjectName(QStringLiteral("cmdSelectFiles"));
    m_selectFolders->setObjectName(QStringLiteral("cmdSelectFolders"));
    m_renameFiles->setObjectName(QStringLiteral("chkRenameFiles"));
    m_overwriteAll->setObjectName(QStringLiteral("chkOverwriteAll"));
    m_new->setObjectName(QStringLiteral("cmdNew"));
    m_update->setObjectName(QStringLiteral("cmdUpdate"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_popupMain->setObjectName(QStringLiteral("mnuPopupMain"));
    m_popup->setObjectName(QStringLiteral("mnuPopup"));
    m_location->setReadOnly(true);
    m_nameLabel->setBuddy(m_name);
    m_locationLabel->setBuddy(m_location);
    m_indexLabel->setBuddy(m_index);
    m_new->setAutoDefault(false);
    m_update->setAutoDefault(false);

    QAction* deleteMain = m_popupMain->addAction(QStringLiteral("&Delete"));
    deleteMain->setObjectName(QStringLiteral("mnuDeleteMain"));
    QAction* deleteFile = m_popup->addAction(QStringLiteral("&Delete"));
    deleteFile->setObjectName(QStringLiteral("mnuDelete"));

    auto* details = new QGridLayout(m_details);
    details->addWidget(m_nameLabel, 0, 0);
    details->addWidget(m_name, 0, 1, 1, 2);
    details->addWidget(m_locationLabel, 1, 0);
    details->addWidget(m_location, 1, 1, 1, 2);
    details->addWidget(m_indexLabel, 2, 0);
    details->addWidget(m_index, 2, 1);
    details->addWidget(m_indexButton, 2, 2);
    details->addWidget(m_editIndex, 3, 1, 1, 2, Qt::AlignRight);
    auto* import = new QGridLayout(m_import);
    import->addWidget(m_fileList, 0, 0, 1, 2);
    import->addWidget(m_selectFiles, 1, 0);
    import->addWidget(m_selectFolders, 1, 1);
    import->addWidget(m_renameFiles, 2, 0);
    import->addWidget(m_overwriteAll, 2, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(m_details);
    right->addWidget(m_import, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_templateList);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_new);
    buttons->addWidget(m_update);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(720, 480);

    connect(m_templateList, &QTreeWidget::itemSelectionChanged, this,
            &TemplateManager::onTemplateClicked);
    connect(m_new, &QPushButton::clicked, this, &TemplateManager::onNewClicked);
    connect(m_update, &QPushButton::clicked, this, &TemplateManager::onUpdateClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_indexButton, &QPushButton::clicked, this, &TemplateManager::onIndexFileClicked);
    connect(m_editIndex, &QPushButton::clicked, this, &TemplateManager::onEditIndexClicked);
    connect(m_selectFiles, &QPushButton::clicked, this, &TemplateManager::onSelectFilesClicked);
    connect(m_selectFolders, &QPushButton::clicked, this, &TemplateManager::onSelectFoldersClicked);
    connect(deleteMain, &QAction::triggered, this, &TemplateManager::onDeleteTemplateTriggered);
    connect(deleteFile, &QAction::triggered, this, &TemplateManager::onDeleteFileTriggered);
    // The right button (or the menu key) opens a list's menu when it has entries.
    connect(m_templateList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Trap(QStringLiteral("frmTemplates.lvwTemplateList_MouseDown"), [&] {
            if (m_templateList->topLevelItemCount() > 0 && m_model.currentTemplate() >= 0)
                m_popupMain->popup(m_templateList->viewport()->mapToGlobal(at));
        });
    });
    connect(m_fileList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Trap(QStringLiteral("frmTemplates.lbwFileList_MouseDown"), [&] {
            if (m_fileList->topLevelItemCount() > 0 && m_fileList->currentItem() != nullptr)
                m_popup->popup(m_fileList->viewport()->mapToGlobal(at));
        });
    });
    m_model.progress = [this](int done, int total) { onImportProgress(done, total); };

    Trap(QStringLiteral("frmTemplates.Form_Load"), [this] {
        Trap(QStringLiteral("frmTemplates.PopulateMe"), [this] { m_model.populate(); });
        showModel();
    });
}

TemplateManager::~TemplateManager() = default;

void TemplateManager::takeDetails() {
    m_model.name = m_name->text();
    m_model.index = m_index->text();
    m_model.askRenaming = m_renameFiles->isChecked();
    m_model.overwriteAll = m_overwriteAll->isChecked();
}

void TemplateManager::showModel() {
    const bool enabled = m_model.detailsEnabled();
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_details, m_nameLabel, m_locationLabel, m_indexLabel, m_name, m_location, m_index,
             m_indexButton, m_editIndex, m_fileList, m_import, m_selectFiles, m_selectFolders,
             m_renameFiles, m_overwriteAll})
        widget->setEnabled(enabled);
    m_update->setEnabled(m_model.updateEnabled());
    m_new->setText(m_model.newCaption());
    m_name->setText(m_model.name);
    m_location->setText(m_model.location);
    m_index->setText(m_model.index);
    showTemplates();
    showFiles();
}

void TemplateManager::showTemplates() {
    const QSignalBlocker blocker(m_templateList);
    const QList<TemplateEntry>& entries = m_model.templates();
    bool same = m_templateList->topLevelItemCount() == entries.size();
    for (int i = 0; same && i < entries.size(); ++i) {
        const QTreeWidgetItem* item = m_templateList->topLevelItem(i);
        same = item->text(0) == entries.at(i).text &&
               item->data(0, Qt::UserRole).toString() == entries.at(i).folder;
    }
    // Rebuilt only when changed: this runs inside the list's own click.
    if (!same) {
        m_templateList->clear();
        const QIcon icon = iconFor(QStringLiteral("TEMPLATE"));
        for (const TemplateEntry& entry : entries) {
            auto* item = new QTreeWidgetItem(m_templateList, {entry.text});
            item->setIcon(0, icon);
            item->setData(0, Qt::UserRole, entry.folder);
        }
    }
    const int current = m_model.currentTemplate();
    if (current >= 0)
        m_templateList->setCurrentItem(m_templateList->topLevelItem(current));
    else {
        m_templateList->clearSelection();
        m_templateList->setCurrentItem(nullptr);
    }
}

void TemplateManager::showFiles() {
    m_fileList->clear();
    const QIcon file = style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const FileEntry& entry : m_model.files()) {
        auto* item = new QTreeWidgetItem(m_fileList, {entry.text});
        item->setIcon(0, entry.kind == FileEntry::Kind::PickedFolder ? folder : file);
        item->setData(0, Qt::UserRole, entry.tag());
    }
}

void TemplateManager::applyFocus(TemplateManagerModel::Focus focus) {
    switch (focus) {
    case TemplateManagerModel::Focus::Name:
        m_name->setFocus();
        break;
    case TemplateManagerModel::Focus::IndexButton:
        m_indexButton->setFocus();
        break;
    case TemplateManagerModel::Focus::FileList:
        m_fileList->setFocus();
        break;
    case TemplateManagerModel::Focus::None:
        break;
    }
}

void TemplateManager::onTemplateClicked() {
    Trap(QStringLiteral("frmTemplates.lvwTemplateList_ItemClick"), [this] {
        QTreeWidgetItem* item = m_templateList->currentItem();
        if (item == nullptr || !item->isSelected())
            return;
        takeDetails();
        m_model.chooseTemplate(m_templateList->indexOfTopLevelItem(item));
        showModel();
    });
}

void TemplateManager::onNewClicked() {
    Trap(QStringLiteral("frmTemplates.cmdNew_Click"), [this] {
        takeDetails();
        const auto focus = m_model.saveMode() ? m_model.save() : m_model.startNew();
        showModel();
        applyFocus(focus);
    });
}

void TemplateManager::onUpdateClicked() {
    Trap(QStringLiteral("frmTemplates.cmdEdit_Click"), [this] {
        takeDetails();
        const auto focus = m_model.update();
        showModel();
        applyFocus(focus);
    });
}

void TemplateManager::onIndexFileClicked() {
    Trap(QStringLiteral("frmTemplates.cmdIndexFile_Click"), [this] {
        takeDetails();
        m_model.pickIndexFile();
        m_index->setText(m_model.index);
    });
}

void TemplateManager::onSelectFilesClicked() {
    Trap(QStringLiteral("frmTemplates.cmdSelectFiles_Click"), [this] {
        takeDetails();
        m_model.pickFiles();
        showFiles();
    });
}

void TemplateManager::onSelectFoldersClicked() {
    Trap(QStringLiteral("frmTemplates.cmdSelectFolders_Click"), [this] {
        takeDetails();
        m_model.pickFolder();
        showFiles();
    });
}

void TemplateManager::onEditIndexClicked() {
    takeDetails();
    const QString file = m_model.fileToEdit();
    if (file.isEmpty())
        return;
    if (!openInTextEditor(file)) {
        m_prompt.warning(QStringLiteral("No text editor could be started for \"%1\".\nSet the "
                                        "environment variable VISUAL or EDITOR to one.")
                             .arg(QDir::toNativeSeparators(file)));
    }
}

void TemplateManager::onDeleteFileTriggered() {
    takeDetails();
    m_model.removeFile(m_fileList->indexOfTopLevelItem(m_fileList->currentItem()));
    showFiles();
}

void TemplateManager::onDeleteTemplateTriggered() {
    takeDetails();
    m_model.deleteTemplate();
    showModel();
}

void TemplateManager::onImportProgress(int done, int total) {
    if (total >= kProgressFrom) {
        if (!m_progress) {
            m_progress = std::make_unique<QProgressDialog>(QStringLiteral("Importing files..."),
                                                           QString(), 0, total, this);
            m_progress->setWindowTitle(Prompt::productName());
            m_progress->setMinimumDuration(500);
            m_progress->setWindowModality(Qt::WindowModal);
        }
        m_progress->setValue(done);
        if (done >= total)
            m_progress.reset();
    }
    // The window repaints between files; clicks wait, so no second command
    // starts while this one copies.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace ordwick
