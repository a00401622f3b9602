# The wizard steps: for each step a class with its rules (testable without a
# screen) and a page with its widgets, plus the dialogs the steps open.
add_library(ordwick_wizard STATIC
    wizard/wizardsteps.cpp
    wizard/wizardnavigator.cpp
    wizard/featurestep.cpp
    wizard/tablestep.cpp
    wizard/querystep.cpp
    wizard/finishstep.cpp
    wizard/columngridmodel.cpp
    wizard/columnencodings.cpp
    wizard/columnorderstep.cpp
    wizard/columnorderpage.cpp
    wizard/columncustomizationstep.cpp
    wizard/columncustomizationmodel.cpp
    wizard/columncustomizationpage.cpp
    wizard/lookupdetails.cpp
    wizard/lookupdetailsdialog.cpp
    wizard/connectionstringdialog.cpp
    wizard/datasourcepage.cpp
    wizard/datasourcestep.cpp
    wizard/tablesourcepage.cpp
    wizard/featurespage.cpp
    wizard/querypage.cpp
    wizard/finishpage.cpp
    wizard/generationrun.cpp
    wizard/wizard.cpp
    wizard/searchstep.cpp
    wizard/searchgridmodel.cpp
    wizard/searchpage.cpp
    wizard/sortorder.cpp
    wizard/orderbydialog.cpp
    wizard/layoutstep.cpp
    wizard/layoutpage.cpp
    wizard/loginstep.cpp
    wizard/loginpage.cpp
    wizard/pagenamecheck.cpp
    wizard/renamedialog.cpp
)
target_link_libraries(ordwick_wizard PUBLIC
    ordwick_foundation ordwick_project ordwick_datasource ordwick_generation ordwick_controls
    ordwick_templates_store Qt6::Widgets)
