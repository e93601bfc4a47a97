# Source lists are collected per folder so that a new class only needs its files;
# CONFIGURE_DEPENDS re-runs the glob when files are added or removed.
function(nw_collect_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp
             ${CMAKE_SOURCE_DIR}/src/${dir}/*.h
             ${CMAKE_SOURCE_DIR}/src/${dir}/*.ui)
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Folders whose code belongs to the headless core library.
set(NW_CORE_DIRS panelkit database generators description description/dbc importers
    checker transform)
# Folders whose code needs widgets.
set(NW_GUI_DIRS panelkit/widgets importers/dialogs app forms messages compare energybus)
