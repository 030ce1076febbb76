// CSetupDlg: the tool's one dialog. It shows the record as check marks, edits the
// record on every click and turns the device choice into the record at "Save".
#pragma once

#include "afx/afxwin.h"
#include "devices/directdraw_port.h"
#include "resources/resource.h"

class CSetupDlg : public CDialog {
public:
    // enumerateDevices is how the dialog asks for the display devices when it starts.
    explicit CSetupDlg(DeviceEnumerateFn enumerateDevices);

protected:
    HICON m_hIcon;
    DeviceEnumerateFn m_enumerateDevices;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();

    void OnClickAllowHal();
    void OnClickAllowMmx();
    void OnClickAllowRgb();
    void OnClickAllow3DNow();
    void OnClickNoArgb1555();
    void OnClickExecSingle();
    void OnClickExecDual();
    void OnClickColor8();
    void OnClickColor16();
    void OnClickColor24();
    void OnClickColor32();
    void OnClickZBuffer8();
    void OnClickZBuffer16();
    void OnClickZBuffer24();
    void OnClickZBuffer32();

    void OnRestoreDefaults();
    void OnAbout();
    // Tells a launch that looks for the instance's dialog that this is it.
    LRESULT OnInstanceQuery();

    DECLARE_MESSAGE_MAP()

private:
    void AddSystemMenuItems();
    void SetInitialCheckMarks();
    void FillDeviceList();
    LRESULT SendToControl(int id, UINT message, WPARAM wParam, LPARAM lParam);
};
