// Painting: a minimised dialog draws its icon centred in its client area.
#include "dialog/icon_position.h"
#include "dialog/setup_dlg.h"

void CSetupDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    RECT client;
    GetClientRect(&client);
    // SM_CXICON and SM_CYICON, not a size for the window's DPI: they are the size DrawIcon
    // draws at, so the icon is centred whatever the monitor's DPI.
    const IconPosition at = CentreIcon(client.right - client.left, client.bottom - client.top,
                                       ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc.m_hDC, at.x, at.y, m_hIcon);
}

HCURSOR CSetupDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
