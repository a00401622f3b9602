#include "wizard/orderbydialog.h"

#include "controls/iconstore.h"
#include "controls/pickonlycombobox.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ordwick {

namespace {

const char* const kColumnNames[] = {"icbFirstOrderBy", "icbSecondOrderBy", "icbThirdOrderBy"};
const char* const kDirectionNames[] = {"cmbFirstOrderType", "cmbSecondOrderType",
                                       "cmbThirdOrderType"};

} // namespace

OrderByDialog::OrderByDialog(const QStringList& columns, const QString& sortColumnId,
                             Prompt& prompt, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_result(sortColumnId) {
    setObjectName(QStringLiteral("frmOrderBy"));
    setWindowTitle(QStringLiteral("Order By"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int level = 0; level < SortOrder::kLevels; ++level) {
        auto* column = new PickOnlyComboBox(this);
        column->setObjectName(QString::fromLatin1(kColumnNames[level]));
        column->setMinimumWidth(200);
        auto* direction = new PickOnlyComboBox(this);
        direction->setObjectName(QString::fromLatin1(kDirectionNames[level]));
        auto* columnLabel = new QLabel(
            level == 0 ? QStringLiteral("Order by:") : QStringLiteral("Then order by:"), this);
        columnLabel->setBuddy(column);
        auto* directionLabel = new QLabel(QStringLiteral("Direction:"), this);
        directionLabel->setBuddy(direction);
        grid->addWidget(columnLabel, level, 0);
        grid->addWidget(column, level, 1);
        grid->addWidget(directionLabel, level, 2);
        grid->addWidget(direction, level, 3);
        m_columns.at(static_cast<size_t>(level)) = column;
        m_directions.at(static_cast<size_t>(level)) = direction;
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* saveButton = new QPushButton(QStringLiteral("&Save"), this);
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    saveButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, &OrderByDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    Trap(QStringLiteral("frmOrderBy.PopulateMe"), [&] {
        for (size_t level = 0; level < m_columns.size(); ++level) {
            // The empty first entry lets a level be cleared again.
            m_columns.at(level)->addItem(QString());
            for (const QString& name : columns)
                m_columns.at(level)->addItem(iconFor(QStringLiteral("ROW")), name);
            m_columns.at(level)->setCurrentIndex(0);
            m_directions.at(level)->addItems(
                {QStringLiteral("Ascending"), QStringLiteral("Descending")});
            m_directions.at(level)->setCurrentIndex(0);
        }
    });
    Trap(QStringLiteral("frmOrderBy.Form_Load"), [&] { preselect(sortColumnId); });
}

void OrderByDialog::preselect(const QString& sortColumnId) {
    const std::vector<SortLevel> stored = SortOrder::parse(sortColumnId);
    for (size_t level = 0; level < stored.size(); ++level) {
        // A column that is gone leaves its level empty, so saving drops it.
        const int found = m_columns.at(level)->findText(stored[level].column, Qt::MatchExactly);
        if (found > 0 && !stored[level].column.isEmpty()) {
            m_columns.at(level)->setCurrentIndex(found);
            m_directions.at(level)->setCurrentIndex(stored[level].direction);
        }
    }
}

std::vector<SortLevel> OrderByDialog::levels() const {
    std::vector<SortLevel> result;
    for (size_t level = 0; level < m_columns.size(); ++level) {
        const QString column = m_columns.at(level)->currentIndex() > 0
                                   ? m_columns.at(level)->currentText()
                                   : QString();
        result.push_back({column, m_directions.at(level)->currentIndex() == 1 ? 1 : 0});
    }
    return result;
}

QComboBox* OrderByDialog::columnList(int level) const {
    return m_columns.at(static_cast<size_t>(level));
}

QComboBox* OrderByDialog::directionList(int level) const {
    return m_directions.at(static_cast<size_t>(level));
}

void OrderByDialog::save() {
    Trap(QStringLiteral("frmOrderBy.SaveSettings"), [&] {
        const std::vector<SortLevel> chosen = levels();
        for (size_t level = 0; level < chosen.size(); ++level) {
            if (!SortOrder::canStore(chosen[level].column)) {
                m_prompt.warning(QStringLiteral("The column \"%1\" cannot be used for the initial "
                                                "order because its name contains \"|\" or \";\".")
                                     .arg(chosen[level].column));
                m_columns.at(level)->setFocus();
                return;
            }
        }
        m_result = SortOrder::build(chosen);
        accept();
    });
}

} // namespace ordwick
