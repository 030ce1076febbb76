/* What the probe DLL reports from inside the tool's process, through a named file
   mapping that the test creates. Shared by probe.c and the test; every field is 32 bits. */
#pragma once

#include <windows.h>

#define PROBE_MESSAGE "VarekProbe"       /* registered message whose wParam is a command */
#define PROBE_REPORT "VarekProbeReport"  /* the file mapping that holds a ProbeReport */

enum ProbeCommand { PROBE_ICONS = 1, PROBE_PAINT = 2, PROBE_DPI = 3 };

typedef struct ProbeReport {
    DWORD done;  /* the command last carried out */
    /* PROBE_ICONS and PROBE_PAINT */
    DWORD bigIcon, smallIcon, dragIcon;  /* WM_GETICON ICON_BIG, ICON_SMALL; WM_QUERYDRAGICON */
    DWORD groupIcon;                     /* LoadIconA of the exe's icon group 128 */
    LONG iconWidth, iconHeight;          /* of the big icon's colour bitmap */
    /* PROBE_PAINT: what one WM_PAINT did */
    DWORD patched;  /* the exe's import of DrawIcon was redirected to the recorder */
    DWORD drawCalls, drawDc, drawIcon;
    LONG drawX, drawY;
    DWORD eraseCount, eraseWParam, eraseLParam;
    DWORD drawsBeforeErase;  /* DrawIcon calls made before the last WM_ICONERASEBKGND */
    DWORD leftInvalid;       /* the dialog, invalidated first, still had an update region after */
    LONG clientWidth, clientHeight, cxIcon, cyIcon;
    /* PROBE_DPI: how the tool's thread sees DPI, -1 where the system lacks the call */
    LONG processAwareness; /* GetProcessDpiAwareness: 2 is per-monitor */
    LONG threadAwareness;  /* of GetThreadDpiAwarenessContext: 2 is per-monitor */
    DWORD perMonitorV2;    /* that context is DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 */
    LONG fontHeight;       /* lfHeight of the dialog's font */
    DWORD controls, controlsOutside; /* child windows, and those not wholly inside the client area */
} ProbeReport;
