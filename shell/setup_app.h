// CSetupApp: the application. Its InitInstance is the whole run of the tool.
#pragma once

#include "afx/afxwin.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CSetupApp theApp;
