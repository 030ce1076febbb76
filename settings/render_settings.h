// RenderSettings: the ten values that the 3D application reads from the tool's
// registry key, and the table that names, orders and defaults the stored ones.
#pragma once

#include "afx/afxplatform.h"

struct RenderSettings {
    DWORD Allow3DNow;
    DWORD ZBufferBitDepth;
    DWORD ColorBufferBitDepth;
    DWORD ExecuteBufferCount;
    DWORD AllowD3DHAL;
    DWORD AllowD3DMMX;
    DWORD AllowD3DRGB;
    DWORD NoArgb1555Textures;
    DWORD UseDefaultDirectDraw;
    GUID DirectDrawDeviceId;
};

// The one record of the process: zero at start, loaded, edited in place by the
// dialog, written back on "Save".
extern RenderSettings theSettings;

// One 32-bit value of the key. The first eight rows are loaded in this order;
// all nine are saved in this order, before the device GUID.
struct StoredDword {
    const char* name;
    DWORD RenderSettings::*field;
    DWORD loadDefault;
};

constexpr int kLoadedDwordCount = 8;
constexpr int kSavedDwordCount = 9;
extern const StoredDword kStoredDwords[kSavedDwordCount];

extern const char* const kDeviceIdValueName;

// Gives the eight loadable fields their load defaults, as a first run shows them; the
// device fields are left to the device choice.
void RestoreDefaults(RenderSettings& settings);
