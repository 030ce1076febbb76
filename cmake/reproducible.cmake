# Two builds of one commit give the same Varek Setup.exe, wherever they are made: no
# link time in the PE header, no build or source folder in the binary.
target_link_options(varek_setup PRIVATE -Wl,--no-insert-timestamp)
foreach(target varek_setup varek_afx varek_core)
    target_compile_options(${target} PRIVATE
        -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
        -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
endforeach()
