/* Keeps one small windowed process alive in a Wine session, so that each program
   the tests start finds Wine's services already up. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    MSG msg;
    (void)previous;
    (void)commandLine;
    (void)show;
    CreateWindowA("STATIC", "varek keeper", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance, NULL);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
