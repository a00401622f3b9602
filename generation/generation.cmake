# The generation task list, shared by the Finish step and the engine, and the
# binding that loads the engine library for a run (it links no engine code).
add_library(ordwick_generation STATIC
    generation/tasklist.cpp
    generation/pagenames.cpp
    generation/enginebinding.cpp
)
set_target_properties(ordwick_generation PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ordwick_generation PUBLIC ordwick_project)
