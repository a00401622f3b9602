#pragma once

#include "foundation/errorlog.h"
#include "foundation/prompt.h"

#include <QString>
#include <exception>
#include <functional>

namespace ordwick {

// What a trapped procedure does after a report.
enum ErrorChoice : int { ChoiceAbort = 3, ChoiceRetry = 4, ChoiceIgnore = 5 };

// Thrown when an Abort could not end the process, which is what tests arrange
// so that they can see the abort happen.
class ProgramAborted : public std::exception {
public:
    const char* what() const noexcept override { return "program aborted"; }
};

// The central error handler: logs a report and lets the user choose Abort,
// Retry or Ignore.
class ErrorHandler {
public:
    using Terminator = std::function<void()>;

    // The terminator ends the program; the default ends the process at once.
    ErrorHandler(Prompt& prompt, ErrorLog log, Terminator terminate = {});

    int ReportError(const QString& source, const QString& description, int number);
    [[noreturn]] void abortProgram();

    Prompt& prompt() { return m_prompt; }
    const ErrorLog& log() const { return m_log; }

private:
    Prompt& m_prompt;
    ErrorLog m_log;
    Terminator m_terminate;
};

// Makes a handler the central one for its lifetime, restoring the previous one after.
class ErrorHandlerScope {
public:
    explicit ErrorHandlerScope(ErrorHandler& handler);
    ~ErrorHandlerScope();
    ErrorHandlerScope(const ErrorHandlerScope&) = delete;
    ErrorHandlerScope& operator=(const ErrorHandlerScope&) = delete;

private:
    ErrorHandler* m_previous;
};

// The central handler; throws std::logic_error when none is installed.
ErrorHandler& centralErrorHandler();
bool hasCentralErrorHandler();

// Reports to the central handler and returns 3, 4 or 5. Without a handler the
// report goes to the standard error stream and the answer is Ignore.
int ReportError(const QString& source, const QString& description, int number);

// A three-button question whose buttons read "Normal", "American" and "British";
// returns 3, 4 or 5 for them.
int TimedMessageBoxH(Prompt::Icon icon, const QString& caption, const QString& text);

} // namespace ordwick
