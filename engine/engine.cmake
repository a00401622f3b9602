# The generation engine: a shared library the program loads at run time, and
# its command-line front end.

# The fixed files of every generated site live in engine/runtime as real
# files and are built into the library as text constants.
set(ORDWICK_ENGINE_RUNTIME
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/runtime/functions.js
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/runtime/validators.js
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/runtime/site.js
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/runtime/style.css)
set(ORDWICK_ENGINE_EMBEDDED ${CMAKE_CURRENT_BINARY_DIR}/engine/runtimefiles.cpp)
add_custom_command(
    OUTPUT ${ORDWICK_ENGINE_EMBEDDED}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${ORDWICK_ENGINE_EMBEDDED}
            "-DINPUTS=${ORDWICK_ENGINE_RUNTIME}"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/engine/embed.cmake
    DEPENDS ${ORDWICK_ENGINE_RUNTIME} ${CMAKE_CURRENT_SOURCE_DIR}/engine/embed.cmake
    COMMENT "Embedding the generated sites' fixed files"
    VERBATIM)

# libordwick-engine.so, private to the programs (lib/<multiarch>/tessaline). Only the C interface is exported:
# the classes it shares with the program (the lower layers) stay private to it, so
# the two copies in one process never meet.
add_library(ordwick-engine SHARED
    engine/engine_abi.cpp
    engine/engine.cpp
    engine/siteplan.cpp
    engine/textcode.cpp
    engine/pngicons.cpp
    engine/includepages.cpp
    engine/listpages.cpp
    engine/formpages.cpp
    ${ORDWICK_ENGINE_EMBEDDED})
target_link_libraries(ordwick-engine PRIVATE
    ordwick_foundation ordwick_project ordwick_datasource ordwick_generation)
target_link_options(ordwick-engine PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
set_target_properties(ordwick-engine PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${ORDWICK_ENGINE_DIR})

add_executable(ordwick-generate engine/ordwick_generate.cpp)
target_link_libraries(ordwick-generate PRIVATE ordwick_generation)
set_target_properties(ordwick-generate PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORDWICK_PROGRAM_DIR})
add_dependencies(ordwick-generate ordwick-engine ordwick_data)
