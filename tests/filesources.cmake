# Readers of database files and folders.
ordwick_test(tst_filesources ordwick_datasource)
