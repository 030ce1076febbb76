// Ids of the program's resources and of the setup dialog's controls.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_SETUP_DIALOG 102

#define IDC_ALLOW_HAL 1007
#define IDC_ALLOW_MMX 1008
#define IDC_ALLOW_RGB 1009
#define IDC_EXEC_SINGLE 1011
#define IDC_COLOR_8 1012
#define IDC_EXEC_DUAL 1013
#define IDC_COLOR_16 1014
#define IDC_COLOR_24 1015
#define IDC_COLOR_32 1016
#define IDC_ZBUF_8 1017
#define IDC_ZBUF_16 1018
#define IDC_ZBUF_24 1019
#define IDC_ZBUF_32 1020
#define IDC_ALLOW_3DNOW 1021
#define IDC_NO_ARGB1555 1022
#define IDC_DEVICE_LIST 1026

// Items the setup dialog adds to its system menu. System commands keep their low four
// bits for the system and stay below 0xF000, where the system's own commands start.
#define IDM_RESTORE_DEFAULTS 0x0010
#define IDM_ABOUT 0x0020
