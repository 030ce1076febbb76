# The native build: the core logic with the unit tests, under AddressSanitizer and
# UndefinedBehaviorSanitizer; with VAREK_FUZZ, the libFuzzer targets instead of the tests.
option(VAREK_SANITIZE "Build the host tests with ASan and UBSan" ON)
if(VAREK_SANITIZE)
    set(VAREK_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${VAREK_SANITIZER_FLAGS})
    add_link_options(${VAREK_SANITIZER_FLAGS})
    target_compile_options(varek_core PRIVATE ${VAREK_SANITIZER_FLAGS})
endif()
target_compile_options(varek_core PRIVATE -Wall -Wextra -Werror)

option(VAREK_FUZZ "Build the libFuzzer targets of tests/fuzz instead of the unit tests (clang)" OFF)
if(VAREK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT VAREK_SANITIZE)
        message(FATAL_ERROR "The fuzz targets need clang++ and the sanitizers: cmake --preset fuzz")
    endif()
    # Coverage for libFuzzer's guidance, without its main().
    target_compile_options(varek_core PRIVATE -fsanitize=fuzzer-no-link)
endif()
