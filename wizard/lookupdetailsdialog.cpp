#include "wizard/lookupdetailsdialog.h"

#include "controls/busycursor.h"
#include "controls/iconstore.h"
#include "controls/pickonlycombobox.h"
#include "datasource/dataconnection.h"
#include "foundation/busycall.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"
#include "wizard/columnencodings.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <utility>

namespace ordwick {

namespace {

using Focus = LookupDetails::Refusal::Focus;

const QString kAscending = QStringLiteral("Ascending");
const QString kDescending = QStringLiteral("Descending");

// Shows `text` in a list that takes no typing: the entry of that name, added
// when the list does not hold it (a source that could not be read).
void showText(QComboBox* list, const QString& text) {
    if (text.isEmpty()) {
        list->setCurrentIndex(list->findText(QString()));
        return;
    }
    int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        list->addItem(text);
        index = list->count() - 1;
    }
    list->setCurrentIndex(index);
}

PickOnlyComboBox* addList(QFormLayout* form, const QString& label, const QString& objectName,
                          QWidget* parent) {
    auto* list = new PickOnlyComboBox(parent);
    list->setObjectName(objectName);
    list->setMinimumWidth(200);
    list->setAccessibleName(QString(label).remove(QLatin1Char(':')));
    form->addRow(label, list);
    return list;
}

} // namespace

LookupDetailsDialog::LookupDetailsDialog(QString connectionString, NameQuoting quoting,
                                         const QString& details, int editType, Prompt& prompt,
                                         QWidget* parent)
    : QDialog(parent), m_connectionString(std::move(connectionString)), m_quoting(quoting),
      m_editType(editType), m_prompt(prompt) {
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QStringLiteral("Details..."));
    auto* layout = new QVBoxLayout(this);
    auto* options = new QButtonGroup(this);
    buildStaticPart(layout);
    buildDynamicPart(layout);
    options->addButton(m_options[0], 0);
    options->addButton(m_options[1], 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);
    connect(m_cmdSave, &QPushButton::clicked, this, &LookupDetailsDialog::save);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Trap(QStringLiteral("frmDetails.Form_Load"), [&] {
        Trap(QStringLiteral("frmDetails.PopulateMe"), [&] { loadTables(); });
        showChoice(LookupDetails::read(details));
        m_icbLinkColumn->setEnabled(m_editType == LookupDetails::LookupField);
    });
    connect(m_icbTableName, &QComboBox::currentIndexChanged, this,
            &LookupDetailsDialog::onTableChosen);
}

void LookupDetailsDialog::buildStaticPart(QVBoxLayout* layout) {
    m_options[0] = new QRadioButton(QStringLiteral("Static values"), this);
    m_options[0]->setObjectName(QStringLiteral("optValue(0)"));
    layout->addWidget(m_options[0]);
    auto* row = new QHBoxLayout;
    m_lvwStatic = new QTreeWidget(this);
    m_lvwStatic->setObjectName(QStringLiteral("lvwStatic"));
    m_lvwStatic->setAccessibleName(QStringLiteral("Static values"));
    m_lvwStatic->setColumnCount(1);
    m_lvwStatic->setHeaderLabels({QStringLiteral("Value")});
    m_lvwStatic->setRootIsDecorated(false);
    m_lvwStatic->setMinimumHeight(120);
    m_lvwStatic->installEventFilter(this);
    row->addWidget(m_lvwStatic, 1);
    auto* column = new QVBoxLayout;
    const std::array<QString, 4> captions{QStringLiteral("&Add..."), QStringLiteral("&Remove"),
                                          QStringLiteral("Move &down"), QStringLiteral("Move &up")};
    for (size_t i = 0; i < m_valueButtons.size(); ++i) {
        auto* button = new QPushButton(captions.at(i), this);
        button->setObjectName(QStringLiteral("cmdOrder(%1)").arg(i));
        button->setAutoDefault(false);
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onValueButtonClicked(index); });
        column->addWidget(button);
        m_valueButtons.at(i) = button;
    }
    column->addStretch();
    row->addLayout(column);
    layout->addLayout(row);
}

void LookupDetailsDialog::buildDynamicPart(QVBoxLayout* layout) {
    m_options[1] = new QRadioButton(QStringLiteral("Dynamic values"), this);
    m_options[1]->setObjectName(QStringLiteral("optValue(1)"));
    layout->addWidget(m_options[1]);
    auto* form = new QFormLayout;
    m_icbTableName =
        addList(form, QStringLiteral("Table name:"), QStringLiteral("icbTableName"), this);
    m_icbTableName->installEventFilter(this);
    m_icbDisplayColumn =
        addList(form, QStringLiteral("Display column:"), QStringLiteral("icbDisplayColumn"), this);
    m_icbOrderBy = addList(form, QStringLiteral("Order by:"), QStringLiteral("icbOrderBy"), this);
    m_icbSortDirection =
        addList(form, QStringLiteral("Sort direction:"), QStringLiteral("icbSortDirection"), this);
    m_icbLinkColumn =
        addList(form, QStringLiteral("Link column:"), QStringLiteral("icbLinkColumn"), this);
    // The empty entries let an order and a direction be taken back.
    m_icbOrderBy->addItem(QString());
    m_icbSortDirection->addItems({QString(), kAscending, kDescending});
    layout->addLayout(form);
}

void LookupDetailsDialog::loadTables() {
    const BusyCursor busy;
    Trap(QStringLiteral("frmDetails.GetTables"), [&] {
        m_icbTableName->clear();
        const QString connection = m_connectionString;
        const std::vector<TableInfo> tables =
            runResponsively([&] { return openConnection(connection)->tables(); });
        m_sourceOpened = true;
        for (const TableInfo& table : tables) {
            const QString icon = LookupDetails::tableIconKey(table.type);
            if (!icon.isEmpty())
                m_icbTableName->addItem(iconFor(icon), table.name, icon);
        }
        m_icbTableName->setCurrentIndex(-1);
    });
}

void LookupDetailsDialog::loadColumns(const QString& table) {
    const auto clearLists = [this] {
        for (QComboBox* list : {m_icbDisplayColumn, m_icbOrderBy, m_icbLinkColumn})
            list->clear();
        m_icbOrderBy->addItem(QString());
    };
    clearLists();
    // A source that could not be opened was reported once already.
    if (!m_sourceOpened || table.isEmpty())
        return;
    const BusyCursor busy;
    Trap(QStringLiteral("frmDetails.GetColumns"), [&] {
        clearLists();
        const QString connection = m_connectionString;
        const std::vector<ColumnInfo> columns =
            runResponsively([&] { return openConnection(connection)->columns(table); });
        const QIcon icon = iconFor(QStringLiteral("TABLE"));
        for (const ColumnInfo& column : columns) {
            if (!LookupDetails::offersColumn(column.dataType))
                continue;
            for (QComboBox* list : {m_icbDisplayColumn, m_icbOrderBy, m_icbLinkColumn})
                list->addItem(icon, column.name);
        }
    });
    m_icbDisplayColumn->setCurrentIndex(-1);
    m_icbLinkColumn->setCurrentIndex(-1);
    m_icbOrderBy->setCurrentIndex(0);
}

void LookupDetailsDialog::showChoice(const LookupChoice& choice) {
    if (choice.form == LookupChoice::Form::Dynamic) {
        m_options[1]->setChecked(true);
        const LookupQuery& query = choice.query;
        showText(m_icbTableName, query.table);
        loadColumns(query.table);
        showText(m_icbDisplayColumn, query.displayColumn);
        showText(m_icbOrderBy, query.orderColumn);
        if (!query.linkColumn.isEmpty())
            showText(m_icbLinkColumn, query.linkColumn);
        showText(m_icbSortDirection, query.direction);
    } else if (choice.form == LookupChoice::Form::Static) {
        m_options[0]->setChecked(true);
        for (const QString& value : choice.values)
            addValue(value);
    }
}

LookupChoice LookupDetailsDialog::choice() const {
    LookupChoice choice;
    if (m_options[0]->isChecked())
        choice.form = LookupChoice::Form::Static;
    else if (m_options[1]->isChecked())
        choice.form = LookupChoice::Form::Dynamic;
    for (int i = 0; i < m_lvwStatic->topLevelItemCount(); ++i)
        choice.values.append(m_lvwStatic->topLevelItem(i)->text(0));
    LookupQuery& query = choice.query;
    query.table = m_icbTableName->currentText();
    query.displayColumn = m_icbDisplayColumn->currentText();
    if (m_editType == LookupDetails::LookupField)
        query.linkColumn = m_icbLinkColumn->currentText();
    query.orderColumn = m_icbOrderBy->currentText();
    if (!query.orderColumn.isEmpty())
        query.direction = m_icbSortDirection->currentText();
    return choice;
}

void LookupDetailsDialog::addValue(const QString& value) {
    auto* item = new QTreeWidgetItem(m_lvwStatic, {value});
    item->setIcon(0, iconFor(LookupDetails::valueIconKey(m_editType)));
    m_lvwStatic->setCurrentItem(item);
}

void LookupDetailsDialog::moveValue(int step) {
    const int count = m_lvwStatic->topLevelItemCount();
    QTreeWidgetItem* item = m_lvwStatic->currentItem();
    if (count < 2 || item == nullptr)
        return;
    const int from = m_lvwStatic->indexOfTopLevelItem(item);
    const int to = from + step;
    if (to < 0 || to >= count)
        return;
    m_lvwStatic->takeTopLevelItem(from);
    m_lvwStatic->insertTopLevelItem(to, item);
    m_lvwStatic->setCurrentItem(item);
}

void LookupDetailsDialog::onValueButtonClicked(int index) {
    Trap(QStringLiteral("frmDetails.cmdOrder_Click"), [&] {
        switch (index) {
        case 0: {
            const QString value =
                m_prompt.inputText({QStringLiteral("Add"), QStringLiteral("Add a value"), {}});
            if (value.isEmpty())
                return;
            if (const std::optional<QString> refusal = ColumnEncoding::storedValueRefusal(value)) {
                m_prompt.warning(*refusal);
                return;
            }
            addValue(value);
            break;
        }
        case 1:
            if (QTreeWidgetItem* item = m_lvwStatic->currentItem())
                std::unique_ptr<QTreeWidgetItem>(
                    m_lvwStatic->takeTopLevelItem(m_lvwStatic->indexOfTopLevelItem(item)));
            break;
        case 2:
            moveValue(1);
            break;
        case 3:
            moveValue(-1);
            break;
        default:
            break;
        }
    });
}

void LookupDetailsDialog::onTableChosen() {
    Trap(QStringLiteral("frmDetails.icbTableName_Click"),
         [&] { loadColumns(m_icbTableName->currentText()); });
}

void LookupDetailsDialog::save() {
    Trap(QStringLiteral("frmDetails.cmdSave_Click"), [&] {
        const LookupDetails::Saved saved = LookupDetails::save(choice(), m_editType, m_quoting);
        if (saved.refusal) {
            m_prompt.warning(saved.refusal->text);
            switch (saved.refusal->focus) {
            case Focus::Options:
                m_options[0]->setFocus();
                break;
            case Focus::StaticList:
                m_lvwStatic->setFocus();
                break;
            case Focus::TableList:
                m_icbTableName->setFocus();
                break;
            case Focus::LinkList:
                m_icbLinkColumn->setFocus();
                break;
            }
            return;
        }
        m_details = saved.text;
        accept();
    });
}

bool LookupDetailsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == m_lvwStatic || watched == m_icbTableName) &&
        !m_options[0]->isChecked() && !m_options[1]->isChecked()) {
        Trap(watched == m_lvwStatic ? QStringLiteral("frmDetails.lvwStatic_GotFocus")
                                    : QStringLiteral("frmDetails.icbTableName_GotFocus"),
             [&] {
                 m_prompt.warning(LookupDetails::optionWarning());
                 m_options[0]->setFocus();
             });
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ordwick
