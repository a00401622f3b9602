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
    void answerFiles(const QStringList& paths) { m_fileLists.enqueue(paths); }
    // A null text answers as Cancel does.
    void answerInput(const QString& text) { m_inputs.enqueue(text); }

    // Runs when a message is shown, before it is answered: the user acting meanwhile.
    std::function<void(const Message&)> whenShown;

    int show(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    QString folderName(const FileRequest& request) override;
    QStringList openFileNames(const FileRequest& request) override;
    QString inputText(const InputRequest& request) override;

    const QList<Message>& messages() const { return m_messages; }
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    const QList<InputRequest>& inputRequests() const { return m_inputRequests; }
    bool allAnswersUsed() const {
        return m_answers.isEmpty() && m_files.isEmpty() && m_fileLists.isEmpty() &&
               m_inputs.isEmpty();
    }
    void clear();

private:
    QString nextFile(const FileRequest& request);

    QQueue<int> m_answers;
    QQueue<QString> m_files;
    QList<Message> m_messages;
    QList<FileRequest> m_fileRequests;
    QQueue<QStringList> m_fileLists;
    QQueue<QString> m_inputs;
    QList<InputRequest> m_inputRequests;
};

} // namespace ordwick::test
