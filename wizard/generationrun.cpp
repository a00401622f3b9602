#include "wizard/generationrun.h"

#include "foundation/errorhandler.h"
#include "foundation/paths.h"
#include "foundation/runtimeerror.h"
#include "generation/enginebinding.h"
#include "project/projectsession.h"
#include "templates/templatestore.h"

#include <QDir>
#include <QScopeGuard>
#include <utility>

namespace ordwick {

namespace {

// One line per item, each opened with "- ".
QString listed(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += QStringLiteral("\n- ") + line;
    return text;
}

} // namespace

GenerationRun::GenerationRun(ProjectSession& session, QString engineLibrary, QObject* parent)
    : QObject(parent), m_session(session), m_engineLibrary(std::move(engineLibrary)) {}

void GenerationRun::prepareFolders(const QString& destination) const {
    QStringList folders{QStringLiteral("include"), QStringLiteral("images")};
    if (m_session.project.DatasourceStatus == DatasourceFile)
        folders.prepend(QStringLiteral("db"));
    for (const QString& folder : std::as_const(folders)) {
        if (!QDir().mkpath(destination + folder))
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("Path/File access error: cannot create \"%1\"")
                                   .arg(destination + folder));
    }
}

GenerationRun::Result GenerationRun::run() {
    Result result;
    const QString saved = m_session.saveProject();
    if (saved.isEmpty())
        return result;
    prepareFolders(QualityPath(m_session.project.DestinationPath));

    GenerationEngine engine(m_engineLibrary.isEmpty() ? GenerationEngine::defaultLibraryPath()
                                                      : m_engineLibrary);
    m_engine = &engine;
    const auto release = qScopeGuard([this] { m_engine = nullptr; });
    engine.setProjectFilePath(saved);
    // The engine reads the templates from the same store the wizard offers.
    const TemplateStore store = TemplateStore::forThisUser();
    QDir().mkpath(store.root());
    engine.setApplicationPath(store.baseFolder());
    m_taskFailed = false;
    connect(&engine, &GenerationEngine::progress, this, [this](int progressStatus) {
        Q_EMIT progress(progressStatus, std::exchange(m_taskFailed, false));
    });
    connect(&engine, &GenerationEngine::failureReported, this,
            [this, &result](const QString& source, const QString& description, int number) {
                m_taskFailed = true;
                // The engine decides how it carries on; the report is only shown.
                ReportError(source, description, number);
                if (!result.failures.contains(description))
                    result.failures.append(description);
            });
    connect(&engine, &GenerationEngine::warningReported, this,
            [&result](const QString&, const QString& description, int) {
                if (!result.warnings.contains(description))
                    result.warnings.append(description);
            });
    const GenerationEngine::Outcome outcome = engine.generate();
    if (outcome == GenerationEngine::Outcome::Aborted || engine.abortRequested())
        result.outcome = Outcome::Aborted;
    else if (outcome == GenerationEngine::Outcome::NotRun)
        result.outcome = Outcome::NotStarted;
    else
        result.outcome = result.failures.isEmpty() ? Outcome::Succeeded : Outcome::Failed;
    return result;
}

void GenerationRun::requestAbort() {
    if (m_engine != nullptr)
        m_engine->setAbort(true);
}

QString GenerationRun::outcomeMessage(const QString& table, const Result& result) {
    switch (result.outcome) {
    case Outcome::Succeeded:
        return QStringLiteral("ASP files for ") + table +
               QStringLiteral(" has been sucessfully generated!") + listed(result.warnings);
    case Outcome::Aborted:
        return QStringLiteral("ASP files generation aborted by user!");
    case Outcome::Failed:
    case Outcome::NotStarted:
        break;
    }
    const auto count = result.failures.size();
    QString text = count == 0
                       ? QStringLiteral("ASP files for %1 were not generated.").arg(table)
                       : QStringLiteral("ASP files for %1 were generated incompletely: %2 %3 "
                                        "failed.")
                             .arg(table, QString::number(count),
                                  count == 1 ? QStringLiteral("task") : QStringLiteral("tasks"));
    return text + listed(result.failures) + listed(result.warnings);
}

} // namespace ordwick
