// Real key presses and mouse clicks through the X server, with xdotool, as a user makes them.
#pragma once

#include <windows.h>

#include <string>

// The X window behind a Wine top-level window.
unsigned long XWindowOf(HWND hwnd);

// Runs "xdotool ARGS" and waits for it to finish; false when it failed or hung.
bool Xdotool(const std::string& args, DWORD timeoutMs = 10000);

// Focuses the window through X and presses the keys (xdotool key names, e.g. "Tab", "alt+F4").
bool PressKeys(HWND window, const std::string& keys);

// Focuses the window through X, then runs one chain of xdotool commands, e.g.
// "mousemove --sync 120 80 click 1 key Escape".
bool ActIn(HWND window, const std::string& commands);

// The centre of a window in screen coordinates, which are the X screen's.
POINT CentreOf(HWND window);
