#pragma once

#include "foundation/prompt.h"

class QWidget;

namespace ordwick {

// The prompt the program shows: Qt's message boxes and file dialogs.
class WidgetPrompt final : public Prompt {
public:
    explicit WidgetPrompt(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    int show(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    QString folderName(const FileRequest& request) override;
    QStringList openFileNames(const FileRequest& request) override;
    QString inputText(const InputRequest& request) override;

private:
    QWidget* m_owner;
};

} // namespace ordwick
