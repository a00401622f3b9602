#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ordwick {

class ProjectSession;

// The "Query Customization" step: the SELECT box, the WHERE box and their buttons.
class QueryPage final : public QWidget {
    Q_OBJECT
public:
    explicit QueryPage(ProjectSession& session, QWidget* parent = nullptr);

    // Fills both boxes from the project and shows the WHERE box when it has text.
    void prepare();
    QString selectText() const;
    QString whereText() const;
    void setWhereText(const QString& text);

    void restoreDefaultQuery(); // "Restore"
    void toggleBrackets();      // "Add/Remove Brackets"
    void onAllowEditToggled();  // "Allow Edit"
    void toggleWhereBox();      // "&Advanced" / "&Basic"

    QPlainTextEdit* rtbQuery(int index) const;
    QCheckBox* allowEdit() const { return m_check2; }
    QPushButton* moreButton() const { return m_cmdMore; }
    bool whereBoxShown() const;

private:
    ProjectSession& m_session;
    QPlainTextEdit* m_select;
    QPlainTextEdit* m_where;
    QLabel* m_whereLabel;
    QCheckBox* m_check2;
    QPushButton* m_cmdMore;
};

} // namespace ordwick
