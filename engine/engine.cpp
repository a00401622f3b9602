#include "engine/engine.h"

#include "datasource/connectionbuilder.h"
#include "datasource/dataconnection.h"
#include "engine/pngicons.h"
#include "engine/sitepages.h"
#include "engine/siteplan.h"
#include "foundation/atomicfile.h"
#include "foundation/errorhandler.h"
#include "foundation/runtimeerror.h"
#include "foundation/textcodec.h"
#include "generation/bodytag.h"
#include "generation/tasklist.h"
#include "project/projectfile.h"
#include "project/projectsession.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <chrono>
#include <exception>
#include <future>
#include <memory>
#include <optional>

namespace ordwick::engine {

namespace {

const QString kModule = QStringLiteral("clsASPScript.");

QString moduleOf(TaskKind kind) {
    switch (kind) {
    case TaskKind::Variables:
        return kModule + QStringLiteral("GenerateVariablePage");
    case TaskKind::Functions:
        return kModule + QStringLiteral("GenerateFunctionPage");
    case TaskKind::DynamicFunctions:
        return kModule + QStringLiteral("GenerateDynamicFunctionPage");
    case TaskKind::StyleSheet:
        return kModule + QStringLiteral("GenerateStyleSheet");
    case TaskKind::Images:
        return kModule + QStringLiteral("GenerateImages");
    case TaskKind::Database:
        return kModule + QStringLiteral("GenerateDatabase");
    case TaskKind::Login:
        return kModule + QStringLiteral("GenerateLoginPage");
    case TaskKind::Index:
        return kModule + QStringLiteral("GenerateIndexPage");
    case TaskKind::Edit:
        return kModule + QStringLiteral("GenerateEditPage");
    case TaskKind::Validation:
        return kModule + QStringLiteral("GenerateValidationPage");
    case TaskKind::Search:
        return kModule + QStringLiteral("GenerateSearchPage");
    case TaskKind::Print:
        return kModule + QStringLiteral("GeneratePrintPage");
    case TaskKind::Export:
        return kModule + QStringLiteral("GenerateExportPage");
    }
    return kModule + QStringLiteral("Generate");
}

// Thrown at a checkpoint once Abort is set; unwinds to the run loop.
struct Stopped {};

// The caller's callbacks and the run's own bookkeeping.
class Run {
public:
    Run(const ordwick_engine_events& events, const std::atomic<bool>& abort,
        ordwick_engine_warning_callback warning = nullptr)
        : m_events(events), m_abort(abort), m_warning(warning) {}

    void report(const QString& source, const QString& description, int number) {
        if (m_events.script_error)
            m_events.script_error(m_events.context, source.toUtf8().constData(),
                                  description.toUtf8().constData(), number);
    }
    // A caller that takes no warnings sees them as failures.
    void warn(const QString& source, const QString& description, int number) {
        if (!m_warning) {
            report(source, description, number);
            return;
        }
        m_warning(m_events.context, source.toUtf8().constData(), description.toUtf8().constData(),
                  number);
    }
    void progress(int status) {
        if (m_events.progress)
            m_events.progress(m_events.context, status);
    }
    void aborted() {
        if (m_events.aborted)
            m_events.aborted(m_events.context, 1);
    }
    // Lets the caller's loop take a turn, then stops the run if Abort is set.
    void checkpoint() {
        if (m_events.yield)
            m_events.yield(m_events.context);
        if (m_abort.load())
            throw Stopped{};
    }

    QString module;      // the module that reports from shared code are filed under
    QString destination; // with a trailing separator

private:
    const ordwick_engine_events& m_events;
    const std::atomic<bool>& m_abort;
    ordwick_engine_warning_callback m_warning;
};

// The central error handler's user, inside the engine: every report becomes a
// script_error event and is answered Ignore, so shared code carries on and
// no dialog ever comes from the engine.
class EventPrompt final : public Prompt {
public:
    explicit EventPrompt(Run& run) : m_run(run) {}

    int show(const Message& message) override {
        m_run.report(m_run.module, message.text, numberOf(message.text));
        return Ignore;
    }
    QString openFileName(const FileRequest&) override { return {}; }
    QString saveFileName(const FileRequest&) override { return {}; }
    QString folderName(const FileRequest&) override { return {}; }
    QStringList openFileNames(const FileRequest&) override { return {}; }
    QString inputText(const InputRequest&) override { return {}; }

private:
    // The handler hands its user the description only; the shared readers
    // open each description with the classic name of its error.
    static int numberOf(const QString& text) {
        if (text.startsWith(QLatin1String("Overflow")))
            return ErrorNumber::Overflow;
        if (text.startsWith(QLatin1String("Subscript out of range")))
            return ErrorNumber::SubscriptOutOfRange;
        if (text.startsWith(QLatin1String("Path/File access error")))
            return ErrorNumber::PathFileAccess;
        return ErrorNumber::TypeMismatch;
    }

    Run& m_run;
};

// The project's data source, opened at most once a run and only when
// something needs it: the family of a driver whose name told nothing, then
// the checks of the pages' queries.
class SourceConnection {
public:
    SourceConnection(Run& run, const Project& project) : m_run(run), m_project(project) {}

    // The open source, or null when it cannot be reached (said once, as a warning).
    DataConnection* get() {
        if (m_tried)
            return m_connection.get();
        m_tried = true;
        const Project& p = m_project;
        // A string typed with the name the server's driver has still opens here.
        const QString text =
            localConnectionString(p.ConnectionString.trimmed().isEmpty()
                                      ? BuildConnectionString(p, OriginLoaded, p.ConnectionString)
                                      : p.ConnectionString);
        // Opening may wait for a server; the caller's loop keeps turning meanwhile.
        auto opening = std::async(std::launch::async,
                                  [text] { return openConnection(text, ConnectOptions{10}); });
        while (opening.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready) {
            try {
                m_run.checkpoint();
            } catch (const Stopped&) {
                opening.wait();
                throw;
            }
        }
        try {
            m_connection = opening.get();
        } catch (const RuntimeError& error) {
            // The check is a courtesy: a source that only the web server reaches
            // (or a server that is down now) still gets its pages, with a warning.
            m_run.warn(m_run.module,
                       QStringLiteral("The data source could not be opened to check the "
                                      "queries of the pages; they are written unchecked: %1")
                           .arg(error.description()),
                       error.number());
        }
        return m_connection.get();
    }

private:
    Run& m_run;
    const Project& m_project;
    bool m_tried = false;
    std::unique_ptr<DataConnection> m_connection;
};

class Generator {
public:
    Generator(Run& run, const SitePlan& plan, const Frame& frame, QString templateFolder,
              SourceConnection& source)
        : m_run(run), m_plan(plan), m_frame(frame), m_templateFolder(std::move(templateFolder)),
          m_source(source) {}

    void perform(TaskKind kind) {
        switch (kind) {
        case TaskKind::Variables:
            write(m_plan.files.variables, variablesPage(m_plan, m_frame));
            break;
        case TaskKind::Functions:
            write(m_plan.files.functions, functionsPage());
            write(m_plan.files.siteScript, siteScript());
            break;
        case TaskKind::DynamicFunctions:
            write(m_plan.files.dynamicFunctions, dynamicFunctionsPage(m_plan));
            break;
        case TaskKind::StyleSheet:
            write(m_plan.files.styleSheet, styleSheet());
            copyTemplateFiles();
            break;
        case TaskKind::Images:
            for (const SiteImage& image : siteImages())
                write(QStringLiteral("images/") + image.fileName, image.bytes);
            break;
        case TaskKind::Database:
            copyDatabase();
            break;
        case TaskKind::Login:
            write(m_plan.files.login, loginPage(m_plan, m_frame));
            checkLogin();
            break;
        case TaskKind::Index:
            write(m_plan.files.index, indexPage(m_plan, m_frame));
            checkQuery(m_plan.baseSql);
            checkQuery(m_plan.recordSql);
            break;
        case TaskKind::Edit:
            write(m_plan.files.edit, editPage(m_plan, m_frame));
            for (const SiteColumn& c : m_plan.columns) {
                if (c.lookup.kind == Lookup::Kind::Query)
                    checkQuery(c.lookup.sql);
            }
            break;
        case TaskKind::Validation:
            write(m_plan.files.validationScript, validationScript(m_plan));
            break;
        case TaskKind::Search:
            write(m_plan.files.search, searchPage(m_plan, m_frame));
            break;
        case TaskKind::Print:
            write(m_plan.files.print, printPage(m_plan, m_frame));
            break;
        case TaskKind::Export:
            write(m_plan.files.exportPage, exportPage(m_plan));
            break;
        }
    }

private:
    void write(const QString& relative, const QByteArray& bytes) {
        // IIS does not tell letter case apart: two outputs that differ only
        // in case are one file there, and the second would replace the first.
        const QString key = relative.toLower();
        if (m_written.contains(key))
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("Path/File access error: \"%1\" was already written "
                                              "by this run; writing it again would overwrite it. "
                                              "Give the page another name.")
                                   .arg(relative));
        m_written.insert(key);
        const QString path = m_run.destination + relative;
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder))
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("Path/File access error: cannot create the folder "
                                              "\"%1\"")
                                   .arg(QDir::toNativeSeparators(folder)));
        // One flush for the whole site at the end of the run instead of one per file.
        writeFileAtomically(path, bytes, Durability::Deferred);
        m_run.checkpoint();
    }

    QByteArray readWhole(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw RuntimeError(file.exists() ? ErrorNumber::PathFileAccess
                                             : ErrorNumber::FileNotFound,
                               QStringLiteral("Cannot read \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        QByteArray bytes = file.readAll();
        m_run.checkpoint();
        return bytes;
    }

    void copyDatabase() {
        if (!m_plan.copiesDatabase)
            return;
        for (const QString& source : m_plan.databaseFiles)
            write(QStringLiteral("db/") + QFileInfo(source).fileName(), readWhole(source));
        // The data files sit below the site's folder; the web server must not
        // hand them out as downloads.
        write(QStringLiteral("db/web.config"),
              QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                "<configuration>\r\n"
                                "  <system.webServer>\r\n"
                                "    <security>\r\n"
                                "      <requestFiltering>\r\n"
                                "        <fileExtensions allowUnlisted=\"false\" />\r\n"
                                "      </requestFiltering>\r\n"
                                "    </security>\r\n"
                                "  </system.webServer>\r\n"
                                "</configuration>\r\n"));
    }

    // The template's own files (style sheets, pictures, scripts) go beside the
    // pages, keeping their folders, so its links keep working.
    void copyTemplateFiles() {
        if (!m_frame.isTemplate())
            return;
        const QDir root(m_templateFolder);
        QStringList files;
        QDirIterator it(m_templateFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(root.relativeFilePath(it.next()));
        files.sort();
        QStringList own = {
            m_plan.files.variables,  m_plan.files.functions,  m_plan.files.dynamicFunctions,
            m_plan.files.styleSheet, m_plan.files.siteScript, m_plan.files.validationScript,
            m_plan.files.index,      m_plan.files.edit,       m_plan.files.search,
            m_plan.files.print,      m_plan.files.exportPage, m_plan.files.login};
        for (const SiteImage& image : siteImages())
            own.append(QStringLiteral("images/") + image.fileName);
        for (const QString& relative : files) {
            // The frame and the picture the wizard shows of it are not part of the site.
            if (relative == QLatin1String("index.html") ||
                relative == QLatin1String("preview.png") ||
                own.contains(relative, Qt::CaseInsensitive))
                continue;
            write(relative, readWhole(root.filePath(relative)));
        }
    }

    DataConnection* connection() { return m_source.get(); }

    void checkQuery(const QString& sql) {
        DataConnection* source = connection();
        if (!source)
            return;
        try {
            source->checkQuery(sql);
        } catch (const RuntimeError& error) {
            throw RuntimeError(error.number(),
                               QStringLiteral("The data source refuses the query \"%1\": %2")
                                   .arg(sql, error.description()));
        }
    }

    void checkLogin() {
        if (m_plan.login != LoginKind::Table)
            return;
        const Project& p = *m_plan.project;
        checkQuery(QStringLiteral("SELECT %1, %2 FROM %3")
                       .arg(quotedName(p.DynamicLoginName, m_plan.quoting),
                            quotedName(p.DynamicLoginPassword, m_plan.quoting),
                            quotedName(p.DynamicTable, m_plan.quoting)));
    }

    Run& m_run;
    const SitePlan& m_plan;
    const Frame& m_frame;
    QString m_templateFolder;
    // One connection per run, shared by the tasks that check queries.
    SourceConnection& m_source;
    QSet<QString> m_written; // relative paths in lower case
};

bool isNoTemplate(const QString& name) {
    const QString trimmed = name.trimmed();
    return trimmed.isEmpty() ||
           trimmed.compare(QLatin1String("no template"), Qt::CaseInsensitive) == 0;
}

// The frame of the pages: the chosen template, or the built-in one when the
// project chose none or the template cannot be used (which is reported).
Frame loadFrame(Run& run, const QString& applicationPath, const QString& name,
                const SiteFiles& files, QString& folder) {
    if (isNoTemplate(name))
        return Frame::builtIn();
    const QString module = kModule + QStringLiteral("LoadTemplate");
    const QString trimmed = name.trimmed();
    if (trimmed.contains(QLatin1Char('/')) || trimmed.contains(QLatin1Char('\\')) ||
        trimmed == QLatin1String("..") || trimmed == QLatin1String(".")) {
        run.report(module,
                   QStringLiteral("\"%1\" is not the name of a template; the pages use the "
                                  "built-in frame.")
                       .arg(trimmed),
                   ErrorNumber::InvalidCall);
        return Frame::builtIn();
    }
    folder = QDir(QDir(applicationPath).filePath(QStringLiteral("template"))).filePath(trimmed);
    const QString index = QDir(folder).filePath(QStringLiteral("index.html"));
    const QFileInfo info(index);
    if (!info.exists() || info.isDir()) {
        run.report(module,
                   QStringLiteral("The template \"%1\" is missing (no \"%2\"); the pages use the "
                                  "built-in frame.")
                       .arg(trimmed, QDir::toNativeSeparators(index)),
                   ErrorNumber::FileNotFound);
        return Frame::builtIn();
    }
    QFile file(index);
    if (!file.open(QIODevice::ReadOnly)) {
        run.report(module,
                   QStringLiteral("The template \"%1\" cannot be read (%2); the pages use the "
                                  "built-in frame.")
                       .arg(trimmed, file.errorString()),
                   ErrorNumber::PathFileAccess);
        return Frame::builtIn();
    }
    const QString html = decodeText(file.readAll());
    if (!hasBodyTag(html)) {
        run.report(module,
                   QStringLiteral("The template \"%1\" has no %2 tag; the pages use the built-in "
                                  "frame.")
                       .arg(trimmed, bodyTag()),
                   ErrorNumber::InvalidCall);
        return Frame::builtIn();
    }
    return Frame::fromTemplate(html, files);
}

// Reads the project named by the engine; false when there is nothing to run.
bool readProject(Run& run, const QString& path, Project& project) {
    run.module = kModule + QStringLiteral("ReadProject");
    if (path.trimmed().isEmpty()) {
        run.report(run.module, QStringLiteral("No project file was given to generate from."),
                   ErrorNumber::FileNotFound);
        return false;
    }
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        run.report(run.module,
                   QStringLiteral("The project file \"%1\" does not exist.")
                       .arg(QDir::toNativeSeparators(path)),
                   ErrorNumber::FileNotFound);
        return false;
    }
    return readProjectFile(path, project);
}

// The engine's own error handler for the length of a call.
class RunScope {
public:
    explicit RunScope(Run& run)
        : m_prompt(run), m_handler(m_prompt, ErrorLog({}), [] { throw Stopped{}; }),
          m_scope(m_handler) {}

private:
    EventPrompt m_prompt;
    ErrorHandler m_handler;
    ErrorHandlerScope m_scope;
};

class Busy {
public:
    explicit Busy(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Busy() { m_flag = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& m_flag;
};

} // namespace

int Engine::generate(const ordwick_engine_events& events) {
    if (m_running)
        return ORDWICK_ENGINE_BUSY;
    const Busy busy(m_running);
    Run run(events, m_abort, m_warning);
    try {
        const RunScope scope(run);
        run.checkpoint();
        Project project;
        if (!readProject(run, m_projectFilePath, project))
            return ORDWICK_ENGINE_NOT_RUN;
        SourceConnection source(run, project);
        // A driver whose name told nothing: the database reached says what it is.
        if (project.DatasourceStatus != DatasourceFile &&
            project.DatasourceType == FamilyOtherSql) {
            run.module = kModule + QStringLiteral("PlanSite");
            if (const DataConnection* reached = source.get()) {
                if (const std::optional<std::int32_t> family =
                        classifyDatabaseName(reached->databaseName()))
                    project.DatasourceType = *family;
            }
        }
        std::vector<PlanProblem> problems;
        std::optional<SitePlan> plan;
        try {
            plan = makeSitePlan(project, problems);
        } catch (const RuntimeError& error) {
            run.report(run.module, error.description(), error.number());
            return ORDWICK_ENGINE_NOT_RUN;
        }
        const QString destination = project.DestinationPath.trimmed();
        if (destination.isEmpty()) {
            run.report(run.module,
                       QStringLiteral("The project names no destination folder for the pages."),
                       ErrorNumber::PathFileAccess);
            return ORDWICK_ENGINE_NOT_RUN;
        }
        run.destination = QDir(destination).absolutePath() + QLatin1Char('/');
        for (const PlanProblem& problem : problems) {
            if (problem.warning)
                run.warn(kModule + QStringLiteral("PlanSite"), problem.description, problem.number);
            else
                run.report(kModule + QStringLiteral("PlanSite"), problem.description,
                           problem.number);
        }
        QString templateFolder;
        const Frame frame = loadFrame(run, m_applicationPath, project.SelectedTemplate, plan->files,
                                      templateFolder);
        run.checkpoint();

        Generator generator(run, *plan, frame, templateFolder, source);
        for (size_t i = 0; i < plan->tasks.size(); ++i) {
            const GenerationTask& task = plan->tasks[i];
            run.module = moduleOf(task.kind);
            try {
                generator.perform(task.kind);
            } catch (const RuntimeError& error) {
                run.report(run.module, error.description(), error.number());
            } catch (const std::bad_alloc&) {
                run.report(run.module, QStringLiteral("Out of memory"), ErrorNumber::OutOfMemory);
            } catch (const Stopped&) {
                throw;
            } catch (const std::exception& error) {
                run.report(run.module, QString::fromLocal8Bit(error.what()), ErrorNumber::Internal);
            }
            run.progress(progressNumber(static_cast<int>(i)));
            if (i + 1 < plan->tasks.size())
                run.checkpoint();
        }
        try {
            // Nothing was written where no folder could be made; its failures are reported.
            if (QFileInfo(run.destination).isDir())
                flushFileSystemOf(run.destination);
        } catch (const RuntimeError& error) {
            run.report(kModule + QStringLiteral("Generate"), error.description(), error.number());
        }
        return ORDWICK_ENGINE_FINISHED;
    } catch (const Stopped&) {
        run.aborted();
        return ORDWICK_ENGINE_ABORTED;
    } catch (const std::exception& error) {
        run.report(kModule + QStringLiteral("Generate"), QString::fromLocal8Bit(error.what()),
                   ErrorNumber::Internal);
        return ORDWICK_ENGINE_NOT_RUN;
    }
}

int Engine::listTasks(const ordwick_engine_events& events, ordwick_engine_task_callback task) {
    if (m_running)
        return ORDWICK_ENGINE_BUSY;
    const Busy busy(m_running);
    std::atomic<bool> never{false};
    Run run(events, never);
    try {
        const RunScope scope(run);
        Project project;
        if (!readProject(run, m_projectFilePath, project))
            return 0;
        const std::vector<GenerationTask> tasks = generationTasks(project);
        for (size_t i = 0; i < tasks.size(); ++i) {
            if (task)
                task(events.context, progressNumber(static_cast<int>(i)),
                     tasks[i].text.toUtf8().constData());
        }
        return static_cast<int>(tasks.size());
    } catch (const std::exception& error) {
        run.report(kModule + QStringLiteral("ListTasks"), QString::fromLocal8Bit(error.what()),
                   ErrorNumber::Internal);
        return 0;
    } catch (const Stopped&) {
        return 0;
    }
}

} // namespace ordwick::engine
