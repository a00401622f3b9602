# Readers of database files and folders (Access, Excel, dBase, text).
target_sources(ordwick_datasource PRIVATE
    datasource/schemamirror.cpp
    datasource/schemamirrorprocess.cpp
    datasource/accessfile.cpp
    datasource/accessfilequery.cpp
    datasource/excelfile.cpp
    datasource/excelsheet.cpp
    datasource/dbasefolder.cpp
    datasource/textfolder.cpp
    datasource/tablefolder.cpp
)

find_package(PkgConfig REQUIRED)
pkg_check_modules(FILESOURCES REQUIRED IMPORTED_TARGET libmdb freexl)
# Debian's shapelib ships a pkg-config file; other builds may only have the library.
pkg_check_modules(SHAPELIB QUIET IMPORTED_TARGET shapelib)
if(SHAPELIB_FOUND)
    set(ORDWICK_SHAPELIB PkgConfig::SHAPELIB)
else()
    find_library(ORDWICK_SHP_LIBRARY NAMES shp REQUIRED)
    find_path(ORDWICK_SHP_INCLUDE_DIR shapefil.h REQUIRED)
    add_library(ordwick_shapelib INTERFACE IMPORTED)
    target_link_libraries(ordwick_shapelib INTERFACE ${ORDWICK_SHP_LIBRARY})
    target_include_directories(ordwick_shapelib SYSTEM INTERFACE ${ORDWICK_SHP_INCLUDE_DIR})
    set(ORDWICK_SHAPELIB ordwick_shapelib)
endif()
find_package(SQLite3 REQUIRED)
target_link_libraries(ordwick_datasource PUBLIC PkgConfig::FILESOURCES ${ORDWICK_SHAPELIB} SQLite::SQLite3)
