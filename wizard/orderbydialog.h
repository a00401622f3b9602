#pragma once

#include "wizard/sortorder.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QComboBox;

namespace ordwick {

class Prompt;

// "Order By": up to three columns and directions the generated list starts
// sorted by. Holds the text it was handed until Save builds a new one.
class OrderByDialog final : public QDialog {
    Q_OBJECT
public:
    // `columns` in column order; `sortColumnId` the stored order.
    OrderByDialog(const QStringList& columns, const QString& sortColumnId, Prompt& prompt,
                  QWidget* parent = nullptr);

    // The order to store: the rebuilt text after Save, the handed text otherwise.
    QString sortColumnId() const { return m_result; }
    // The levels as chosen on screen.
    std::vector<SortLevel> levels() const;

    QComboBox* columnList(int level) const;
    QComboBox* directionList(int level) const;

    // Save: refuses columns whose names cannot be stored, else closes.
    void save();

private:
    void preselect(const QString& sortColumnId);

    Prompt& m_prompt;
    QString m_result;
    std::array<QComboBox*, SortOrder::kLevels> m_columns{};
    std::array<QComboBox*, SortOrder::kLevels> m_directions{};
};

} // namespace ordwick
