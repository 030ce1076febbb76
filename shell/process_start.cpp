// The process's first code, in place of the C runtime's start-up objects, which bring
// about 10 KiB of their own (exception frames, TLS, argv, pseudo-relocations) that the
// tool never needs. It does what they did for this program: construct the static
// objects, call WinMain with the command line after the program name and the show
// command, then destroy the static objects in reverse order and end the process with
// WinMain's result. The C runtime DLL itself still serves malloc, free and the string
// functions; it sets itself up when it is loaded.
#include <windows.h>

#include "shell/command_line.h"

extern "C" void __main();  // libmingw32: runs the static constructors once

namespace {

// What atexit registered, run in reverse at the end: the static objects' destructors.
// The tool registers two; a registration that finds no room fails as atexit may.
typedef void(__cdecl* ExitFn)();
ExitFn s_atExit[8];
int s_atExitCount = 0;

}  // namespace

extern "C" int __cdecl atexit(ExitFn fn) {
    if (s_atExitCount == sizeof s_atExit / sizeof s_atExit[0]) return -1;
    s_atExit[s_atExitCount++] = fn;
    return 0;
}

// The stack Windows starts a process on may be aligned to 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    __main();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    const int status =
        WinMain(::GetModuleHandleA(nullptr), nullptr, ArgumentsAfterProgramName(::GetCommandLineA()), show);
    while (s_atExitCount > 0) s_atExit[--s_atExitCount]();
    ::ExitProcess(static_cast<UINT>(status));
}
