# The project record, its file, the open/save session and the recent list.
add_library(ordwick_project STATIC
    project/project.cpp
    project/columnnamecodec.cpp
    project/projectfile.cpp
    project/projectsession.cpp
    project/recentprojects.cpp
)
set_target_properties(ordwick_project PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ordwick_project PUBLIC ordwick_foundation)
