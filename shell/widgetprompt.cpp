#include "shell/widgetprompt.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace ordwick {

namespace {

QMessageBox::Icon boxIcon(Prompt::Icon icon) {
    switch (icon) {
    case Prompt::Icon::Information:
        return QMessageBox::Information;
    case Prompt::Icon::Warning:
        return QMessageBox::Warning;
    case Prompt::Icon::Question:
        return QMessageBox::Question;
    case Prompt::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

std::vector<std::pair<QMessageBox::StandardButton, int>> buttonsFor(Prompt::Buttons buttons) {
    switch (buttons) {
    case Prompt::Buttons::YesNo:
        return {{QMessageBox::Yes, Prompt::Yes}, {QMessageBox::No, Prompt::No}};
    case Prompt::Buttons::AbortRetryIgnore:
        return {{QMessageBox::Abort, Prompt::Abort},
                {QMessageBox::Retry, Prompt::Retry},
                {QMessageBox::Ignore, Prompt::Ignore}};
    case Prompt::Buttons::Ok:
        break;
    }
    return {{QMessageBox::Ok, Prompt::Ok}};
}

// The answer of a box closed without a button.
int escapeAnswer(const Prompt::Message& message) {
    switch (message.buttons) {
    case Prompt::Buttons::YesNo:
        return Prompt::No;
    case Prompt::Buttons::AbortRetryIgnore:
        return message.labels.isEmpty() ? Prompt::Ignore : Prompt::Cancel;
    case Prompt::Buttons::Ok:
        break;
    }
    return Prompt::Ok;
}

QFileDialog::Options dialogOptions() {
    // The caller asks about overwriting, with its own words. Filter texts carry
    // their patterns in their own words already ("MS Access Database (*.mdb)"),
    // so the patterns the dialog reads are not shown a second time.
    return QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails;
}

} // namespace

int WidgetPrompt::show(const Message& message) {
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::NoButton,
                    m_owner);
    const auto buttons = buttonsFor(message.buttons);
    std::vector<std::pair<QAbstractButton*, int>> answers;
    for (size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i].first);
        if (i < static_cast<size_t>(message.labels.size()))
            button->setText(message.labels.at(static_cast<qsizetype>(i)));
        answers.emplace_back(button, buttons[i].second);
    }
    // Qt would take Abort (its reject role) for Escape and the close box, which
    // ends the program. Escape means "carry on" there; on a box whose buttons
    // were given other meanings it means "no choice" instead.
    if (message.buttons == Buttons::AbortRetryIgnore) {
        if (message.labels.isEmpty()) {
            box.setEscapeButton(answers.back().first);
        } else {
            QPushButton* noChoice = box.addButton(QMessageBox::Cancel);
            noChoice->hide();
            box.setEscapeButton(noChoice);
            answers.emplace_back(noChoice, Cancel);
        }
    }
    box.exec();
    for (const auto& [button, answer] : answers) {
        if (box.clickedButton() == button)
            return answer;
    }
    return escapeAnswer(message);
}

QString WidgetPrompt::openFileName(const FileRequest& request) {
    return QFileDialog::getOpenFileName(m_owner, request.title, request.folder, request.filter,
                                        nullptr, dialogOptions());
}

QString WidgetPrompt::saveFileName(const FileRequest& request) {
    QFileDialog dialog(m_owner, request.title, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOptions(dialogOptions());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WidgetPrompt::folderName(const FileRequest& request) {
    return QFileDialog::getExistingDirectory(m_owner, request.title, request.folder);
}

QStringList WidgetPrompt::openFileNames(const FileRequest& request) {
    return QFileDialog::getOpenFileNames(m_owner, request.title, request.folder, request.filter,
                                         nullptr, dialogOptions());
}

QString WidgetPrompt::inputText(const InputRequest& request) {
    bool ok = false;
    const QString text = QInputDialog::getText(m_owner, request.title, request.label,
                                               QLineEdit::Normal, request.text, &ok);
    return ok ? text : QString();
}

} // namespace ordwick
