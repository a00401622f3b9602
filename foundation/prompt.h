#pragma once

#include <QString>
#include <QStringList>

namespace ordwick {

// Every message box, question and file dialog of the program goes through this
// interface: the program shows real dialogs, tests script the answers and read
// the exact texts.
class Prompt {
public:
    // Answers carry the classic message box codes, which callers and the error
    // handler rely on (3 Abort, 4 Retry, 5 Ignore).
    enum Answer : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
    enum class Icon { None, Information, Warning, Question };
    enum class Buttons { Ok, YesNo, AbortRetryIgnore };

    struct Message {
        QString title;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        // Own labels for the buttons, in button order; empty for the platform's.
        // Escape and the close box answer Ignore on an Abort/Retry/Ignore box,
        // Cancel ("no choice") when its buttons carry labels of their own.
        QStringList labels;
    };

    struct FileRequest {
        QString title;
        QString filter; // Qt filter text, e.g. "Tessaline Project (*.pjx)"
        QString defaultSuffix;
        QString folder; // starting folder
    };

    virtual ~Prompt() = default;

    virtual int show(const Message& message) = 0;
    // The chosen path, or the empty text when cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    // The chosen path, or the empty text when cancelled. Overwriting is asked by
    // the caller, not by the dialog.
    virtual QString saveFileName(const FileRequest& request) = 0;
    virtual QString folderName(const FileRequest& request) = 0;
    // Several existing files at once, in the order chosen; empty when cancelled.
    virtual QStringList openFileNames(const FileRequest& request) = 0;

    struct InputRequest {
        QString title;
        QString label;
        QString text; // the answer offered
    };
    // The text typed, or a null text when cancelled.
    virtual QString inputText(const InputRequest& request) = 0;

    // The common shapes.
    void warning(const QString& text, const QString& title = productName());
    bool question(const QString& text, const QString& title = productName());

    static QString productName() { return QStringLiteral("Tessaline"); }
};

} // namespace ordwick
