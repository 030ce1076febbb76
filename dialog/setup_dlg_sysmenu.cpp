// The dialog's system menu: after the system's own items, Restore Defaults and About.
#include "dialog/about_box.h"
#include "dialog/check_marks.h"
#include "dialog/setup_dlg.h"
#include "resources/setup_name.h"
#include "settings/render_settings.h"

void CSetupDlg::AddSystemMenuItems() {
    const HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, IDM_RESTORE_DEFAULTS, "Restore &Defaults");
    ::AppendMenuA(menu, MF_STRING, IDM_ABOUT, "&About " VAREK_SETUP_NAME "...");
}

// The record and the marks as a first run shows them, and no device line chosen.
// Nothing is written: "Save" stores the defaults, "Cancel" keeps what is stored.
void CSetupDlg::OnRestoreDefaults() {
    RestoreDefaults(theSettings);
    for (const CheckMarkRule& rule : kCheckMarkRules) {
        SendToControl(rule.controlId, BM_SETCHECK, rule.isChecked(theSettings) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    SendToControl(IDC_DEVICE_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void CSetupDlg::OnAbout() { ShowAboutBox(m_hWnd); }
