# SQLite files and ODBC data sources.
find_package(SQLite3 REQUIRED)
target_sources(ordwick_datasource PRIVATE
    datasource/sqlitefile.cpp
    datasource/odbcsource.cpp
)
target_link_libraries(ordwick_datasource PRIVATE SQLite::SQLite3)

# The sample database that ships with the program, built from its SQL text by
# a small tool of our own, so that no sqlite3 program is needed to build.
add_executable(sqlitefile_script datasource/sqlitefilescript.cpp)
target_link_libraries(sqlitefile_script PRIVATE SQLite::SQLite3)
set(ORDWICK_SAMPLE_DATABASE ${ORDWICK_DATA_DIR}/samples/shop.db)
add_custom_command(
    OUTPUT ${ORDWICK_SAMPLE_DATABASE}
    COMMAND sqlitefile_script ${CMAKE_CURRENT_SOURCE_DIR}/share/tessaline/samples/shop.sql ${ORDWICK_SAMPLE_DATABASE}
    DEPENDS sqlitefile_script ${CMAKE_CURRENT_SOURCE_DIR}/share/tessaline/samples/shop.sql
    COMMENT "Building the sample database samples/shop.db"
    VERBATIM)
add_custom_target(ordwick_samples ALL DEPENDS ${ORDWICK_SAMPLE_DATABASE})
