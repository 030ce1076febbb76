# Cross-builds 64-bit Windows programs with MinGW-w64 (x86_64): the same sources for the
# Wine tests on machines that cannot run 32-bit code (varek_wine_flavour in scripts/lib.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
