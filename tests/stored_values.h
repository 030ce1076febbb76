// The tool's registry values as every test expects them, written out once: the eight
// loaded values with their defaults in load order (which is also the order "Save"
// writes them in), then the two device values that "Save" writes last.
#pragma once

struct ExpectedStoredValue {
    const char* name;
    unsigned loadDefault;
};

inline constexpr ExpectedStoredValue kExpectedLoaded[8] = {
    {"Allow 3DNow", 1},
    {"Do not use ARGB-1555 textures", 1},
    {"Z-Buffer bit depth", 16},
    {"Color buffer bit depth", 16},
    {"Number of execute buffers", 1},
    {"Allow D3D HAL", 1},
    {"Allow D3D MMX", 1},
    {"Allow D3D RGB", 1},
};
inline constexpr char kExpectedUseDefaultName[] = "Use Default Direct Draw";
inline constexpr char kExpectedDeviceIdName[] = "Direct Draw Device ID";
