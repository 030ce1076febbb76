# Cross-builds 64-bit Windows programs with MinGW-w64 (x86_64): the same sources for the
# Wine tests on machines that cannot run 32-bit code (scripts/wine-flavour.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
