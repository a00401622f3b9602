# The template store (its folders, the manager's rules, the imports) and the
# windows that show it: the template manager and the template choice of the
# layout step.
add_library(ordwick_templates_store STATIC
    templates/templatefiles.cpp
    templates/templatepaths.cpp
    templates/templatestore.cpp
    templates/templatemanagermodel.cpp
    templates/templatechoice.cpp
    templates/texteditor.cpp
    templates/templatemanager.cpp
    templates/templatechoicewidget.cpp
)
target_link_libraries(ordwick_templates_store PUBLIC ordwick_generation ordwick_controls)
