// The initial check marks. A flag counts as set when it is nonzero; a depth or
// buffer count that no button offers (a stored 15, say) leaves its group unchecked.
#include "dialog/check_marks.h"

#include "resources/resource.h"

const CheckMarkRule kCheckMarkRules[kCheckMarkRuleCount] = {
    {IDC_ALLOW_3DNOW, [](const RenderSettings& s) { return s.Allow3DNow != 0; }},
    {IDC_NO_ARGB1555, [](const RenderSettings& s) { return s.NoArgb1555Textures != 0; }},
    {IDC_ALLOW_HAL, [](const RenderSettings& s) { return s.AllowD3DHAL != 0; }},
    {IDC_ALLOW_MMX, [](const RenderSettings& s) { return s.AllowD3DMMX != 0; }},
    {IDC_ALLOW_RGB, [](const RenderSettings& s) { return s.AllowD3DRGB != 0; }},
    {IDC_EXEC_SINGLE, [](const RenderSettings& s) { return s.ExecuteBufferCount == 1; }},
    {IDC_EXEC_DUAL, [](const RenderSettings& s) { return s.ExecuteBufferCount == 2; }},
    {IDC_COLOR_8, [](const RenderSettings& s) { return s.ColorBufferBitDepth == 8; }},
    {IDC_COLOR_16, [](const RenderSettings& s) { return s.ColorBufferBitDepth == 16; }},
    {IDC_COLOR_24, [](const RenderSettings& s) { return s.ColorBufferBitDepth == 24; }},
    {IDC_COLOR_32, [](const RenderSettings& s) { return s.ColorBufferBitDepth == 32; }},
    {IDC_ZBUF_8, [](const RenderSettings& s) { return s.ZBufferBitDepth == 8; }},
    {IDC_ZBUF_16, [](const RenderSettings& s) { return s.ZBufferBitDepth == 16; }},
    {IDC_ZBUF_24, [](const RenderSettings& s) { return s.ZBufferBitDepth == 24; }},
    {IDC_ZBUF_32, [](const RenderSettings& s) { return s.ZBufferBitDepth == 32; }},
};
