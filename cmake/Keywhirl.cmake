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
