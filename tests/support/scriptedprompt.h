#pragma once

#include "foundation/prompt.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <functional>

namespace ordwick::test {

// The user of a test: answers are queued in the order the program will ask,
// and every message shown is kept with its exact texts. A question nobody
// scripted fails the test.
class ScriptedPrompt final : public Prompt {
public:
    void answer(int code) { m_answers.enqueue(code); }
    void answerFile(const QString& path) { m_files.enqueue(path); }

    // Runs when a message is shown, before it is answered: the user acting meanwhile.
    std::function<void(const Message&)> whenShown;

    int show(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    QString folderName(const FileRequest& request) override;

    const QList<Message>& messages() const { return m_messages; }
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    bool allAnswersUsed() const { return m_answers.isEmpty() && m_files.isEmpty(); }
    void clear();

private:
    QString nextFile(const FileRequest& request);

    QQueue<int> m_answers;
    QQueue<QString> m_files;
    QList<Message> m_messages;
    QList<FileRequest> m_fileRequests;
};

} // namespace ordwick::test
