#include "foundation/errorhandler.h"
#include "foundation/errorlog.h"
#include "foundation/runtimeerror.h"
#include "foundation/trap.h"
#include "support/testenvironment.h"

#include <QtTest>

using namespace ordwick;
using ordwick::test::TestEnvironment;

class ErrorHandlingTest : public QObject {
    Q_OBJECT

private:
    static QStringList logLines(const TestEnvironment& env) {
        return ErrorLog::ReadErrorLog(env.errorLogPath()).value_or(QStringList());
    }

    static void fail(int number = 13, const QString& text = QStringLiteral("Type mismatch")) {
        throw RuntimeError(number, text);
    }

private Q_SLOTS:
    void reportIsLoggedAndShownExactly() {
        TestEnvironment env;
        env.prompt.answer(Prompt::Ignore);
        QCOMPARE(
            ReportError(QStringLiteral("frmMain.SaveProject"), QStringLiteral("Disk full"), 61),
            int(ChoiceIgnore));
        const Prompt::Message& box = env.prompt.messages().constFirst();
        QCOMPARE(box.title, QStringLiteral("Error"));
        QCOMPARE(box.text, QStringLiteral("Disk full"));
        QCOMPARE(box.icon, Prompt::Icon::None);
        QCOMPARE(box.buttons, Prompt::Buttons::AbortRetryIgnore);
        QCOMPARE(
            env.readFile(env.errorLogPath()),
            QStringLiteral("5QWT8RX|2026-02-03 09:05|frmMain.SaveProject|Disk full|61|1|N\r\n"));
    }

    void emptySourceIsLoggedAsVB() {
        TestEnvironment env;
        env.prompt.answer(Prompt::Ignore);
        ReportError(QString(), QStringLiteral("Oops"), 5);
        QCOMPARE(logLines(env),
                 QStringList{QStringLiteral("5QWT8RX|2026-02-03 09:05|VB|Oops|5|1|N")});
    }

    void oneLinePerSourceAndMinute() {
        TestEnvironment env;
        for (int i = 0; i < 5; ++i)
            env.prompt.answer(Prompt::Ignore);
        ReportError(QStringLiteral("frmMain.OpenProject"), QStringLiteral("first"), 13);
        ReportError(QStringLiteral("FRMMAIN.OPENPROJECT"), QStringLiteral("second"), 9);
        ReportError(QStringLiteral("clsINI.Value(let)"), QStringLiteral("other"), 5);
        QCOMPARE(logLines(env),
                 (QStringList{
                     QStringLiteral("5QWT8RX|2026-02-03 09:05|frmMain.OpenProject|second|9|2|N"),
                     QStringLiteral("5QWT8RX|2026-02-03 09:05|clsINI.Value(let)|other|5|1|N")}));
        // A description holding "|" must not confuse the count.
        ReportError(QStringLiteral("clsINI.Value(let)"), QStringLiteral("a|b"), 5);
        QCOMPARE(logLines(env).at(1),
                 QStringLiteral("5QWT8RX|2026-02-03 09:05|clsINI.Value(let)|a|b|5|2|N"));
        // The next minute starts a new line for the same source.
        env.now = env.now.addSecs(60);
        ReportError(QStringLiteral("frmMain.OpenProject"), QStringLiteral("third"), 13);
        QCOMPARE(logLines(env).size(), 3);
        QCOMPARE(logLines(env).at(2),
                 QStringLiteral("5QWT8RX|2026-02-03 09:06|frmMain.OpenProject|third|13|1|N"));
    }

    void blankLogIsReplaced() {
        TestEnvironment env;
        env.writeFile(env.errorLogPath(), "   \r\n \r\n");
        QCOMPARE(ErrorLog::ReadErrorLog(env.errorLogPath()), std::nullopt);
        env.prompt.answer(Prompt::Ignore);
        ReportError(QStringLiteral("x.y"), QStringLiteral("d"), 1);
        QCOMPARE(env.readFile(env.errorLogPath()),
                 QStringLiteral("5QWT8RX|2026-02-03 09:05|x.y|d|1|1|N\r\n"));
    }

    void unwritableLogStillShowsTheReport() {
        test::ScriptedPrompt prompt;
        ErrorHandler handler(prompt, ErrorLog({QStringLiteral("/proc/no-such-place")}));
        prompt.answer(Prompt::Retry);
        QCOMPARE(handler.ReportError(QStringLiteral("a.b"), QStringLiteral("shown"), 1),
                 int(ChoiceRetry));
        QCOMPARE(prompt.messages().size(), 1);
    }

    void trapRetriesIgnoresAndAborts() {
        TestEnvironment env;
        int attempts = 0;
        env.prompt.answer(Prompt::Retry);
        env.prompt.answer(Prompt::Retry);
        QVERIFY(Trap(QStringLiteral("m.p"), [&] {
            if (++attempts < 3)
                fail();
        }));
        QCOMPARE(attempts, 3);
        // The same report again on every Retry.
        QCOMPARE(env.prompt.messages().size(), 2);
        QCOMPARE(env.prompt.messages().at(1).text, env.prompt.messages().at(0).text);

        bool after = false;
        env.prompt.answer(Prompt::Ignore);
        QVERIFY(!Trap(QStringLiteral("m.p"), [&] {
            fail();
            after = true;
        }));
        QVERIFY(!after);

        env.prompt.answer(Prompt::Abort);
        QVERIFY_THROWS_EXCEPTION(ProgramAborted, Trap(QStringLiteral("m.p"), [] { fail(); }));
        QVERIFY(env.prompt.allAnswersUsed());
    }

    void trapReportsForeignExceptions() {
        TestEnvironment env;
        env.prompt.answer(Prompt::Ignore);
        Trap(QStringLiteral("m.q"), [] { throw std::runtime_error("boom"); });
        QCOMPARE(env.prompt.messages().constFirst().text, QStringLiteral("boom"));
        QVERIFY(logLines(env).constFirst().endsWith(QStringLiteral("|m.q|boom|51|1|N")));
    }

    void numberedBlocksStopAfterAFailure() {
        TestEnvironment env;
        QStringList ran;
        NumberedBlocks blocks(QStringLiteral("frmMain.NewProject."));
        env.prompt.answer(Prompt::Retry); // Retry does not repeat a block: it stops too.
        blocks.run(2, [&] { ran << QStringLiteral("2"); });
        blocks.run(3, [&] {
            ran << QStringLiteral("3");
            fail(9, QStringLiteral("Subscript out of range"));
        });
        blocks.run(4, [&] { ran << QStringLiteral("4"); });
        QVERIFY(blocks.failed());
        QCOMPARE(ran, (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
        QVERIFY(logLines(env).constFirst().contains(QStringLiteral("|frmMain.NewProject.3|")));

        NumberedBlocks aborting(QStringLiteral("frmMain.Form_Load."));
        env.prompt.answer(Prompt::Abort);
        QVERIFY_THROWS_EXCEPTION(ProgramAborted, aborting.run(5, [] { fail(); }));
    }

    void timedMessageBoxRelabelsItsButtons() {
        TestEnvironment env;
        env.prompt.answer(Prompt::Retry);
        const int code =
            TimedMessageBoxH(Prompt::Icon::Information, QStringLiteral("Select Date Type"),
                             QStringLiteral("Select the date type of the date field"));
        QCOMPARE(code - 3, 1);
        const Prompt::Message& box = env.prompt.messages().constFirst();
        QCOMPARE(box.title, QStringLiteral("Select Date Type"));
        QCOMPARE(box.labels, (QStringList{QStringLiteral("Normal"), QStringLiteral("American"),
                                          QStringLiteral("British")}));
        QCOMPARE(box.buttons, Prompt::Buttons::AbortRetryIgnore);
    }
};

QTEST_GUILESS_MAIN(ErrorHandlingTest)
#include "tst_errorhandling.moc"
