#pragma once

#include "templates/templatechoice.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace ordwick {

class Prompt;

// The template choice as the layout step shows it: the list, "&Manage
// templates..." and the preview of the entry chosen.
class TemplateChoiceWidget final : public QWidget {
    Q_OBJECT

public:
    TemplateChoiceWidget(Prompt& prompt, const TemplateStore& store, QWidget* parent = nullptr);
    explicit TemplateChoiceWidget(Prompt& prompt, QWidget* parent = nullptr);

    TemplateChoice& choice() { return m_choice; }
    QComboBox* templateBox() const { return m_box; }
    QPushButton* manageButton() const { return m_manage; }
    QLabel* preview() const { return m_preview; }

    // Filling for a new project: "no template" and the store's templates.
    void fill();
    // Project to screen and screen to project (SelectedTemplate).
    void showProject(const QString& selectedTemplate);
    QString selectedTemplate() const { return m_choice.text(); }

    // The picture shown for "no template" and templates without a preview.
    static QPixmap ownPicture(const QString& caption);

Q_SIGNALS:
    // After every pick, refused or not, with the template now chosen.
    void templateChanged(const QString& name);

private:
    void onActivated(int row);
    void onManageClicked();
    void showChoice();

    Prompt& m_prompt;
    TemplateChoice m_choice;
    QComboBox* m_box;
    QPushButton* m_manage;
    QLabel* m_preview;
};

} // namespace ordwick
