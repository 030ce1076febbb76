// The click handlers: each changes its one field of the record and nothing else.
// The auto check boxes and radio buttons move their own marks; nothing is written
// to the registry before "Save". A flag flips by logical negation, so a stored 7
// counts as set and becomes 0.
#include "dialog/setup_dlg.h"
#include "settings/render_settings.h"

void CSetupDlg::OnClickAllowHal() { theSettings.AllowD3DHAL = !theSettings.AllowD3DHAL; }
void CSetupDlg::OnClickAllowMmx() { theSettings.AllowD3DMMX = !theSettings.AllowD3DMMX; }
void CSetupDlg::OnClickAllowRgb() { theSettings.AllowD3DRGB = !theSettings.AllowD3DRGB; }
void CSetupDlg::OnClickAllow3DNow() { theSettings.Allow3DNow = !theSettings.Allow3DNow; }
void CSetupDlg::OnClickNoArgb1555() { theSettings.NoArgb1555Textures = !theSettings.NoArgb1555Textures; }

void CSetupDlg::OnClickExecSingle() { theSettings.ExecuteBufferCount = 1; }
void CSetupDlg::OnClickExecDual() { theSettings.ExecuteBufferCount = 2; }

void CSetupDlg::OnClickColor8() { theSettings.ColorBufferBitDepth = 8; }
void CSetupDlg::OnClickColor16() { theSettings.ColorBufferBitDepth = 16; }
void CSetupDlg::OnClickColor24() { theSettings.ColorBufferBitDepth = 24; }
void CSetupDlg::OnClickColor32() { theSettings.ColorBufferBitDepth = 32; }

void CSetupDlg::OnClickZBuffer8() { theSettings.ZBufferBitDepth = 8; }
void CSetupDlg::OnClickZBuffer16() { theSettings.ZBufferBitDepth = 16; }
void CSetupDlg::OnClickZBuffer24() { theSettings.ZBufferBitDepth = 24; }
void CSetupDlg::OnClickZBuffer32() { theSettings.ZBufferBitDepth = 32; }
