# The generation engine: its contract through the real binding and library,
# and the sites it writes (parsed with Node, SQL prepared on the sample database).
set(ORDWICK_ENGINE_TEST_DEFINITIONS
    ORDWICK_SAMPLE_DATABASE="${ORDWICK_SAMPLE_DATABASE}"
    ORDWICK_ENGINE_LIBRARY="$<TARGET_FILE:ordwick-engine>"
    ORDWICK_GENERATE="$<TARGET_FILE:ordwick-generate>"
    ORDWICK_TEMPLATE_DIR="${CMAKE_SOURCE_DIR}/share/tessaline/template")

ordwick_test(tst_engine ordwick_generation)
add_dependencies(tst_engine ordwick-engine ordwick-generate ordwick_samples)
target_compile_definitions(tst_engine PRIVATE ${ORDWICK_ENGINE_TEST_DEFINITIONS})

ordwick_test(tst_engine_site ordwick_generation SQLite::SQLite3 Qt6::Gui)
add_dependencies(tst_engine_site ordwick-engine ordwick_samples)
target_compile_definitions(tst_engine_site PRIVATE ${ORDWICK_ENGINE_TEST_DEFINITIONS})

# Page file names from awkward table names: the rule, the Finish step, the
# engine and ordwick-generate, and a run in the window.
ordwick_test(tst_pagenames ordwick_shell SQLite::SQLite3)
add_dependencies(tst_pagenames ordwick-engine ordwick-generate)
target_compile_definitions(tst_pagenames PRIVATE ${ORDWICK_ENGINE_TEST_DEFINITIONS})

# The template choice and the shipped templates framing generated pages.
ordwick_test(tst_templatechoice ordwick_templates_store)
add_dependencies(tst_templatechoice ordwick-engine ordwick_samples)
target_compile_definitions(tst_templatechoice PRIVATE ${ORDWICK_ENGINE_TEST_DEFINITIONS})
