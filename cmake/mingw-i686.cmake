# cmake/mingw-i686.cmake - cross-compiles for 32-bit Windows with Debian's mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KEYWHIRL_TRIPLE i686-w64-mingw32)
# The "win32" thread model brings no winpthreads, whose static library would
# import GetTickCount64 and keep the program from loading on Windows XP.
find_program(KEYWHIRL_CC ${KEYWHIRL_TRIPLE}-gcc-win32)
find_program(KEYWHIRL_CXX ${KEYWHIRL_TRIPLE}-g++-win32)
find_program(KEYWHIRL_RC ${KEYWHIRL_TRIPLE}-windres)
foreach(tool KEYWHIRL_CC KEYWHIRL_CXX KEYWHIRL_RC)
    if(NOT ${tool})
        message(FATAL_ERROR "${tool} not found: run tools/bootstrap.sh first")
    endif()
endforeach()

set(CMAKE_C_COMPILER ${KEYWHIRL_CC})
set(CMAKE_CXX_COMPILER ${KEYWHIRL_CXX})
set(CMAKE_RC_COMPILER ${KEYWHIRL_RC})

set(CMAKE_FIND_ROOT_PATH /usr/${KEYWHIRL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(KEYWHIRL_WINE wine)
if(KEYWHIRL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KEYWHIRL_WINE})
endif()
