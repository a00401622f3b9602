#include "foundation/errorhandler.h"

#include "foundation/trap.h"

#include <QtGlobal>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace ordwick {

namespace {

ErrorHandler* g_central = nullptr;

} // namespace

ErrorHandler::ErrorHandler(Prompt& prompt, ErrorLog log, Terminator terminate)
    : m_prompt(prompt), m_log(std::move(log)), m_terminate(std::move(terminate)) {}

int ErrorHandler::ReportError(const QString& source, const QString& description, int number) {
    const QString name = source.isEmpty() ? QStringLiteral("VB") : source;
    m_log.LogError(name + QLatin1Char('|') + description + QLatin1Char('|') +
                   QString::number(number));
    const int answer = m_prompt.show({QStringLiteral("Error"),
                                      description,
                                      Prompt::Icon::None,
                                      Prompt::Buttons::AbortRetryIgnore,
                                      {}});
    switch (answer) {
    case ChoiceAbort:
    case ChoiceRetry:
        return answer;
    default:
        return ChoiceIgnore;
    }
}

void ErrorHandler::abortProgram() {
    if (m_terminate)
        m_terminate();
    else
        std::quick_exit(EXIT_FAILURE);
    throw ProgramAborted();
}

ErrorHandlerScope::ErrorHandlerScope(ErrorHandler& handler) : m_previous(g_central) {
    g_central = &handler;
}

ErrorHandlerScope::~ErrorHandlerScope() {
    g_central = m_previous;
}

ErrorHandler& centralErrorHandler() {
    if (g_central == nullptr)
        throw std::logic_error("no central error handler is installed");
    return *g_central;
}

bool hasCentralErrorHandler() {
    return g_central != nullptr;
}

int ReportError(const QString& source, const QString& description, int number) {
    if (g_central == nullptr) {
        qCritical("%s: %s (%d)", qUtf8Printable(source), qUtf8Printable(description), number);
        return ChoiceIgnore;
    }
    return g_central->ReportError(source, description, number);
}

int TimedMessageBoxH(Prompt::Icon icon, const QString& caption, const QString& text) {
    int answer = ChoiceAbort;
    Trap(QStringLiteral("modMessageBox.TimedMessageBoxH"), [&] {
        answer = centralErrorHandler().prompt().show(
            {caption,
             text,
             icon,
             Prompt::Buttons::AbortRetryIgnore,
             {QStringLiteral("Normal"), QStringLiteral("American"), QStringLiteral("British")}});
    });
    return answer;
}

} // namespace ordwick
