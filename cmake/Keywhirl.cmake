# cmake/Keywhirl.cmake - shared compile options and the helpers that declare
# subsystem libraries and test programs.

add_library(keywhirl_options INTERFACE)
target_compile_definitions(keywhirl_options INTERFACE
    UNICODE _UNICODE NOMINMAX
    WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
target_compile_options(keywhirl_options INTERFACE -Wall -Wextra)
target_include_directories(keywhirl_options INTERFACE ${KEYWHIRL_SOURCE_ROOT})
# The shipped files must need no DLL but the system's own.
target_link_options(keywhirl_options INTERFACE -static -static-libgcc -static-libstdc++)
# What ships carries no symbols or debug sections.
target_link_options(keywhirl_options INTERFACE $<$<CONFIG:Release>:-s>)
# Sections that start on page boundaries in the file can be mapped straight
# from it, as the system maps any image: a loader that meets the linker's
# default of 512 bytes copies the whole image into private memory instead
# (Wine does), pictures and all.
target_link_options(keywhirl_options INTERFACE -Wl,--file-alignment,4096)

# keywhirl_subsystem(name [SOURCES a.cpp ...] [EXCLUDE a.cpp ...]
#                    [DEPENDS kw_x ...] [SYSTEM_LIBS lib ...])
# Builds the static library kw_<name> from the given sources, or from every
# .cpp below the current folder but the excluded ones. A folder may hold a
# second, higher library (the dispatcher beside the key events it sends).
function(keywhirl_subsystem name)
    cmake_parse_arguments(ARG "" "" "SOURCES;EXCLUDE;DEPENDS;SYSTEM_LIBS" ${ARGN})
    if(ARG_SOURCES)
        set(sources ${ARG_SOURCES})
    else()
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
        foreach(excluded ${ARG_EXCLUDE})
            list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
        endforeach()
    endif()
    add_library(kw_${name} STATIC ${sources})
    target_link_libraries(kw_${name} PUBLIC keywhirl_options ${ARG_DEPENDS} ${ARG_SYSTEM_LIBS})
    set_property(GLOBAL APPEND PROPERTY KEYWHIRL_LIBRARIES kw_${name})
endfunction()

# Fails the configuration when the program's libraries depend on each other
# in a circle: each library may use only those below it.
function(_keywhirl_visit_library target path)
    list(FIND path ${target} seen)
    if(NOT seen EQUAL -1)
        string(REPLACE ";" " -> " circle "${path};${target}")
        string(REGEX REPLACE "^ -> " "" circle "${circle}")
        message(FATAL_ERROR "The libraries depend on each other in a circle: ${circle}")
    endif()
    get_property(done GLOBAL PROPERTY KEYWHIRL_LAYERS_CHECKED)
    list(FIND done ${target} checked)
    if(NOT checked EQUAL -1)
        return()
    endif()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    foreach(library ${libraries})
        if(library MATCHES "^kw_" AND TARGET ${library})
            _keywhirl_visit_library(${library} "${path};${target}")
        endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY KEYWHIRL_LAYERS_CHECKED ${target})
endfunction()

function(keywhirl_check_library_layers)
    get_property(libraries GLOBAL PROPERTY KEYWHIRL_LIBRARIES)
    foreach(library ${libraries})
        _keywhirl_visit_library(${library} "")
    endforeach()
    _keywhirl_check_include_layers()
endfunction()

# The library a file below src/ belongs to, by its path from src/; empty for
# a file of no library (the resource ids).
function(_keywhirl_library_of relative result)
    if(relative MATCHES "^input/KeywhirlController\\.")
        set(library kw_dispatch)
    elseif(relative MATCHES "^settings/SettingsDlg\\.")
        set(library kw_settingsdialog)
    elseif(relative MATCHES "^app/TrayMenu\\.")
        set(library kw_traymenu)
    elseif(relative MATCHES "^([a-z]+)/")
        set(library kw_${CMAKE_MATCH_1})
    else()
        set(library "")
    endif()
    if(library AND NOT TARGET ${library})
        set(library "")
    endif()
    set(${result} ${library} PARENT_SCOPE)
endfunction()

# A library with every library it uses, directly or through others.
function(_keywhirl_reachable library result)
    set(reached ${library})
    set(pending ${library})
    while(pending)
        list(POP_FRONT pending current)
        get_target_property(links ${current} LINK_LIBRARIES)
        foreach(link ${links})
            if(link MATCHES "^kw_" AND TARGET ${link})
                list(FIND reached ${link} known)
                if(known EQUAL -1)
                    list(APPEND reached ${link})
                    list(APPEND pending ${link})
                endif()
            endif()
        endforeach()
    endwhile()
    set(${result} ${reached} PARENT_SCOPE)
endfunction()

# Fails the configuration when a file includes a header of a library that its
# own library does not use: a header obeys the same layers as its library.
# The hook library links none of the program's libraries; it may include the
# headers of the key record and of the low layers it needs.
function(_keywhirl_check_include_layers)
    file(GLOB_RECURSE files ${KEYWHIRL_SOURCE_ROOT}/*.h ${KEYWHIRL_SOURCE_ROOT}/*.cpp
        ${CMAKE_SOURCE_DIR}/hook/*.h ${CMAKE_SOURCE_DIR}/hook/*.cpp)
    set(mistakes "")
    foreach(file ${files})
        file(RELATIVE_PATH relative ${KEYWHIRL_SOURCE_ROOT} ${file})
        if(relative MATCHES "^\\.\\./hook/")
            set(allowed kw_input kw_utils)
        else()
            _keywhirl_library_of(${relative} library)
            if(NOT library)
                continue()
            endif()
            get_property(allowed GLOBAL PROPERTY KEYWHIRL_REACHABLE_${library})
            if(NOT allowed)
                _keywhirl_reachable(${library} allowed)
                set_property(GLOBAL PROPERTY KEYWHIRL_REACHABLE_${library} ${allowed})
            endif()
        endif()
        file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
            _keywhirl_library_of(${included} needed)
            if(needed)
                list(FIND allowed ${needed} found)
                if(found EQUAL -1)
                    string(APPEND mistakes "\n  ${relative} includes ${included} (${needed})")
                endif()
            endif()
        endforeach()
    endforeach()
    if(mistakes)
        message(FATAL_ERROR "A header of a higher layer is included:${mistakes}")
    endif()
endfunction()

# Test programs run through Wine (the cross-compiling emulator); each is one
# CTest test, and one program covers one subsystem.
function(keywhirl_test_program target)
    cmake_parse_arguments(ARG "" "LABEL" "LIBS;SOURCES" ${ARGN})
    if(NOT ARG_SOURCES)
        file(GLOB_RECURSE ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE keywhirl_options keywhirl_testing ${ARG_LIBS})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEYWHIRL_TEST_DIR})
    add_test(NAME ${target} COMMAND ${target})
    if(ARG_LABEL)
        set_tests_properties(${target} PROPERTIES LABELS ${ARG_LABEL})
    endif()
endfunction()

# keywhirl_unit_test(subsystem LIBS ...): tests/unit/<subsystem>, no window.
function(keywhirl_unit_test name)
    keywhirl_test_program(unit_${name} LABEL unit ${ARGN})
endfunction()

# keywhirl_window_test(subsystem LIBS ...): real windows on the test display.
function(keywhirl_window_test name)
    keywhirl_test_program(window_${name} LABEL window ${ARGN})
    target_link_libraries(window_${name} PRIVATE keywhirl_resources)
endfunction()

# Adds every direct subfolder of the current folder that has a CMakeLists.txt.
macro(keywhirl_add_subfolders)
    file(GLOB _kw_children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(_kw_child ${_kw_children})
        if(IS_DIRECTORY ${_kw_child} AND EXISTS ${_kw_child}/CMakeLists.txt)
            add_subdirectory(${_kw_child})
        endif()
    endforeach()
endmacro()
