#pragma once

#include "templates/templatestore.h"

#include <QString>
#include <QStringList>

namespace ordwick {

class Prompt;

// The template choice of the layout step, without a screen: "no template"
// first, then the store's templates; the body-tag check when the user picks
// one; the move between the list and the project's SelectedTemplate.
class TemplateChoice {
public:
    TemplateChoice(Prompt& prompt, TemplateStore store);

    static QString noTemplate() { return QStringLiteral("no template"); }

    const TemplateStore& store() const { return m_store; }
    const QStringList& entries() const { return m_entries; }
    int selected() const { return m_selected; }
    // Screen to project: the chosen entry's text.
    QString text() const { return m_entries.value(m_selected); }

    // Lists "no template" and the store's templates; "no template" is selected.
    void fill();
    // The user picked `row`. A template whose index.html lacks the body tag is
    // refused with a message and "no template" is selected again; false then.
    // An index that cannot be read is a RuntimeError (the caller reports it).
    bool pick(int row);
    // Project to screen: selects the template of that exact name; a name not
    // listed (a deleted template) leaves the selection as it was.
    void showProject(const QString& selectedTemplate);
    void selectNoTemplate() { m_selected = 0; }
    // The template's own preview picture, or the empty text for "no template"
    // and templates without one.
    QString previewOf(int row) const;

private:
    Prompt& m_prompt;
    TemplateStore m_store;
    QStringList m_entries;
    int m_selected = 0;
};

} // namespace ordwick
