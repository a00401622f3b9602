#include "scriptedprompt.h"

#include <stdexcept>

namespace ordwick::test {

int ScriptedPrompt::show(const Message& message) {
    m_messages.append(message);
    if (whenShown)
        whenShown(message);
    if (m_answers.isEmpty()) {
        throw std::logic_error("unexpected message box: " + message.title.toStdString() + ": " +
                               message.text.toStdString());
    }
    return m_answers.dequeue();
}

QString ScriptedPrompt::nextFile(const FileRequest& request) {
    m_fileRequests.append(request);
    if (m_files.isEmpty())
        throw std::logic_error("unexpected file dialog: " + request.title.toStdString());
    return m_files.dequeue();
}

QString ScriptedPrompt::openFileName(const FileRequest& request) {
    return nextFile(request);
}

QString ScriptedPrompt::saveFileName(const FileRequest& request) {
    return nextFile(request);
}

QString ScriptedPrompt::folderName(const FileRequest& request) {
    return nextFile(request);
}

QStringList ScriptedPrompt::openFileNames(const FileRequest& request) {
    m_fileRequests.append(request);
    if (m_fileLists.isEmpty())
        throw std::logic_error("unexpected file dialog: " + request.title.toStdString());
    return m_fileLists.dequeue();
}

QString ScriptedPrompt::inputText(const InputRequest& request) {
    m_inputRequests.append(request);
    if (m_inputs.isEmpty())
        throw std::logic_error("unexpected input box: " + request.title.toStdString());
    return m_inputs.dequeue();
}

void ScriptedPrompt::clear() {
    m_answers.clear();
    m_files.clear();
    m_messages.clear();
    m_fileRequests.clear();
    m_fileLists.clear();
    m_inputs.clear();
    m_inputRequests.clear();
}

} // namespace ordwick::test
