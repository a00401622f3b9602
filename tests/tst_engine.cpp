// The engine's contract with the program, through the real binding: the
// library loaded by name, tasks and progress numbers, Abort, failures, and the
// command-line front end.
#include "foundation/runtimeerror.h"
#include "generation/enginebinding.h"
#include "generation/tasklist.h"
#include "project/projectfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ordwick;

namespace {

struct Report {
    QString module;
    QString description;
    int number = 0;
};

ColumnSettings column(const QString& name, int dataType, int position) {
    ColumnSettings c;
    c.ColumnName = name;
    c.DataType = dataType;
    c.Position = position;
    c.ListCaption = name;
    c.EditCaption = name;
    c.MaxLength = 50;
    return c;
}

// The sample shop's Products table with every feature switched as asked.
Project productsProject(const QString& destination) {
    Project p;
    p.DatasourceStatus = DatasourceFile;
    p.DatasourceType = 7;
    p.DatabaseName = QStringLiteral(ORDWICK_SAMPLE_DATABASE);
    p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + p.DatabaseName;
    p.TableName = QStringLiteral("Products");
    p.Columns = {
        column(QStringLiteral("ProductID"), 1, 1), column(QStringLiteral("ProductName"), 4, 2),
        column(QStringLiteral("UnitPrice"), 7, 3), column(QStringLiteral("Discontinued"), 6, 4),
        column(QStringLiteral("Description"), 5, 5)};
    p.SQLString = QStringLiteral("SELECT [ProductID], [ProductName], [UnitPrice], "
                                 "[Discontinued], [Description] FROM  [Products]");
    p.UniqueKey = {QStringLiteral("ProductID")};
    p.DestinationPath = destination;
    return p;
}

Project everything(Project p) {
    p.EnableAppend = p.EditAs = p.EnableDelete = true;
    p.SimpleSearch = p.AdvancedSearch = p.InitialSort = p.PageSupport = true;
    p.LoginPage = true;
    p.CodeLoginName = QStringLiteral("admin");
    p.CodeLoginPassword = QStringLiteral("secret");
    p.PrinterFriendlyVersion = p.ExportOption = p.RecordsPerPage = true;
    return p;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One engine run with everything it raised recorded.
struct Recorded {
    QList<int> progress;
    QList<bool> aborted;
    QList<Report> reports;
    GenerationEngine::Outcome outcome = GenerationEngine::Outcome::NotRun;
    bool abortAfter = false;
};

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    int m_next = 0;

    QString library() const { return QStringLiteral(ORDWICK_ENGINE_LIBRARY); }

    QString freshFolder(const QString& stem) {
        const QString path = m_root.filePath(stem + QString::number(++m_next));
        QDir().mkpath(path);
        return path;
    }

    QString saveProject(const Project& project) {
        const QString path = m_root.filePath(QStringLiteral("project%1.pjx").arg(++m_next));
        saveProjectFile(path, project, 10);
        return path;
    }

    QString appFolder() {
        const QString app = freshFolder(QStringLiteral("app"));
        QDir().mkpath(app + QStringLiteral("/template"));
        return app;
    }

    Recorded run(const QString& projectFile, const QString& app,
                 const std::function<void(GenerationEngine&, Recorded&)>& arrange = {}) {
        GenerationEngine engine(library());
        Recorded r;
        connect(&engine, &GenerationEngine::progress, [&](int n) { r.progress.append(n); });
        connect(&engine, &GenerationEngine::aborted, [&](bool s) { r.aborted.append(s); });
        connect(&engine, &GenerationEngine::failureReported,
                [&](const QString& m, const QString& d, int n) {
                    r.reports.append({m, d, n});
                });
        engine.setProjectFilePath(projectFile);
        engine.setApplicationPath(app);
        if (arrange)
            arrange(engine, r);
        r.outcome = engine.generate();
        r.abortAfter = engine.abortRequested();
        return r;
    }

    static QList<int> expectedProgress(const Project& project) {
        QList<int> numbers;
        const auto tasks = generationTasks(project);
        for (size_t i = 0; i < tasks.size(); ++i)
            numbers.append(progressNumber(static_cast<int>(i)));
        return numbers;
    }

    static QString describe(const QList<Report>& reports) {
        QStringList lines;
        for (const Report& r : reports)
            lines.append(r.module + QStringLiteral(": ") + r.description +
                         QStringLiteral(" (%1)").arg(r.number));
        return lines.join(QLatin1Char('\n'));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        QVERIFY2(QFile::exists(QStringLiteral(ORDWICK_SAMPLE_DATABASE)),
                 "the sample database is built by the ordwick_samples target");
    }

    void tasksAndProgressFollowTheFinishList_data() {
        QTest::addColumn<int>("variant");
        QTest::newRow("defaults") << 0;
        QTest::newRow("every feature, fixed login") << 1;
        QTest::newRow("edit only, no file source") << 2;
        QTest::newRow("login switched on without credentials") << 3;
        QTest::newRow("search and export only") << 4;
    }

    void tasksAndProgressFollowTheFinishList() {
        QFETCH(int, variant);
        Project p = productsProject(freshFolder(QStringLiteral("site")));
        switch (variant) {
        case 1:
            p = everything(p);
            break;
        case 2:
            p.EditAs = true;
            p.DatasourceStatus = DatasourceConnection;
            break;
        case 3:
            p.LoginPage = true;
            break;
        case 4:
            p.AdvancedSearch = p.ExportOption = true;
            break;
        default:
            break;
        }
        const QString file = saveProject(p);
        const Recorded r = run(file, appFolder());
        QVERIFY2(r.reports.isEmpty(), qPrintable(describe(r.reports)));
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
        QCOMPARE(r.progress, expectedProgress(p));
        QVERIFY(r.aborted.isEmpty());
        QVERIFY(!r.abortAfter);

        // Progress n marks grid row n + 1; row 1 is the group row, so the
        // first task is row 2 and the last one the grid's last row.
        const auto tasks = generationTasks(p);
        QCOMPARE(r.progress.first() + 1, 2);
        QCOMPARE(r.progress.last() + 1, static_cast<int>(tasks.size()) + kTaskListGroupRows);

        GenerationEngine engine(library());
        engine.setProjectFilePath(file);
        const std::vector<EngineTask> listed = engine.tasks();
        QCOMPARE(listed.size(), tasks.size());
        for (size_t i = 0; i < tasks.size(); ++i) {
            QCOMPARE(listed[i].text, tasks[i].text);
            QCOMPARE(listed[i].progressNumber, progressNumber(static_cast<int>(i)));
        }
    }

    void callerLoopTurnsBetweenAndInsideTasks() {
        const Project p = everything(productsProject(freshFolder(QStringLiteral("site"))));
        int turns = 0;
        QList<int> turnsAtProgress;
        const Recorded r = run(saveProject(p), appFolder(), [&](GenerationEngine& e, Recorded&) {
            e.yield = [&] { ++turns; };
            connect(&e, &GenerationEngine::progress, [&](int) { turnsAtProgress.append(turns); });
        });
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
        const int tasks = static_cast<int>(generationTasks(p).size());
        QVERIFY(turns > tasks);
        // The images task writes many files and turns the loop after each.
        const int images = turnsAtProgress.at(4) - turnsAtProgress.at(3);
        QVERIFY2(images >= 13, qPrintable(QString::number(images)));
    }

    void abortBetweenTasks() {
        const QString site = freshFolder(QStringLiteral("site"));
        const Project p = everything(productsProject(site));
        const Recorded r = run(saveProject(p), appFolder(), [](GenerationEngine& e, Recorded& rec) {
            QObject::connect(&e, &GenerationEngine::progress, [&e, &rec](int) {
                if (rec.progress.size() == 3)
                    e.setAbort(true);
            });
        });
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Aborted);
        QCOMPARE(r.progress, expectedProgress(p).mid(0, 3));
        QCOMPARE(r.aborted, QList<bool>{true});
        QVERIFY(r.abortAfter);
        QVERIFY(r.reports.isEmpty());
        QVERIFY(QFile::exists(site + QStringLiteral("/include/products_dynamicfunctions.asp")));
        QVERIFY(!QFile::exists(site + QStringLiteral("/include/style.css")));
        QVERIFY(!QFile::exists(site + QStringLiteral("/products_index.asp")));
    }

    void abortInsideALongTask() {
        const QString site = freshFolder(QStringLiteral("site"));
        const Project p = everything(productsProject(site));
        int turnsInImages = 0;
        const Recorded r =
            run(saveProject(p), appFolder(), [&](GenerationEngine& e, Recorded& rec) {
                e.yield = [&] {
                    // Four tasks done: one turn between tasks, then one per image.
                    if (rec.progress.size() == 4 && ++turnsInImages == 4)
                        e.setAbort(true);
                };
            });
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Aborted);
        QCOMPARE(r.progress, expectedProgress(p).mid(0, 4));
        QCOMPARE(r.aborted, QList<bool>{true});
        const QStringList images = QDir(site + QStringLiteral("/images")).entryList(QDir::Files);
        QCOMPARE(images.size(), 3);
        QVERIFY(!QFile::exists(site + QStringLiteral("/db/shop.db")));
    }

    void abortSetBeforeTheRunStopsAtOnce() {
        const QString site = freshFolder(QStringLiteral("site"));
        const Recorded r = run(saveProject(productsProject(site)), appFolder(),
                               [](GenerationEngine& e, Recorded&) { e.setAbort(true); });
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Aborted);
        QVERIFY(r.progress.isEmpty());
        QCOMPARE(r.aborted, QList<bool>{true});
        QVERIFY(filesUnder(site).isEmpty());
    }

    void failingTaskIsReportedAndTheRunGoesOn() {
        const QString site = freshFolder(QStringLiteral("site"));
        const Project p = everything(productsProject(site));
        // A folder where the index page belongs: that one file cannot be written.
        QVERIFY(QDir().mkpath(site + QStringLiteral("/products_index.asp")));
        const Recorded r = run(saveProject(p), appFolder());
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
        QCOMPARE(r.reports.size(), 1);
        QCOMPARE(r.reports[0].module, QStringLiteral("clsASPScript.GenerateIndexPage"));
        QCOMPARE(r.reports[0].number, ErrorNumber::PathFileAccess);
        QVERIFY(r.reports[0].description.contains(QStringLiteral("products_index.asp")));
        QCOMPARE(r.progress, expectedProgress(p));
        QVERIFY(QFile::exists(site + QStringLiteral("/products_edit.asp")));
        QVERIFY(QFile::exists(site + QStringLiteral("/products_export.asp")));
        QVERIFY(r.aborted.isEmpty());
    }

    void missingTemplateFallsBackToTheBuiltInFrame() {
        const QString site = freshFolder(QStringLiteral("site"));
        Project p = productsProject(site);
        p.SelectedTemplate = QStringLiteral("Nowhere");
        const Recorded r = run(saveProject(p), appFolder());
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
        QCOMPARE(r.reports.size(), 1);
        QCOMPARE(r.reports[0].module, QStringLiteral("clsASPScript.LoadTemplate"));
        QCOMPARE(r.reports[0].number, ErrorNumber::FileNotFound);
        QVERIFY(r.reports[0].description.contains(QStringLiteral("Nowhere")));
        QCOMPARE(r.progress, expectedProgress(p));
        const QByteArray index = readAll(site + QStringLiteral("/products_index.asp"));
        QVERIFY(index.contains("<body class=\"ow-plain\">"));
    }

    void templateWithoutBodyTagIsRefused() {
        const QString site = freshFolder(QStringLiteral("site"));
        const QString app = appFolder();
        QDir().mkpath(app + QStringLiteral("/template/Bare"));
        QFile html(app + QStringLiteral("/template/Bare/index.html"));
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<html><body>no tag</body></html>");
        html.close();
        Project p = productsProject(site);
        p.SelectedTemplate = QStringLiteral("Bare");
        const Recorded r = run(saveProject(p), app);
        QCOMPARE(r.reports.size(), 1);
        QCOMPARE(r.reports[0].module, QStringLiteral("clsASPScript.LoadTemplate"));
        QVERIFY(r.reports[0].description.contains(QStringLiteral("<|body|>")));
        QVERIFY(readAll(site + QStringLiteral("/products_index.asp")).contains("ow-plain"));
    }

    void destinationThatCannotBeWritten() {
        // A file where the destination folder should be: nothing below it can
        // be created, whoever runs the test.
        const QString blocker = m_root.filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const Project p = everything(productsProject(blocker + QStringLiteral("/site")));
        const Recorded r = run(saveProject(p), appFolder());
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
        QCOMPARE(r.progress, expectedProgress(p));
        const auto tasks = generationTasks(p);
        QCOMPARE(r.reports.size(), static_cast<qsizetype>(tasks.size()));
        for (size_t i = 0; i < tasks.size(); ++i) {
            QVERIFY(r.reports[static_cast<qsizetype>(i)].module.startsWith(
                QStringLiteral("clsASPScript.Generate")));
            QCOMPARE(r.reports[static_cast<qsizetype>(i)].number, ErrorNumber::PathFileAccess);
        }
        QVERIFY(QFileInfo(blocker).isFile());
    }

    void projectFileProblems() {
        // A missing file: one report, no task.
        Recorded r = run(m_root.filePath(QStringLiteral("absent.pjx")), appFolder());
        QCOMPARE(r.outcome, GenerationEngine::Outcome::NotRun);
        QCOMPARE(r.reports.size(), 1);
        QCOMPARE(r.reports[0].module, QStringLiteral("clsASPScript.ReadProject"));
        QCOMPARE(r.reports[0].number, ErrorNumber::FileNotFound);
        QVERIFY(r.progress.isEmpty());

        // A value that does not convert is reported through the engine's own
        // error handler and the run goes on with the field's default.
        const QString site = freshFolder(QStringLiteral("site"));
        const QString file = saveProject(productsProject(site));
        QByteArray text = readAll(file);
        text.replace("EnableAppend=False", "EnableAppend=Maybe");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text);
        out.close();
        r = run(file, appFolder());
        QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
        QCOMPARE(r.reports.size(), 1);
        QCOMPARE(r.reports[0].module, QStringLiteral("clsASPScript.ReadProject"));
        QCOMPARE(r.reports[0].number, ErrorNumber::TypeMismatch);
        QVERIFY(r.reports[0].description.contains(QStringLiteral("EnableAppend")));
        QVERIFY(QFile::exists(site + QStringLiteral("/products_index.asp")));

        // A project without columns cannot be planned.
        Project empty = productsProject(freshFolder(QStringLiteral("site")));
        empty.Columns.clear();
        r = run(saveProject(empty), appFolder());
        QCOMPARE(r.outcome, GenerationEngine::Outcome::NotRun);
        QCOMPARE(r.reports.size(), 1);
        QVERIFY(r.progress.isEmpty());
    }

    void loadingTheLibrary() {
        try {
            GenerationEngine missing(m_root.filePath(QStringLiteral("nowhere/ordwick-engine")));
            QFAIL("a missing library must not load");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::FileNotFound);
            QVERIFY(error.description().contains(QStringLiteral("nowhere")));
        }
        // A library that is not an engine.
        try {
            GenerationEngine other(QStringLiteral("sqlite3"));
            QFAIL("a library without the engine's interface must be refused");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::InvalidCall);
            QVERIFY(error.description().contains(QStringLiteral("ordwick_engine_")));
        }
        QCOMPARE(GenerationEngine::libraryName(), QStringLiteral("ordwick-engine"));

        // One load per run: loaded, run, unloaded, and again.
        for (int i = 0; i < 2; ++i) {
            const QString site = freshFolder(QStringLiteral("site"));
            const Recorded r = run(saveProject(productsProject(site)), appFolder());
            QCOMPARE(r.outcome, GenerationEngine::Outcome::Finished);
            QVERIFY(QFile::exists(site + QStringLiteral("/products_index.asp")));
        }
    }

    void reentrantRunIsRefusedAndCallerFailuresComeOut() {
        const Project p = productsProject(freshFolder(QStringLiteral("site")));
        GenerationEngine engine(library());
        engine.setProjectFilePath(saveProject(p));
        engine.setApplicationPath(appFolder());
        int progress = 0;
        connect(&engine, &GenerationEngine::progress, [&](int) {
            ++progress;
            engine.generate(); // throws: a run is going
        });
        QVERIFY_THROWS_EXCEPTION(RuntimeError, engine.generate());
        // The failure stopped the run at once.
        QCOMPARE(progress, 1);
        QVERIFY(engine.abortRequested());
    }

    void sameProjectSameBytes() {
        Project p = everything(productsProject({}));
        p.SelectedTemplate = QStringLiteral("Harbour");
        const QString app = appFolder();
        QVERIFY(QDir().mkpath(app + QStringLiteral("/template/Harbour/harbour")));
        for (const QString& name :
             {QStringLiteral("index.html"), QStringLiteral("harbour/harbour.css")}) {
            QVERIFY(QFile::copy(QStringLiteral(ORDWICK_TEMPLATE_DIR "/Harbour/") + name,
                                app + QStringLiteral("/template/Harbour/") + name));
        }
        QStringList sites;
        for (int i = 0; i < 2; ++i) {
            p.DestinationPath = freshFolder(QStringLiteral("same"));
            sites.append(p.DestinationPath);
            const Recorded r = run(saveProject(p), app);
            QVERIFY2(r.reports.isEmpty(), qPrintable(describe(r.reports)));
        }
        const QStringList files = filesUnder(sites[0]);
        QCOMPARE(filesUnder(sites[1]), files);
        QVERIFY(files.contains(QStringLiteral("harbour/harbour.css")));
        for (const QString& f : files)
            QVERIFY2(readAll(sites[0] + QLatin1Char('/') + f) ==
                         readAll(sites[1] + QLatin1Char('/') + f),
                     qPrintable(f));
        // Written whole: no temporary file is left beside any of them.
        for (const QString& f : files)
            QVERIFY2(!QFileInfo(f).fileName().contains(QLatin1String(".asp.")), qPrintable(f));
    }

    void commandLineFrontEnd() {
        const QString cli = QStringLiteral(ORDWICK_GENERATE);
        const QString site = freshFolder(QStringLiteral("site"));
        const Project p = everything(productsProject(site));
        const QString file = saveProject(p);
        const QString app = appFolder();

        QProcess list;
        list.start(cli, {file, QStringLiteral("--list-tasks"), QStringLiteral("--app-dir"), app});
        QVERIFY(list.waitForFinished(60000));
        QCOMPARE(list.exitCode(), 0);
        // Every feature of a file source: all thirteen tasks, in the order of the task list.
        const QStringList expected{QStringLiteral("Generate variable page"),
                                   QStringLiteral("Generate function page"),
                                   QStringLiteral("Generate dynamic function page"),
                                   QStringLiteral("Generate stylesheet page"),
                                   QStringLiteral("Generate images"),
                                   QStringLiteral("Generate database"),
                                   QStringLiteral("Generate login page"),
                                   QStringLiteral("Generate index page"),
                                   QStringLiteral("Generate edit page"),
                                   QStringLiteral("Generate validation page"),
                                   QStringLiteral("Generate search page"),
                                   QStringLiteral("Generate print page"),
                                   QStringLiteral("Generate export page")};
        QCOMPARE(QString::fromUtf8(list.readAllStandardOutput())
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 expected);
        QVERIFY(filesUnder(site).isEmpty());

        QProcess generate;
        generate.start(cli, {file, QStringLiteral("--app-dir"), app});
        QVERIFY(generate.waitForFinished(60000));
        QCOMPARE(generate.exitCode(), 0);
        const QString output = QString::fromUtf8(generate.readAllStandardOutput());
        for (qsizetype i = 0; i < expected.size(); ++i)
            QVERIFY2(
                output.contains(
                    QStringLiteral("[%1/%2] %3").arg(i + 1).arg(expected.size()).arg(expected[i])),
                qPrintable(output));
        QVERIFY(QFile::exists(site + QStringLiteral("/products_export.asp")));

        // A task that fails makes the exit code non-zero.
        const QString broken = freshFolder(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(broken + QStringLiteral("/products_index.asp")));
        QProcess failing;
        failing.start(cli,
                      {saveProject(productsProject(broken)), QStringLiteral("--app-dir"), app});
        QVERIFY(failing.waitForFinished(60000));
        QCOMPARE(failing.exitCode(), 1);
        QVERIFY(QString::fromUtf8(failing.readAllStandardError())
                    .contains(QStringLiteral("clsASPScript.GenerateIndexPage")));

        // A source only the web server reaches: the pages are written, with a warning.
        const QString remote = freshFolder(QStringLiteral("site"));
        Project elsewhere = productsProject(remote);
        elsewhere.DatasourceStatus = DatasourceDsn;
        elsewhere.DatabaseName = QStringLiteral("OnlyOnTheWebServer");
        elsewhere.ConnectionString = QStringLiteral("DSN=OnlyOnTheWebServer; UID=; PWD=");
        QProcess unreachable;
        unreachable.start(cli, {saveProject(elsewhere), QStringLiteral("--app-dir"), app});
        QVERIFY(unreachable.waitForFinished(60000));
        const QString warnings = QString::fromUtf8(unreachable.readAllStandardError());
        QCOMPARE(unreachable.exitCode(), 0);
        QVERIFY2(warnings.startsWith(QStringLiteral(
                     "warning: clsASPScript.GenerateIndexPage: The data source could not be "
                     "opened to check the queries of the pages; they are written unchecked: ")),
                 qPrintable(warnings));
        QCOMPARE(warnings.count(QStringLiteral("warning:")), 1);
        QVERIFY(QFile::exists(remote + QStringLiteral("/products_index.asp")));
        QVERIFY(QFile::exists(remote + QStringLiteral("/include/products_variables.asp")));

        QProcess usage;
        usage.start(cli, {});
        QVERIFY(usage.waitForFinished(60000));
        QCOMPARE(usage.exitCode(), 2);

        // A project that cannot be read is a failed run, not wrong usage.
        QProcess unreadable;
        unreadable.start(cli, {freshFolder(QStringLiteral("gone")) + QStringLiteral("/none.pjx")});
        QVERIFY(unreadable.waitForFinished(60000));
        QCOMPARE(unreadable.exitCode(), 1);
        QVERIFY(QString::fromUtf8(unreadable.readAllStandardError())
                    .contains(QStringLiteral("none.pjx\" cannot be read")));
    }

    void commandLineStopsCleanlyOnInterrupt() {
        // The template's index.html is a pipe: the engine waits on it before
        // its first task, so the interrupt surely arrives during the run.
        const QString cli = QStringLiteral(ORDWICK_GENERATE);
        const QString app = appFolder();
        QVERIFY(QDir().mkpath(app + QStringLiteral("/template/Piped")));
        const QByteArray fifo =
            QFile::encodeName(app + QStringLiteral("/template/Piped/index.html"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        const QString site = freshFolder(QStringLiteral("site"));
        Project p = everything(productsProject(site));
        p.SelectedTemplate = QStringLiteral("Piped");

        QProcess generate;
        generate.start(cli, {saveProject(p), QStringLiteral("--app-dir"), app});
        QVERIFY(generate.waitForStarted());
        // A writer can open the pipe only once the engine holds it open for
        // reading; from then on it waits for the template's text.
        int writer = -1;
        while (writer < 0 && generate.state() == QProcess::Running) {
            writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (writer < 0)
                generate.waitForFinished(10);
        }
        QVERIFY2(writer >= 0, generate.readAllStandardError().constData());
        QCOMPARE(::kill(static_cast<pid_t>(generate.processId()), SIGINT), 0);
        const char html[] = "<html><body><|body|></body></html>";
        QCOMPARE(::write(writer, html, sizeof html - 1), static_cast<ssize_t>(sizeof html - 1));
        ::close(writer);
        QVERIFY(generate.waitForFinished(60000));
        QCOMPARE(generate.exitStatus(), QProcess::NormalExit);
        QCOMPARE(generate.exitCode(), 130);
        QVERIFY(QString::fromUtf8(generate.readAllStandardError())
                    .contains(QStringLiteral("Interrupted")));
        QVERIFY(!QFile::exists(site + QStringLiteral("/products_index.asp")));
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
