# The dependency order of the libraries, and its check at configure time.
#
# VEKTA_LAYERS lists the folders of src/ from the bottom up, one layer per entry. A
# library of a folder may link, and a file of a folder may include, only what lies in a
# lower layer, or earlier in its own layer, or in its own folder. The server may use no
# folder of the client's windows (VEKTA_CLIENT_FOLDERS). VEKTA_SERVER_LAYERS orders the
# rooms of server/ the same way.

# The layer of a folder as "<layer>.<place in the layer>", or "" for a folder outside the
# order (a third-party or Qt target).
function(vekta_folder_rank folder out)
    set(layer 0)
    foreach(row IN LISTS VEKTA_LAYERS)
        string(REPLACE " " ";" members "${row}")
        list(FIND members "${folder}" place)
        if(place GREATER -1)
            set(${out} "${layer}.${place}" PARENT_SCOPE)
            return()
        endif()
        math(EXPR layer "${layer} + 1")
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# True when code of folder `from` may use folder `to`.
function(vekta_may_use from to out)
    vekta_folder_rank(${from} fromRank)
    vekta_folder_rank(${to} toRank)
    if(from STREQUAL to OR toRank STREQUAL "" OR toRank VERSION_LESS fromRank)
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# The folder of `root` (src or server) that a target is built from, or "" for any other
# target.
function(vekta_target_folder target root out)
    set(${out} "" PARENT_SCOPE)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    cmake_path(GET dir PARENT_PATH parent)
    if(parent STREQUAL "${PROJECT_SOURCE_DIR}/${root}")
        cmake_path(GET dir FILENAME folder)
        set(${out} ${folder} PARENT_SCOPE)
    endif()
endfunction()

# What the code of `dir` uses of `root` (src or server): one entry "FOLDER|WHAT" for each
# library of `root` that a target of `dir` links and for each "#include "FOLDER/..."" line
# of its files, and one "<widgets>|WHAT" for each of those libraries that is a library of
# widgets.
function(vekta_uses_of dir root out)
    set(uses "")
    get_directory_property(targets DIRECTORY ${dir} BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(links ${target} LINK_LIBRARIES)
        foreach(link IN LISTS links)
            vekta_target_folder("${link}" ${root} linked)
            if(linked)
                list(APPEND uses "${linked}|${target} links ${link} (${root}/${linked})")
                # A library of widgets is also told as such, whatever its folder.
                get_target_property(linkedLinks ${link} LINK_LIBRARIES)
                if("Qt6::Widgets" IN_LIST linkedLinks)
                    list(APPEND uses "<widgets>|${target} links the widget library ${link}")
                endif()
            endif()
        endforeach()
    endforeach()
    file(GLOB files "${dir}/*.h" "${dir}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS ${file} lines REGEX "^#include \"[a-z_]+/")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" folder "${line}")
            if(IS_DIRECTORY "${PROJECT_SOURCE_DIR}/${root}/${folder}")
                list(APPEND uses "${folder}|${file} includes a header of ${root}/${folder}")
            endif()
        endforeach()
    endforeach()
    set(${out} ${uses} PARENT_SCOPE)
endfunction()

function(vekta_fail_on problems title)
    if(problems)
        list(JOIN problems "\n  " text)
        message(FATAL_ERROR "${title}:\n  ${text}")
    endif()
endfunction()

# Fails the configuration on every link and include of a library of `root` (src or server)
# that runs against the order the list named `order` gives (VEKTA_LAYERS or
# VEKTA_SERVER_LAYERS).
function(vekta_check_order root order)
    set(VEKTA_LAYERS ${${order}}) # the order vekta_folder_rank reads, in this call only
    set(problems "")
    get_directory_property(folders DIRECTORY ${PROJECT_SOURCE_DIR}/${root} SUBDIRECTORIES)
    foreach(dir IN LISTS folders)
        cmake_path(GET dir FILENAME folder)
        vekta_folder_rank(${folder} rank)
        if(rank STREQUAL "")
            list(APPEND problems "${root}/${folder} is missing from ${order}")
            continue()
        endif()
        vekta_uses_of(${dir} ${root} uses)
        foreach(use IN LISTS uses)
            string(REPLACE "|" ";" parts "${use}")
            list(GET parts 0 used)
            list(GET parts 1 what)
            vekta_may_use(${folder} ${used} ok)
            if(NOT ok)
                list(APPEND problems "${what}")
            endif()
        endforeach()
    endforeach()
    vekta_fail_on("${problems}" "Dependencies that run against the order of ${order}")
endfunction()

function(vekta_check_layers)
    vekta_check_order(src VEKTA_LAYERS)
endfunction()

# Fails the configuration when code of `dir` (outside src/) links or includes a folder of
# the client's windows.
function(vekta_check_no_client dir)
    set(problems "")
    vekta_uses_of(${dir} src uses)
    foreach(use IN LISTS uses)
        string(REPLACE "|" ";" parts "${use}")
        list(GET parts 0 used)
        list(GET parts 1 what)
        # No folder of the client's windows, nor any library of widgets (such as the
        # animation's window beside its plain model).
        if(used IN_LIST VEKTA_CLIENT_FOLDERS OR used STREQUAL "<widgets>")
            list(APPEND problems "${what}")
        endif()
    endforeach()
    vekta_fail_on("${problems}" "The client's windows used outside the client")
endfunction()
