#include "generation/enginebinding.h"

#include "foundation/programfolder.h"
#include "foundation/runtimeerror.h"
#include "generation/ordwick_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

namespace ordwick {

struct GenerationEngine::Api {
    decltype(&ordwick_engine_abi_version) abiVersion = nullptr;
    decltype(&ordwick_engine_create) create = nullptr;
    decltype(&ordwick_engine_destroy) destroy = nullptr;
    decltype(&ordwick_engine_set_application_path) setApplicationPath = nullptr;
    decltype(&ordwick_engine_set_project_file_path) setProjectFilePath = nullptr;
    decltype(&ordwick_engine_get_abort) getAbort = nullptr;
    decltype(&ordwick_engine_set_abort) setAbort = nullptr;
    decltype(&ordwick_engine_generate) generate = nullptr;
    decltype(&ordwick_engine_list_tasks) listTasks = nullptr;
    // Optional: an engine without it reports warnings as failures.
    decltype(&ordwick_engine_set_warning_callback) setWarningCallback = nullptr;
};

namespace {

template <typename Function> void resolve(QLibrary& library, const char* name, Function& target) {
    target = reinterpret_cast<Function>(library.resolve(name));
    if (!target)
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("\"%1\" is not a generation engine: it has no %2.")
                               .arg(library.fileName(), QString::fromLatin1(name)));
}

} // namespace

// Slots and `yield` are the caller's code, which may throw; nothing may unwind
// through the engine's C interface, so a failure is kept, the run is asked to
// stop, and the failure is thrown again once the engine has returned.
template <typename Call> void GenerationEngine::guarded(Call&& call) noexcept {
    if (m_pending)
        return;
    try {
        call();
    } catch (...) {
        m_pending = std::current_exception();
        m_api->setAbort(m_engine, 1);
    }
}

QString GenerationEngine::libraryName() {
    return QStringLiteral("ordwick-engine");
}

QString GenerationEngine::defaultLibraryPath() {
    const QDir folder(engineFolder());
    // QLibrary adds the platform's prefix and suffix; look for the file it would load.
    if (QFileInfo::exists(
            folder.filePath(QStringLiteral("lib") + libraryName() + QStringLiteral(".so"))))
        return folder.filePath(libraryName());
    return libraryName();
}

GenerationEngine::GenerationEngine(const QString& libraryPath, QObject* parent)
    : QObject(parent), m_library(libraryPath) {
    if (!m_library.load())
        throw RuntimeError(ErrorNumber::FileNotFound,
                           QStringLiteral("The generation engine \"%1\" cannot be loaded: %2")
                               .arg(libraryPath, m_library.errorString()));
    auto api = std::make_unique<Api>();
    try {
        resolve(m_library, "ordwick_engine_abi_version", api->abiVersion);
        if (api->abiVersion() != ORDWICK_ENGINE_ABI_VERSION)
            throw RuntimeError(ErrorNumber::InvalidCall,
                               QStringLiteral("The generation engine \"%1\" is of interface "
                                              "version %2; this program needs version %3.")
                                   .arg(m_library.fileName())
                                   .arg(api->abiVersion())
                                   .arg(ORDWICK_ENGINE_ABI_VERSION));
        resolve(m_library, "ordwick_engine_create", api->create);
        resolve(m_library, "ordwick_engine_destroy", api->destroy);
        resolve(m_library, "ordwick_engine_set_application_path", api->setApplicationPath);
        resolve(m_library, "ordwick_engine_set_project_file_path", api->setProjectFilePath);
        resolve(m_library, "ordwick_engine_get_abort", api->getAbort);
        resolve(m_library, "ordwick_engine_set_abort", api->setAbort);
        resolve(m_library, "ordwick_engine_generate", api->generate);
        resolve(m_library, "ordwick_engine_list_tasks", api->listTasks);
        api->setWarningCallback = reinterpret_cast<decltype(api->setWarningCallback)>(
            m_library.resolve("ordwick_engine_set_warning_callback"));
        m_engine = api->create();
        if (!m_engine)
            throw RuntimeError(ErrorNumber::OutOfMemory, QStringLiteral("Out of memory"));
    } catch (...) {
        m_library.unload();
        throw;
    }
    m_api = api.release();
    yield = [] {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    };
}

GenerationEngine::~GenerationEngine() {
    m_api->destroy(m_engine);
    delete m_api;
    m_library.unload();
}

bool GenerationEngine::abortRequested() const {
    return m_api->getAbort(m_engine) != 0;
}

void GenerationEngine::setAbort(bool abort) {
    m_api->setAbort(m_engine, abort ? 1 : 0);
}

void GenerationEngine::setApplicationPath(const QString& path) {
    m_applicationPath = path;
    m_api->setApplicationPath(m_engine, path.toUtf8().constData());
}

void GenerationEngine::setProjectFilePath(const QString& path) {
    m_projectFilePath = path;
    m_api->setProjectFilePath(m_engine, path.toUtf8().constData());
}

GenerationEngine::Outcome GenerationEngine::generate() {
    if (m_running)
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("A generation run of this engine is already going."));
    const struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(m_running);
    ordwick_engine_events events{};
    events.context = this;
    events.progress = [](void* context, int32_t status) {
        auto* self = static_cast<GenerationEngine*>(context);
        self->guarded([&] { Q_EMIT self->progress(status); });
    };
    events.aborted = [](void* context, int32_t state) {
        auto* self = static_cast<GenerationEngine*>(context);
        self->guarded([&] { Q_EMIT self->aborted(state != 0); });
    };
    events.script_error = [](void* context, const char* module, const char* description,
                             int32_t number) {
        auto* self = static_cast<GenerationEngine*>(context);
        self->guarded([&] {
            Q_EMIT self->failureReported(QString::fromUtf8(module), QString::fromUtf8(description),
                                         number);
        });
    };
    events.yield = [](void* context) {
        auto* self = static_cast<GenerationEngine*>(context);
        self->guarded([&] {
            if (self->yield)
                self->yield();
        });
    };
    if (m_api->setWarningCallback)
        m_api->setWarningCallback(m_engine, [](void* context, const char* module,
                                               const char* description, int32_t number) {
            auto* self = static_cast<GenerationEngine*>(context);
            self->guarded([&] {
                Q_EMIT self->warningReported(QString::fromUtf8(module),
                                             QString::fromUtf8(description), number);
            });
        });
    m_pending = nullptr;
    const int32_t result = m_api->generate(m_engine, &events);
    if (m_pending) {
        std::exception_ptr pending = m_pending;
        m_pending = nullptr;
        std::rethrow_exception(pending);
    }
    switch (result) {
    case ORDWICK_ENGINE_FINISHED:
        return Outcome::Finished;
    case ORDWICK_ENGINE_ABORTED:
        return Outcome::Aborted;
    case ORDWICK_ENGINE_BUSY:
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("A generation run of this engine is already going."));
    default:
        return Outcome::NotRun;
    }
}

std::vector<EngineTask> GenerationEngine::tasks() {
    if (m_running)
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("A generation run of this engine is already going."));
    std::vector<EngineTask> found;
    ordwick_engine_events events{};
    events.context = this;
    events.script_error = [](void* context, const char* module, const char* description,
                             int32_t number) {
        auto* self = static_cast<GenerationEngine*>(context);
        self->guarded([&] {
            Q_EMIT self->failureReported(QString::fromUtf8(module), QString::fromUtf8(description),
                                         number);
        });
    };
    m_collecting = &found;
    m_pending = nullptr;
    const int32_t result = m_api->listTasks(
        m_engine, &events, [](void* context, int32_t progressNumber, const char* text) {
            auto* self = static_cast<GenerationEngine*>(context);
            self->m_collecting->push_back({progressNumber, QString::fromUtf8(text)});
        });
    m_collecting = nullptr;
    if (m_pending) {
        std::exception_ptr pending = m_pending;
        m_pending = nullptr;
        std::rethrow_exception(pending);
    }
    if (result == ORDWICK_ENGINE_BUSY)
        throw RuntimeError(ErrorNumber::InvalidCall,
                           QStringLiteral("A generation run of this engine is already going."));
    return found;
}

} // namespace ordwick
