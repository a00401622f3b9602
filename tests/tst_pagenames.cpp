// Page file names from table names that a file system refuses: the safe-name
// rule, the rename list seeded at Finish, collisions refused there, and the
// names, links, results and exit codes of real runs.
#include "generation/enginebinding.h"
#include "generation/pagenames.h"
#include "generation/tasklist.h"
#include "project/projectfile.h"
#include "shell/mainwindow.h"
#include "support/testenvironment.h"
#include "wizard/finishpage.h"
#include "wizard/finishstep.h"
#include "wizard/wizard.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>
#include <sqlite3.h>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

const QString kAwkward = QStringLiteral("Order \"Lines\" 2026");

// A SQLite database with one two-column table of this name.
bool createDatabase(const QString& path, const QString& table) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    const QString quoted = QLatin1Char('"') +
                           QString(table).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                           QLatin1Char('"');
    const QByteArray sql = (QStringLiteral("CREATE TABLE ") + quoted +
                            QStringLiteral(" (ID INTEGER PRIMARY KEY, Name TEXT); INSERT INTO ") +
                            quoted + QStringLiteral(" VALUES (1, 'first');"))
                               .toUtf8();
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// A project on a typed SQLite connection string with add, edit, advanced
// search and export, so it writes six pages of the rename list.
Project projectOn(const QString& database, const QString& table) {
    Project p;
    p.DatasourceStatus = DatasourceConnection;
    p.DatasourceType = 7;
    p.DatabaseName = QStringLiteral("Driver={SQLite3}; Database=") + database;
    p.ConnectionString = p.DatabaseName;
    p.TableName = table;
    p.EnableAppend = p.EditAs = true;
    p.AdvancedSearch = true;
    p.ExportOption = true;
    p.SelectedTemplate = QStringLiteral("no template");
    p.UniqueKey = {QStringLiteral("ID")};
    for (const QString& name : {QStringLiteral("ID"), QStringLiteral("Name")}) {
        ColumnSettings c;
        c.ColumnName = name;
        c.DataType = name == QLatin1String("ID") ? 1 : 4;
        c.Position = name == QLatin1String("ID") ? 1 : 2;
        p.Columns.push_back(c);
    }
    return p;
}

Project seeded(Project p) {
    FinishStep::registerPageFiles(p);
    return p;
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList filesBelow(const QString& folder) {
    QStringList found;
    for (const QString& sub : {QString(), QStringLiteral("include/")}) {
        for (const QString& name :
             QDir(folder + QLatin1Char('/') + sub).entryList(QDir::Files, QDir::Name))
            found.append(sub + name);
    }
    return found;
}

struct CliRun {
    int exitCode = -1;
    QString out;
    QStringList errors;
};

CliRun generateWithCli(const QString& projectFile, const QString& appDir) {
    QProcess process;
    process.start(QStringLiteral(ORDWICK_GENERATE),
                  {projectFile, QStringLiteral("--app-dir"), appDir});
    CliRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError())
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

} // namespace

class PageNamesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void safeNamesReplaceWhatWindowsRefuses() {
        const struct {
            const char* name;
            const char* safe;
        } cases[] = {
            {"orders_index.asp", "orders_index.asp"},
            {"a\"b.asp", "a_b.asp"},
            {"a<b.asp", "a_b.asp"},
            {"a>b.asp", "a_b.asp"},
            {"a|b.asp", "a_b.asp"},
            {"a?b.asp", "a_b.asp"},
            {"a*b.asp", "a_b.asp"},
            {"a:b.asp", "a_b.asp"},
            {"a\\b.asp", "a_b.asp"},
            {"a/b.asp", "a_b.asp"},
            {"a\tb\x01.asp", "a_b_.asp"},
            {"100%.asp", "100_.asp"},
            {"order \"lines\" 2026_index.asp", "order _lines_ 2026_index.asp"},
            {"orders.", "orders_"},
            {"orders. .", "orders___"},
            {"list.asp ", "list.asp_"},
            {".", "_"},
            {"..", "__"},
            {"", "_"},
            {"con.asp", "con_.asp"},
            {"CON", "CON_"},
            {"Nul.txt.asp", "Nul_.txt.asp"},
            {"prn .asp", "prn_ .asp"},
            {"aux", "aux_"},
            {"com1.asp", "com1_.asp"},
            {"LPT9", "LPT9_"},
            {"con_index.asp", "con_index.asp"},
            {"console.asp", "console.asp"},
            {"com10.asp", "com10.asp"},
            {"lpt0.asp", "lpt0.asp"},
            {"orders._index.asp", "orders._index.asp"},
            {"caf\xc3\xa9 m\xc3\xbcller_index.asp", "caf\xc3\xa9 m\xc3\xbcller_index.asp"},
        };
        for (const auto& c : cases) {
            const QString name = QString::fromUtf8(c.name);
            const QString safe = QString::fromUtf8(c.safe);
            QCOMPARE(safePageFileName(name), safe);
            QCOMPARE(isSafePageFileName(name), name == safe);
            QVERIFY2(isSafePageFileName(safe), c.safe);
        }
        QVERIFY(
            sameFileName(QStringLiteral("Orders_Index.asp"), QStringLiteral("orders_index.asp")));
        QVERIFY(
            !sameFileName(QStringLiteral("orders_index.asp"), QStringLiteral("orders_edit.asp")));
    }

    void seededRenameListCarriesSafeNames() {
        QCOMPARE(
            seeded(projectOn(QStringLiteral("x.db"), kAwkward)).Rename,
            (QStringList{
                QStringLiteral("order \"lines\" 2026_variables.asp;order _lines_ "
                               "2026_variables.asp"),
                QStringLiteral("order \"lines\" 2026_dynamicfunctions.asp;order _lines_ "
                               "2026_dynamicfunctions.asp"),
                QStringLiteral("order \"lines\" 2026_index.asp;order _lines_ 2026_index.asp"),
                QStringLiteral("order \"lines\" 2026_edit.asp;order _lines_ 2026_edit.asp"),
                QStringLiteral("order \"lines\" 2026_search.asp;order _lines_ 2026_search.asp"),
                QStringLiteral("order \"lines\" 2026_export.asp;order _lines_ 2026_export.asp"),
            }));
        // Every refused character at once, and a control character.
        Project every = projectOn(QStringLiteral("x.db"), QStringLiteral("A<B>C|D?E*F:G\\H/I\tJ"));
        every.EnableAppend = every.EditAs = every.AdvancedSearch = every.ExportOption = false;
        QCOMPARE(
            seeded(every).Rename,
            (QStringList{
                QStringLiteral("a<b>c|d?e*f:g\\h/i\tj_variables.asp;a_b_c_d_e_f_g_h_i_j_"
                               "variables.asp"),
                QStringLiteral("a<b>c|d?e*f:g\\h/i\tj_dynamicfunctions.asp;a_b_c_d_e_f_g_h_"
                               "i_j_dynamicfunctions.asp"),
                QStringLiteral("a<b>c|d?e*f:g\\h/i\tj_index.asp;a_b_c_d_e_f_g_h_i_j_index.asp"),
            }));
        // Names that need nothing replaced stay as they are: a device name and
        // a trailing dot are harmless before the page's suffix.
        for (const QString& table : {QStringLiteral("CON"), QStringLiteral("Orders.")}) {
            Project p = projectOn(QStringLiteral("x.db"), table);
            p.EnableAppend = p.EditAs = p.AdvancedSearch = p.ExportOption = false;
            const QString stem = table.toLower();
            QCOMPARE(seeded(p).Rename,
                     (QStringList{stem + QStringLiteral("_variables.asp;") + stem +
                                      QStringLiteral("_variables.asp"),
                                  stem + QStringLiteral("_dynamicfunctions.asp;") + stem +
                                      QStringLiteral("_dynamicfunctions.asp"),
                                  stem + QStringLiteral("_index.asp;") + stem +
                                      QStringLiteral("_index.asp")}));
        }
        // A name the user chose is kept, and seeding again adds nothing.
        Project chosen = seeded(projectOn(QStringLiteral("x.db"), kAwkward));
        chosen.Rename[2] = QStringLiteral("order \"lines\" 2026_index.asp;lines.asp");
        const QStringList before = chosen.Rename;
        QCOMPARE(seeded(chosen).Rename, before);
    }

    void collidingNamesAreRefusedAtFinish() {
        TestEnvironment env;
        Project p = seeded(projectOn(QStringLiteral("x.db"), QStringLiteral("Orders")));
        QVERIFY(FinishStep::pageFilesAccepted(p, env.prompt));
        QVERIFY(FinishStep::pageFilesAccepted(seeded(projectOn(QStringLiteral("x.db"), kAwkward)),
                                              env.prompt));
        QVERIFY(env.prompt.messages().isEmpty());

        const auto refusedIn = [&](const Project& base, const QString& entry,
                                   const QString& message) {
            Project renamed = base;
            renamed.Rename.prepend(entry);
            env.prompt.clear();
            env.prompt.answer(Prompt::Ok);
            QVERIFY(!FinishStep::pageFilesAccepted(renamed, env.prompt));
            QCOMPARE(env.prompt.messages().size(), 1);
            QCOMPARE(env.prompt.messages().constFirst().text, message);
            QCOMPARE(env.prompt.messages().constFirst().icon, Prompt::Icon::Warning);
        };
        const auto refused = [&](const QString& entry, const QString& message) {
            refusedIn(p, entry, message);
        };
        // Letter case only.
        refused(QStringLiteral("orders_edit.asp;Orders_Index.asp"),
                QStringLiteral("The pages \"orders_index.asp\" and \"orders_edit.asp\" would both "
                               "be written as \"Orders_Index.asp\"!\nPlease give one of them "
                               "another name."));
        // Refused characters only.
        refused(QStringLiteral("orders_export.asp;orders?search.asp"),
                QStringLiteral("The pages \"orders_search.asp\" and \"orders_export.asp\" would "
                               "both be written as \"orders_search.asp\"!\nPlease give one of "
                               "them another name."));
        // Both, on the two pages of the include folder.
        refused(QStringLiteral("orders_dynamicfunctions.asp;ORDERS:VARIABLES.asp"),
                QStringLiteral("The pages \"orders_variables.asp\" and "
                               "\"orders_dynamicfunctions.asp\" would both be written as "
                               "\"ORDERS_VARIABLES.asp\"!\nPlease give one of them another name."));

        // A file the site writes for itself, in either folder.
        Project printing = p;
        printing.PrinterFriendlyVersion = true;
        QCOMPARE(fixedSiteFileNames(printing),
                 (QStringList{QStringLiteral("functions.asp"), QStringLiteral("style.css"),
                              QStringLiteral("site.js"), QStringLiteral("orders_validation.js"),
                              QStringLiteral("orders_print.asp")}));
        refusedIn(printing, QStringLiteral("orders_index.asp;Orders_Print.asp"),
                  QStringLiteral("The page \"orders_index.asp\" would be written as "
                                 "\"Orders_Print.asp\", a file the site needs for itself!\n"
                                 "Please give it another name."));
        refused(QStringLiteral("orders_variables.asp;functions.asp"),
                QStringLiteral("The page \"orders_variables.asp\" would be written as "
                               "\"functions.asp\", a file the site needs for itself!\nPlease "
                               "give it another name."));

        // The same name in different folders, and a page the run does not
        // write, are no collision.
        Project apart = p;
        apart.Rename.prepend(QStringLiteral("orders_variables.asp;orders_index.asp"));
        apart.Rename.prepend(QStringLiteral("orders_print.asp;orders_index.asp"));
        env.prompt.clear();
        QVERIFY(FinishStep::pageFilesAccepted(apart, env.prompt));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void engineWritesTheSeededNamesAndLinksThem() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("awkward.db"));
        QVERIFY(createDatabase(database, kAwkward));
        Project p = seeded(projectOn(database, kAwkward));
        p.PrinterFriendlyVersion = true;
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        p.DestinationPath = site;
        const QString file = env.path(QStringLiteral("awkward.pjx"));
        saveProjectFile(file, p, 10);

        const CliRun run = generateWithCli(file, env.programFolder());
        QCOMPARE(run.errors, QStringList{});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.endsWith(QStringLiteral("Done.\n")));
        QCOMPARE(filesBelow(site),
                 (QStringList{
                     QStringLiteral("order _lines_ 2026_edit.asp"),
                     QStringLiteral("order _lines_ 2026_export.asp"),
                     QStringLiteral("order _lines_ 2026_index.asp"),
                     QStringLiteral("order _lines_ 2026_print.asp"),
                     QStringLiteral("order _lines_ 2026_search.asp"),
                     QStringLiteral("include/functions.asp"),
                     QStringLiteral("include/order _lines_ 2026_dynamicfunctions.asp"),
                     QStringLiteral("include/order _lines_ 2026_validation.js"),
                     QStringLiteral("include/order _lines_ 2026_variables.asp"),
                     QStringLiteral("include/site.js"),
                     QStringLiteral("include/style.css"),
                 }));
        // The pages include and link each other under the written names.
        const QString index = readText(site + QStringLiteral("/order _lines_ 2026_index.asp"));
        QVERIFY(index.contains(
            QStringLiteral("<!-- #include file=\"include/order _lines_ 2026_variables.asp\" -->")));
        const QString variables =
            readText(site + QStringLiteral("/include/order _lines_ 2026_variables.asp"));
        for (const char* link :
             {"\"order%20_lines_%202026_index.asp\"", "\"order%20_lines_%202026_edit.asp\"",
              "\"order%20_lines_%202026_search.asp\"", "\"order%20_lines_%202026_export.asp\"",
              "\"order%20_lines_%202026_print.asp\""})
            QVERIFY2(variables.contains(QLatin1String(link)), link);
    }

    // A list edited outside the wizard: the run reports the page that would
    // overwrite another file as failed instead of replacing it.
    void theRunNeverWritesTwoFilesAsOne() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("orders.db"));
        QVERIFY(createDatabase(database, QStringLiteral("Orders")));
        Project p = seeded(projectOn(database, QStringLiteral("Orders")));
        p.PrinterFriendlyVersion = true;
        p.SelectedTemplate = QStringLiteral("Meadow");
        p.Rename.prepend(QStringLiteral("orders_variables.asp;functions.asp"));
        p.Rename.prepend(QStringLiteral("orders_index.asp;orders_print.asp"));
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        p.DestinationPath = site;
        const QString file = env.path(QStringLiteral("orders.pjx"));
        saveProjectFile(file, p, 10);

        const QString meadow = env.programFolder() + QStringLiteral("/template/Meadow/");
        QVERIFY(QDir().mkpath(meadow));
        for (const QString& name : {QStringLiteral("index.html"), QStringLiteral("meadow.css"),
                                    QStringLiteral("preview.png")})
            QVERIFY(
                QFile::copy(QStringLiteral(ORDWICK_TEMPLATE_DIR "/Meadow/") + name, meadow + name));

        const CliRun run = generateWithCli(file, env.programFolder());
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.errors,
                 (QStringList{
                     QStringLiteral("error: clsASPScript.GenerateFunctionPage: Path/File access "
                                    "error: "
                                    "\"include/functions.asp\" was already written by this run; "
                                    "writing it again would overwrite it. Give the page another "
                                    "name. (75)"),
                     QStringLiteral("error: clsASPScript.GeneratePrintPage: Path/File access "
                                    "error: "
                                    "\"orders_print.asp\" was already written by this run; "
                                    "writing it again would overwrite it. Give the page another "
                                    "name. (75)"),
                     QStringLiteral("2 failure(s) were reported."),
                 }));
        // What was written first stays: the variables and the list page.
        QVERIFY(readText(site + QStringLiteral("/include/functions.asp"))
                    .contains(QStringLiteral("var OW_PAGES = {")));
        QVERIFY(readText(site + QStringLiteral("/orders_print.asp"))
                    .contains(QStringLiteral("class=\"ow-search\"")));
        // The template's own picture belongs to the wizard, not to the site.
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/meadow.css")));
        QVERIFY(!QFileInfo::exists(site + QStringLiteral("/preview.png")));
    }

    void namesThatStillCannotBeWrittenAreWarnedOncePerWrittenPage() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("awkward.db"));
        QVERIFY(createDatabase(database, kAwkward));
        // An old project: its list names the pages as the table spells them,
        // the user typed a device name for the edit page, and the login page
        // is not written (no login name).
        Project p = projectOn(database, kAwkward);
        p.AdvancedSearch = p.ExportOption = false;
        p.LoginPage = true;
        p.Rename = {
            QStringLiteral("order \"lines\" 2026_variables.asp;order \"lines\" 2026_variables.asp"),
            QStringLiteral("order \"lines\" 2026_dynamicfunctions.asp;order \"lines\" "
                           "2026_dynamicfunctions.asp"),
            QStringLiteral("order \"lines\" 2026_index.asp;order \"lines\" 2026_index.asp"),
            QStringLiteral("order \"lines\" 2026_edit.asp;con.asp"),
        };
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        p.DestinationPath = site;
        const QString file = env.path(QStringLiteral("old.pjx"));
        saveProjectFile(file, p, 10);

        const CliRun run = generateWithCli(file, env.programFolder());
        QCOMPARE(run.errors,
                 (QStringList{
                     QStringLiteral("warning: clsASPScript.PlanSite: The page \"order \"lines\" "
                                    "2026_variables.asp\" cannot be written as \"order \"lines\" "
                                    "2026_variables.asp\"; it is written as \"order _lines_ "
                                    "2026_variables.asp\". (5)"),
                     QStringLiteral("warning: clsASPScript.PlanSite: The page \"order \"lines\" "
                                    "2026_dynamicfunctions.asp\" cannot be written as \"order "
                                    "\"lines\" 2026_dynamicfunctions.asp\"; it is written as "
                                    "\"order _lines_ 2026_dynamicfunctions.asp\". (5)"),
                     QStringLiteral("warning: clsASPScript.PlanSite: The page \"order \"lines\" "
                                    "2026_index.asp\" cannot be written as \"order \"lines\" "
                                    "2026_index.asp\"; it is written as \"order _lines_ "
                                    "2026_index.asp\". (5)"),
                     QStringLiteral("warning: clsASPScript.PlanSite: The page \"order \"lines\" "
                                    "2026_edit.asp\" cannot be written as \"con.asp\"; it is "
                                    "written as \"con_.asp\". (5)"),
                 }));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/con_.asp")));
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/order _lines_ 2026_index.asp")));

        // Through the binding: warnings, no failure.
        QDir(site).removeRecursively();
        QVERIFY(QDir().mkpath(site));
        GenerationEngine engine(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        QStringList warnings;
        QStringList failures;
        connect(
            &engine, &GenerationEngine::warningReported, this,
            [&](const QString&, const QString& description, int) { warnings.append(description); });
        connect(
            &engine, &GenerationEngine::failureReported, this,
            [&](const QString&, const QString& description, int) { failures.append(description); });
        engine.setProjectFilePath(file);
        engine.setApplicationPath(env.programFolder());
        QCOMPARE(engine.generate(), GenerationEngine::Outcome::Finished);
        QCOMPARE(failures, QStringList{});
        QCOMPARE(warnings.size(), 4);
        QCOMPARE(warnings.constLast(),
                 QStringLiteral("The page \"order \"lines\" 2026_edit.asp\" cannot be written as "
                                "\"con.asp\"; it is written as \"con_.asp\"."));
    }

    void windowRunsTheAwkwardTable() {
        TestEnvironment env;
        const QString database = env.path(QStringLiteral("awkward.db"));
        QVERIFY(createDatabase(database, kAwkward));
        Project p = projectOn(database, kAwkward);
        const QString file = env.path(QStringLiteral("awkward.pjx"));
        saveProjectFile(file, p, 10);
        MainWindow window(env.prompt);
        window.setEngineLibrary(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        window.load({file});
        for (int i = 0; i < 8 && window.session().currentStep < 10; ++i)
            window.onNextClicked();
        QCOMPARE(window.session().currentStep, 10);
        QVERIFY(window.session().project.Rename.contains(
            QStringLiteral("order \"lines\" 2026_index.asp;order _lines_ 2026_index.asp")));
        const QString site = env.path(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site));
        window.wizard().finishPage().txtDestinationPath()->setText(site);

        // Two pages renamed to one file: refused, nothing saved or written.
        const QStringList seededList = window.session().project.Rename;
        window.session().project.Rename.prepend(
            QStringLiteral("order \"lines\" 2026_edit.asp;Order _Lines_ 2026_Index.asp"));
        env.prompt.answer(Prompt::Ok);
        window.onNextClicked();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("The pages \"order \"lines\" 2026_index.asp\" and \"order "
                                "\"lines\" 2026_edit.asp\" would both be written as \"Order "
                                "_Lines_ 2026_Index.asp\"!\nPlease give one of them another "
                                "name."));
        QCOMPARE(window.session().currentStep, 10);
        QVERIFY(QDir(site).isEmpty());

        // The seeded names: a run without a warning.
        window.session().project.Rename = seededList;
        env.prompt.answer(Prompt::No);
        window.onNextClicked();
        QCOMPARE(env.prompt.messages().constLast().text,
                 QStringLiteral("ASP files for Order \"Lines\" 2026 has been sucessfully "
                                "generated!\nWould you like to create a new project?"));
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/order _lines_ 2026_index.asp")));

        // A typed name that cannot be written: the run succeeds and says so.
        window.session().project.Rename.prepend(
            QStringLiteral("order \"lines\" 2026_index.asp;lines?.asp"));
        env.prompt.answer(Prompt::No);
        window.onNextClicked();
        const Prompt::Message last = env.prompt.messages().constLast();
        QCOMPARE(last.text,
                 QStringLiteral("ASP files for Order \"Lines\" 2026 has been sucessfully "
                                "generated!\n- The page \"order \"lines\" 2026_index.asp\" cannot "
                                "be written as \"lines?.asp\"; it is written as \"lines_.asp\"."
                                "\nWould you like to create a new project?"));
        QCOMPARE(last.icon, Prompt::Icon::Question);
        QVERIFY(QFileInfo::exists(site + QStringLiteral("/lines_.asp")));
        QVERIFY(!QFile::exists(env.errorLogPath()));
        QVERIFY(env.prompt.allAnswersUsed());
    }
};

QTEST_MAIN(PageNamesTest)
#include "tst_pagenames.moc"
