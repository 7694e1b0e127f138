# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads
# variant, which std::thread and GoogleTest need). Programs built here run on
# this machine through Wine: scripts/wine-run is the emulator CTest starts them
# with, in the test prefix under build/windows/wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PONDERIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PONDERIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PONDERIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PONDERIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PONDERIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

get_filename_component(PONDERIX_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${PONDERIX_SOURCE_ROOT}/scripts/wine-run")
