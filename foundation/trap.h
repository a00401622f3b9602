#pragma once

#include "foundation/errorhandler.h"
#include "foundation/runtimeerror.h"

#include <QString>
#include <new>
#include <utility>

namespace ordwick {

namespace detail {

// Runs the statement once; on a failure reports it and returns the user's choice.
template <typename Statement> int runAndReport(const QString& source, Statement& statement) {
    try {
        statement();
        return 0;
    } catch (const RuntimeError& error) {
        return ReportError(source, error.description(), error.number());
    } catch (const ProgramAborted&) {
        throw;
    } catch (const std::bad_alloc&) {
        return ReportError(source, QStringLiteral("Out of memory"), ErrorNumber::OutOfMemory);
    } catch (const std::exception& error) {
        return ReportError(source, QString::fromLocal8Bit(error.what()), ErrorNumber::Internal);
    }
}

[[noreturn]] inline void abortFromTrap() {
    if (hasCentralErrorHandler())
        centralErrorHandler().abortProgram();
    throw ProgramAborted();
}

} // namespace detail

// The trap every procedure carries. Runs the statement; a failure goes to the
// central handler under `source`: Abort ends the program, Retry runs the
// statement again, Ignore carries on. Returns true when the statement completed,
// false when its failure was ignored. A statement must be safe to repeat.
template <typename Statement> bool Trap(const QString& source, Statement&& statement) {
    for (;;) {
        const int choice = detail::runAndReport(source, statement);
        if (choice == 0)
            return true;
        if (choice == ChoiceAbort)
            detail::abortFromTrap();
        if (choice != ChoiceRetry)
            return false;
    }
}

// Procedures that run as numbered blocks: a failure is reported as "Name.N" and
// no later block runs. Abort still ends the program.
class NumberedBlocks {
public:
    // `prefix` ends with the period, e.g. "frmMain.NewProject.".
    explicit NumberedBlocks(QString prefix) : m_prefix(std::move(prefix)) {}

    template <typename Block> bool run(int number, Block&& block) {
        if (m_failed)
            return false;
        const int choice = detail::runAndReport(m_prefix + QString::number(number), block);
        if (choice == ChoiceAbort)
            detail::abortFromTrap();
        m_failed = choice != 0;
        return !m_failed;
    }

    bool failed() const { return m_failed; }

private:
    QString m_prefix;
    bool m_failed = false;
};

} // namespace ordwick
