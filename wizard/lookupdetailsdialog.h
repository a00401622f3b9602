#pragma once

#include "wizard/lookupdetails.h"

#include <QDialog>
#include <array>

class QComboBox;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QVBoxLayout;

namespace ordwick {

class Prompt;

// "Details...": the choices of a radio button or lookup field column, either
// static values or a query on a table of the project's data source. Save
// builds the details text; the caller stores it.
class LookupDetailsDialog final : public QDialog {
    Q_OBJECT
public:
    LookupDetailsDialog(QString connectionString, NameQuoting quoting, const QString& details,
                        int editType, Prompt& prompt, QWidget* parent = nullptr);

    // The text Save built; empty until then.
    QString details() const { return m_details; }
    // The choice as it stands on screen.
    LookupChoice choice() const;

    QRadioButton* optValue(int index) const { return m_options.at(static_cast<size_t>(index)); }
    QTreeWidget* lvwStatic() const { return m_lvwStatic; }
    QPushButton* cmdOrder(int index) const { return m_valueButtons.at(static_cast<size_t>(index)); }
    QComboBox* icbTableName() const { return m_icbTableName; }
    QComboBox* icbDisplayColumn() const { return m_icbDisplayColumn; }
    QComboBox* icbOrderBy() const { return m_icbOrderBy; }
    QComboBox* icbSortDirection() const { return m_icbSortDirection; }
    QComboBox* icbLinkColumn() const { return m_icbLinkColumn; }
    QPushButton* cmdSave() const { return m_cmdSave; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    // The value buttons: 0 add, 1 remove, 2 down, 3 up.
    void onValueButtonClicked(int index);
    void onTableChosen();
    void save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStaticPart(QVBoxLayout* layout);
    void buildDynamicPart(QVBoxLayout* layout);
    void loadTables();
    void loadColumns(const QString& table);
    void showChoice(const LookupChoice& choice);
    void addValue(const QString& value);
    void moveValue(int step);

    QString m_connectionString;
    NameQuoting m_quoting;
    int m_editType;
    Prompt& m_prompt;
    QString m_details;
    bool m_sourceOpened = false;

    std::array<QRadioButton*, 2> m_options{};
    QTreeWidget* m_lvwStatic = nullptr;
    std::array<QPushButton*, 4> m_valueButtons{};
    QComboBox* m_icbTableName = nullptr;
    QComboBox* m_icbDisplayColumn = nullptr;
    QComboBox* m_icbOrderBy = nullptr;
    QComboBox* m_icbSortDirection = nullptr;
    QComboBox* m_icbLinkColumn = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace ordwick
