# The browser suite (tests/browser): generated sites served by the preview host
# and used in headless Chromium. Its npm packages are installed from the lock
# file by a setup test first.
set(ORDWICK_BROWSER_DIR ${CMAKE_CURRENT_SOURCE_DIR}/browser)
add_test(NAME browser_setup COMMAND bash ${ORDWICK_BROWSER_DIR}/run.sh setup)
set_tests_properties(browser_setup PROPERTIES FIXTURES_SETUP browser_modules LABELS browser
                     TIMEOUT 300)
add_test(NAME browser COMMAND bash ${ORDWICK_BROWSER_DIR}/run.sh test)
set_tests_properties(browser PROPERTIES
    FIXTURES_REQUIRED browser_modules
    LABELS browser
    TIMEOUT 600
    # Chromium and the preview host are two busy processes of their own.
    PROCESSORS 2
    ENVIRONMENT "ORDWICK_GENERATE=$<TARGET_FILE:ordwick-generate>;ORDWICK_PREVIEW=$<TARGET_FILE:ordwick-preview>;ORDWICK_SAMPLE_DATABASE=${ORDWICK_SAMPLE_DATABASE};ORDWICK_TEMPLATE_DIR=${CMAKE_SOURCE_DIR}/share/tessaline/template;ORDWICK_BROWSER_ARTIFACTS=${CMAKE_BINARY_DIR}/browser-artifacts")
