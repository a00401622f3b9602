# Widgets of our own that know nothing of projects: icons, the task pane,
# the pick-only combo box, accessibility names, the busy cursor.
add_library(ordwick_controls STATIC
    controls/accessibility.cpp
    controls/griddrawing.cpp
    controls/iconstore.cpp
    controls/markercells.cpp
    controls/multiselectcombobox.cpp
    controls/screens.cpp
    controls/taskpane.cpp
)
target_link_libraries(ordwick_controls PUBLIC ordwick_foundation Qt6::Widgets)
