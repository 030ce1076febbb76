// The tool's registry key under HKEY_CURRENT_USER, for the store and for every text that
// names it. A macro, so that such a text joins it by literal concatenation and stays a constant.
#pragma once

#define VAREK_SETTINGS_KEY "Software\\Ostrand\\Varek 3D"
