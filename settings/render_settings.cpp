// The process-wide record and the table of its stored values.
#include "settings/render_settings.h"

RenderSettings theSettings;

const StoredDword kStoredDwords[kSavedDwordCount] = {
    {"Allow 3DNow", &RenderSettings::Allow3DNow, 1},
    {"Do not use ARGB-1555 textures", &RenderSettings::NoArgb1555Textures, 1},
    {"Z-Buffer bit depth", &RenderSettings::ZBufferBitDepth, 16},
    {"Color buffer bit depth", &RenderSettings::ColorBufferBitDepth, 16},
    {"Number of execute buffers", &RenderSettings::ExecuteBufferCount, 1},
    {"Allow D3D HAL", &RenderSettings::AllowD3DHAL, 1},
    {"Allow D3D MMX", &RenderSettings::AllowD3DMMX, 1},
    {"Allow D3D RGB", &RenderSettings::AllowD3DRGB, 1},
    // Never loaded: the device choice is made anew in every run.
    {"Use Default Direct Draw", &RenderSettings::UseDefaultDirectDraw, 0},
};

const char* const kDeviceIdValueName = "Direct Draw Device ID";

void RestoreDefaults(RenderSettings& settings) {
    for (int i = 0; i < kLoadedDwordCount; ++i) settings.*kStoredDwords[i].field = kStoredDwords[i].loadDefault;
}
