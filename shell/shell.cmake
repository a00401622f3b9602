# The windows: the main window that routes between the steps, the About box,
# the settings dialog, the widget prompt, themes and start-up.
add_library(ordwick_shell STATIC
    shell/aboutdialog.cpp
    shell/commandline.cpp
    shell/mainwindow.cpp
    shell/settingsdialog.cpp
    shell/theme.cpp
    shell/widgetprompt.cpp
)
target_link_libraries(ordwick_shell PUBLIC ordwick_wizard ordwick_preview Qt6::Widgets)

add_executable(ordwick shell/main.cpp)
target_link_libraries(ordwick PRIVATE ordwick_shell)
set_target_properties(ordwick PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORDWICK_PROGRAM_DIR})
# The program loads the engine library at run time for every Finish.
add_dependencies(ordwick ordwick-engine ordwick_data)
