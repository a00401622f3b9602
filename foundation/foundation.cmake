# The ground every other layer stands on: run-time errors and the trap helper,
# the prompt interface, the error handler and its log, INI files, the settings
# store, the shipped and per-user folders, file dialogs' remembered folders, and path and
# text helpers. No widgets.
add_library(ordwick_foundation STATIC
    foundation/atomicfile.cpp
    foundation/convert.cpp
    foundation/errorhandler.cpp
    foundation/errorlog.cpp
    foundation/fileassociation.cpp
    foundation/filedialogs.cpp
    foundation/inidocument.cpp
    foundation/inifile.cpp
    foundation/odbcdatasources.cpp
    foundation/paths.cpp
    foundation/programfolder.cpp
    foundation/prompt.cpp
    foundation/runtimeerror.cpp
    foundation/settings.cpp
    foundation/settingsstore.cpp
    foundation/textcodec.cpp
)
target_include_directories(ordwick_foundation PUBLIC ${PROJECT_SOURCE_DIR})
# The generation engine, a shared library, links these classes too.
set_target_properties(ordwick_foundation PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ordwick_foundation PUBLIC Qt6::Core PkgConfig::ODBC)
target_compile_definitions(ordwick_foundation PUBLIC
    ORDWICK_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    ORDWICK_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    ORDWICK_VERSION_PATCH=${PROJECT_VERSION_PATCH})
# The shipped data and the engine library, as paths from the programs' folder
# (never absolute, so that an install or an unpacked package can be moved).
file(RELATIVE_PATH ORDWICK_DATA_FROM_PROGRAM ${ORDWICK_PROGRAM_DIR} ${ORDWICK_DATA_DIR})
file(RELATIVE_PATH ORDWICK_ENGINE_FROM_PROGRAM ${ORDWICK_PROGRAM_DIR} ${ORDWICK_ENGINE_DIR})
set_source_files_properties(foundation/programfolder.cpp PROPERTIES COMPILE_DEFINITIONS
    "ORDWICK_DATA_FROM_PROGRAM=\"${ORDWICK_DATA_FROM_PROGRAM}\";ORDWICK_ENGINE_FROM_PROGRAM=\"${ORDWICK_ENGINE_FROM_PROGRAM}\"")
