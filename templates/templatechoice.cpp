#include "templates/templatechoice.h"

#include "foundation/prompt.h"
#include "foundation/runtimeerror.h"
#include "generation/bodytag.h"

#include <QDir>
#include <QFile>
#include <utility>

namespace ordwick {

TemplateChoice::TemplateChoice(Prompt& prompt, TemplateStore store)
    : m_prompt(prompt), m_store(std::move(store)) {
    fill();
}

void TemplateChoice::fill() {
    m_entries = QStringList{noTemplate()};
    m_selected = 0;
    if (m_store.exists())
        m_entries.append(m_store.names());
}

bool TemplateChoice::pick(int row) {
    if (row < 0 || row >= m_entries.size())
        return false;
    m_selected = row;
    if (row == 0)
        return true;
    const QString index = m_store.indexFileOf(m_entries.at(row));
    QFile file(index);
    if (!file.open(QIODevice::ReadOnly)) {
        throw RuntimeError(ErrorNumber::FileNotFound,
                           QStringLiteral("File not found: \"%1\" (%2)")
                               .arg(QDir::toNativeSeparators(index), file.errorString()));
    }
    if (hasBodyTag(QString::fromLatin1(file.readAll())))
        return true;
    m_prompt.warning(QStringLiteral("The selected template does not have required tags!\n"
                                    "Please select another template!"));
    m_selected = 0;
    return false;
}

void TemplateChoice::showProject(const QString& selectedTemplate) {
    if (selectedTemplate.trimmed() == noTemplate())
        return;
    const qsizetype found = m_entries.indexOf(selectedTemplate);
    if (found >= 0)
        m_selected = static_cast<int>(found);
}

QString TemplateChoice::previewOf(int row) const {
    if (row <= 0 || row >= m_entries.size())
        return {};
    return m_store.previewOf(m_entries.at(row));
}

} // namespace ordwick
