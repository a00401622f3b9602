/* The generation engine's C interface. The program loads the engine library
 * by name at run time and reaches it only through these functions, so the
 * program links no engine code and the two may be built apart.
 *
 * Texts cross the boundary as NUL-terminated UTF-8. Texts handed to a callback
 * are valid only during that call. Every callback is made on the thread that
 * called ordwick_engine_generate (or ordwick_engine_list_tasks), before that
 * call returns. */
#ifndef ORDWICK_ENGINE_H
#define ORDWICK_ENGINE_H

#include <stdint.h>

#if defined(_WIN32)
#define ORDWICK_ENGINE_API __declspec(dllexport)
#else
#define ORDWICK_ENGINE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Raised when the layout of the structures below or the meaning of a function
 * changes; a caller refuses a library whose version differs from its own. */
#define ORDWICK_ENGINE_ABI_VERSION 1

typedef struct ordwick_engine ordwick_engine;

/* What a run tells its caller. Any member may be null. */
typedef struct ordwick_engine_events {
    void* context; /* handed back as the first argument of every callback */
    /* The task shown in grid row status + 1 of the Finish task list is done. */
    void (*progress)(void* context, int32_t status);
    /* The run stopped because Abort was set; state is 1. */
    void (*aborted)(void* context, int32_t state);
    /* A failure: the module ("clsASPScript.GenerateIndexPage"), a description
     * and an error number. The run carries on with the next task. */
    void (*script_error)(void* context, const char* module, const char* description,
                         int32_t number);
    /* Lets the caller's event loop take a turn; called between tasks and inside
     * long ones. The caller may set Abort from here (or from any thread). */
    void (*yield)(void* context);
} ordwick_engine_events;

/* A warning: the run did what was asked in another way (a page written under a
 * safe file name instead of the name the project gives it). Not a failure. */
typedef void (*ordwick_engine_warning_callback)(void* context, const char* module,
                                                const char* description, int32_t number);

/* One task of the run: its progress number and its text in the task list. */
typedef void (*ordwick_engine_task_callback)(void* context, int32_t progress_number,
                                             const char* text);

/* Results of ordwick_engine_generate. */
enum {
    ORDWICK_ENGINE_FINISHED = 0, /* every task was performed (failures were reported) */
    ORDWICK_ENGINE_ABORTED = 1,  /* stopped by Abort; aborted(1) was raised */
    ORDWICK_ENGINE_NOT_RUN = 2,  /* the project could not be read; the failure was reported */
    ORDWICK_ENGINE_BUSY = -1,    /* called again while a run of the same engine was going */
    ORDWICK_ENGINE_INVALID = -2  /* a null engine */
};

ORDWICK_ENGINE_API int32_t ordwick_engine_abi_version(void);

/* A new engine with empty paths and Abort false; null when out of memory. */
ORDWICK_ENGINE_API ordwick_engine* ordwick_engine_create(void);
/* Must not be called from inside a callback of the same engine's run. */
ORDWICK_ENGINE_API void ordwick_engine_destroy(ordwick_engine* engine);

/* The folder whose sub-folder "template" holds the templates (the user's store, or the
   shipped data folder). */
ORDWICK_ENGINE_API void ordwick_engine_set_application_path(ordwick_engine* engine,
                                                            const char* utf8_path);
/* The project file (.pjx) to generate from. */
ORDWICK_ENGINE_API void ordwick_engine_set_project_file_path(ordwick_engine* engine,
                                                             const char* utf8_path);

/* Abort may be read and written from any thread. Writing 1 asks the run to stop
 * at its next opportunity; after a run, 1 means it stopped before the end.
 * A run does not clear it: an engine whose Abort is set aborts at once. */
ORDWICK_ENGINE_API int32_t ordwick_engine_get_abort(const ordwick_engine* engine);
ORDWICK_ENGINE_API void ordwick_engine_set_abort(ordwick_engine* engine, int32_t abort);

/* Where the engine's runs send their warnings, with the run's events->context
 * as the first argument. Without one (null, the default) warnings are reported
 * through events->script_error like failures. */
ORDWICK_ENGINE_API void
ordwick_engine_set_warning_callback(ordwick_engine* engine,
                                    ordwick_engine_warning_callback warning);

/* Runs the whole generation and returns when it has finished or stopped.
 * `events` may be null. */
ORDWICK_ENGINE_API int32_t ordwick_engine_generate(ordwick_engine* engine,
                                                   const ordwick_engine_events* events);

/* Reads the project and calls `task` once per task a run would perform, in
 * order; writes nothing. Failures to read the project go to events->script_error.
 * Returns the number of tasks, or a negative ORDWICK_ENGINE_* code. */
ORDWICK_ENGINE_API int32_t ordwick_engine_list_tasks(ordwick_engine* engine,
                                                     const ordwick_engine_events* events,
                                                     ordwick_engine_task_callback task);

#ifdef __cplusplus
}
#endif

#endif /* ORDWICK_ENGINE_H */
