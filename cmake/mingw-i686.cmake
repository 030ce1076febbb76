# Cross-builds 32-bit Windows programs with MinGW-w64 (i686): the tool as it ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
