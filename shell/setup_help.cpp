// What each option means and where the options are kept: what users of the tool ask.
// UTF-8, which the help box shows as UTF-16: the same text in every ANSI code page.
#include "shell/setup_help.h"

#include "afx/afxwin.h"
#include "resources/setup_name.h"
#include "settings/settings_key.h"

const char kSetupHelpText[] =
    VAREK_SETUP_NAME " chooses how Varek 3D uses Direct3D and DirectDraw.\n"
    "\n"
    "Potential Rasterizers: D3D HAL lets Varek 3D use the graphics card's hardware; "
    "D3D MMX and D3D RGB let it fall back to the MMX or plain RGB software renderers.\n"
    "Color Mode: bits per pixel of the picture Varek 3D draws into.\n"
    "Z-Buffer Mode: bits per entry of the depth buffer.\n"
    "Execute Buffer Model: Single or Dual execute buffers for Direct3D.\n"
    u8"Allow 3DNow\u00AE: lets Varek 3D use a processor's 3DNow! instructions.\n"
    "No ARGB-1555 Textures: keeps Varek 3D from using textures in the ARGB-1555 format.\n"
    "Direct Draw Device: the display device Varek 3D draws on; with no line selected, "
    "the device DirectDraw reported last.\n"
    "\n"
    "Restore Defaults, in the window menu (the icon at the top left, or Alt+Space), sets every "
    "option back to its default; nothing is stored until Save.\n"
    "\n"
    "Save stores every option; Cancel keeps the stored ones. The options are kept in the "
    "registry under HKEY_CURRENT_USER\\" VAREK_SETTINGS_KEY ".";

// Every UTF-16 character comes from at least one byte of UTF-8.
static_assert(sizeof kSetupHelpText <= CWinApp::kHelpTextRoom, "the help box has no room for the help text");
