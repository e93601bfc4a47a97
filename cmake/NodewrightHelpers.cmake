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
set(NW_GUI_DIRS panelkit/widgets importers/dialogs app forms forms/masks messages compare energybus)

# A header added to an existing build folder is globbed into the target, but the moc
# step only re-runs when a header it already knows changes. When the source list differs
# from the one of the last configure run, the step's stamp is removed so it runs again.
function(nw_rerun_autogen_on_new_files target sources)
    set(listFile ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
    string(REPLACE ";" "\n" content "${sources}")
    set(previous "")
    if(EXISTS ${listFile})
        file(READ ${listFile} previous)
    endif()
    if(NOT previous STREQUAL content)
        file(WRITE ${listFile} "${content}")
        file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    endif()
endfunction()
