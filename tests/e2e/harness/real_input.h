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
