# Varek Setup.exe: small, no exceptions or RTTI, runtimes linked in, only system DLLs imported.
enable_language(RC)

set(VAREK_PRODUCT_FLAGS -Os -fno-exceptions -fno-rtti -fno-threadsafe-statics -ffunction-sections -fdata-sections
    -Wall -Wextra)
# The 32-bit exe needs no unwind tables: nothing in it throws, and a fault finds its
# handler through the chain of frames the code itself registers. On x86-64 a fault or an
# exception passes a frame only by that frame's entry in .pdata/.xdata, and the Wine tests
# run an x86-64 build: without the tables it would handle a fault unlike the shipped exe.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND VAREK_PRODUCT_FLAGS -fno-asynchronous-unwind-tables -fno-unwind-tables)
endif()

target_compile_options(varek_core PRIVATE ${VAREK_PRODUCT_FLAGS})

add_library(varek_afx STATIC
    afx/cmdtarget.cpp
    afx/wnd.cpp
    afx/dialog.cpp
    afx/paintdc.cpp
    afx/winapp.cpp
)
target_include_directories(varek_afx PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(varek_afx PRIVATE ${VAREK_PRODUCT_FLAGS})

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VAREK_ICON ${CMAKE_CURRENT_BINARY_DIR}/resources/varek.ico)
add_custom_command(
    OUTPUT ${VAREK_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/resources
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/resources/make_icon.py ${VAREK_ICON}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/make_icon.py
    COMMENT "Drawing the application icon")
add_custom_target(varek_icon DEPENDS ${VAREK_ICON})

add_executable(varek_setup WIN32
    # The heap that varek_core draws from; the host tests link a fake one instead.
    afx/afxheap.cpp
    shell/process_start.cpp
    shell/winmain.cpp
    shell/setup_app.cpp
    shell/setup_help.cpp
    shell/other_instance.cpp
    shell/failure_box.cpp
    settings/win32_registry.cpp
    devices/win32_directdraw.cpp
    dialog/setup_dlg.cpp
    dialog/setup_dlg_clicks.cpp
    dialog/setup_dlg_paint.cpp
    dialog/setup_dlg_sysmenu.cpp
    dialog/about_box.cpp
    resources/setup.rc
)
add_dependencies(varek_setup varek_icon)
set_source_files_properties(resources/setup.rc PROPERTIES
    OBJECT_DEPENDS "${VAREK_ICON};${CMAKE_CURRENT_SOURCE_DIR}/resources/varek_setup.manifest")
set_target_properties(varek_setup PROPERTIES OUTPUT_NAME "Varek Setup")
target_compile_options(varek_setup PRIVATE ${VAREK_PRODUCT_FLAGS})
# windres finds the icon in the build tree and resource.h beside the script.
target_include_directories(varek_setup PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/resources ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(varek_setup PRIVATE varek_afx varek_core ddraw)
# shell/process_start.cpp stands in for the C runtime's start-up objects. No link-time
# optimisation: with -nostartfiles this binutils' ld crashes on the LTO objects.
# Terminal-server aware: no per-user INI or registry redirection on a shared server.
target_link_options(varek_setup PRIVATE -s -Wl,--gc-sections -nostartfiles -Wl,--tsaware)
# No automatic data imports: ld would point a reference to a DLL's variable that is not
# declared dllimport at the import table, to be put right at start-up by the C runtime's
# pseudo-relocations, which the own entry never runs; the exe would read the wrong memory.
# Refused, such a reference fails the link with "undefined reference". With no auto-import
# there is nothing left for pseudo-relocations to patch.
target_link_options(varek_setup PRIVATE -Wl,--disable-auto-import)
