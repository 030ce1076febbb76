// The setup dialog's message map, its start-up and its data exchange.
#include "dialog/setup_dlg.h"

#include "devices/device_choice.h"
#include "devices/device_list.h"
#include "dialog/check_marks.h"
#include "settings/render_settings.h"
#include "dialog/instance_query.h"

BEGIN_MESSAGE_MAP(CSetupDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ALLOW_HAL, OnClickAllowHal)
    ON_BN_CLICKED(IDC_ALLOW_MMX, OnClickAllowMmx)
    ON_BN_CLICKED(IDC_ALLOW_RGB, OnClickAllowRgb)
    ON_BN_CLICKED(IDC_ALLOW_3DNOW, OnClickAllow3DNow)
    ON_BN_CLICKED(IDC_NO_ARGB1555, OnClickNoArgb1555)
    ON_BN_CLICKED(IDC_EXEC_SINGLE, OnClickExecSingle)
    ON_BN_CLICKED(IDC_EXEC_DUAL, OnClickExecDual)
    ON_BN_CLICKED(IDC_COLOR_8, OnClickColor8)
    ON_BN_CLICKED(IDC_COLOR_16, OnClickColor16)
    ON_BN_CLICKED(IDC_COLOR_24, OnClickColor24)
    ON_BN_CLICKED(IDC_COLOR_32, OnClickColor32)
    ON_BN_CLICKED(IDC_ZBUF_8, OnClickZBuffer8)
    ON_BN_CLICKED(IDC_ZBUF_16, OnClickZBuffer16)
    ON_BN_CLICKED(IDC_ZBUF_24, OnClickZBuffer24)
    ON_BN_CLICKED(IDC_ZBUF_32, OnClickZBuffer32)
    ON_SYSCOMMAND(IDM_RESTORE_DEFAULTS, OnRestoreDefaults)
    ON_SYSCOMMAND(IDM_ABOUT, OnAbout)
    ON_REGISTERED_MESSAGE(InstanceMessage, OnInstanceQuery)
END_MESSAGE_MAP()

CSetupDlg::CSetupDlg(DeviceEnumerateFn enumerateDevices)
    : CDialog(IDD_SETUP_DIALOG), m_hIcon(nullptr), m_enumerateDevices(enumerateDevices) {
    LPCSTR icon = MAKEINTRESOURCEA(IDR_MAINFRAME);
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(icon, RT_GROUP_ICON), icon);
}

BOOL CSetupDlg::OnInitDialog() {
    // Its data exchange changes nothing: DeviceList and the list box are still empty
    // here, and with no device there is no choice to turn into the record.
    CDialog::OnInitDialog();
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    EnumerateDevices(m_enumerateDevices);
    SetInitialCheckMarks();
    FillDeviceList();
    AddSystemMenuItems();
    InstanceDialogIsUp();  // shown as soon as this returns
    return TRUE;
}

void CSetupDlg::SetInitialCheckMarks() {
    // Only marks are set: every control starts unchecked from the template.
    for (const CheckMarkRule& rule : kCheckMarkRules) {
        if (rule.isChecked(theSettings)) SendToControl(rule.controlId, BM_SETCHECK, BST_CHECKED, 0);
    }
}

void CSetupDlg::FillDeviceList() {
    // One lookup of the list box for the whole fill, and no redrawing while it fills:
    // a sorted list box otherwise repaints on every line, which with many devices
    // costs more than the rest of the start-up together.
    const HWND list = GetDlgItem(IDC_DEVICE_LIST).m_hWnd;
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (DeviceEntry* entry = DeviceList; entry != nullptr; entry = entry->Next) {
        const CString line = DeviceLineText(*entry);
        const LPARAM text = reinterpret_cast<LPARAM>(static_cast<const char*>(line));
        const LRESULT index = ::SendMessageA(list, LB_ADDSTRING, 0, text);
        if (index >= 0) ::SendMessageA(list, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(entry));
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void CSetupDlg::DoDataExchange(CDataExchange*) {
    const LRESULT selection = SendToControl(IDC_DEVICE_LIST, LB_GETCURSEL, 0, 0);
    ResolveDeviceChoice(SendToControl(IDC_DEVICE_LIST, LB_GETITEMDATA, selection, 0), theSettings);
}

// Once ended, the dialog is on its way out, even while a box of its own keeps it on screen.
LRESULT CSetupDlg::OnInstanceQuery() { return ContinueModal() ? kInstanceAnswer : 0; }

LRESULT CSetupDlg::SendToControl(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(GetDlgItem(id).m_hWnd, message, wParam, lParam);
}
