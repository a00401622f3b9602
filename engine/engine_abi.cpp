// The C interface: no exception and no Qt type crosses it.
#include "engine/engine.h"
#include "generation/ordwick_engine.h"

#include <new>

struct ordwick_engine {
    ordwick::engine::Engine engine;
};

namespace {

const ordwick_engine_events kNoEvents = {nullptr, nullptr, nullptr, nullptr, nullptr};

QString fromUtf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

extern "C" {

int32_t ordwick_engine_abi_version(void) {
    return ORDWICK_ENGINE_ABI_VERSION;
}

ordwick_engine* ordwick_engine_create(void) {
    return new (std::nothrow) ordwick_engine();
}

void ordwick_engine_destroy(ordwick_engine* engine) {
    delete engine;
}

void ordwick_engine_set_application_path(ordwick_engine* engine, const char* utf8_path) {
    if (engine)
        engine->engine.setApplicationPath(fromUtf8(utf8_path));
}

void ordwick_engine_set_project_file_path(ordwick_engine* engine, const char* utf8_path) {
    if (engine)
        engine->engine.setProjectFilePath(fromUtf8(utf8_path));
}

int32_t ordwick_engine_get_abort(const ordwick_engine* engine) {
    return engine && engine->engine.abortRequested() ? 1 : 0;
}

void ordwick_engine_set_abort(ordwick_engine* engine, int32_t abort) {
    if (engine)
        engine->engine.setAbort(abort != 0);
}

void ordwick_engine_set_warning_callback(ordwick_engine* engine,
                                         ordwick_engine_warning_callback warning) {
    if (engine)
        engine->engine.setWarningCallback(warning);
}

int32_t ordwick_engine_generate(ordwick_engine* engine, const ordwick_engine_events* events) {
    if (!engine)
        return ORDWICK_ENGINE_INVALID;
    return engine->engine.generate(events ? *events : kNoEvents);
}

int32_t ordwick_engine_list_tasks(ordwick_engine* engine, const ordwick_engine_events* events,
                                  ordwick_engine_task_callback task) {
    if (!engine)
        return ORDWICK_ENGINE_INVALID;
    return engine->engine.listTasks(events ? *events : kNoEvents, task);
}

} // extern "C"
