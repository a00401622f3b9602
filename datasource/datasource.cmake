# The data source kinds, their connection strings and the schema readers.
add_library(ordwick_datasource STATIC
    datasource/connectionbuilder.cpp
    datasource/connectionstring.cpp
    datasource/dataconnection.cpp
    datasource/schemadiscovery.cpp
    datasource/sqlnames.cpp
)
set_target_properties(ordwick_datasource PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ordwick_datasource PUBLIC ordwick_project ordwick_foundation)
include(datasource/filesources.cmake)
include(datasource/databases.cmake)
