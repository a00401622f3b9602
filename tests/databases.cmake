# SQLite files and ODBC data sources. The server cases need scripts/test-services.sh
# (scripts/test.sh starts it around CTest); without its variables they skip.
ordwick_test(tst_databases ordwick_datasource SQLite::SQLite3)
add_dependencies(tst_databases ordwick_samples)
target_compile_definitions(tst_databases PRIVATE
    ORDWICK_SAMPLE_DATABASE="${ORDWICK_SAMPLE_DATABASE}")
