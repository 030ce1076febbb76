# The native build: the core logic with the unit tests, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
option(VAREK_SANITIZE "Build the host tests with ASan and UBSan" ON)
if(VAREK_SANITIZE)
    set(VAREK_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${VAREK_SANITIZER_FLAGS})
    add_link_options(${VAREK_SANITIZER_FLAGS})
    target_compile_options(varek_core PRIVATE ${VAREK_SANITIZER_FLAGS})
endif()
target_compile_options(varek_core PRIVATE -Wall -Wextra -Werror)
