// The run sequence: end at once when another instance runs; otherwise open and load
// the settings, show the dialog once, save on "Save", close the key, report a failed
// save, end. The platform adapters of the registry and of DirectDraw are chosen here
// and nowhere else.
#include "shell/setup_app.h"

#include "devices/win32_directdraw.h"
#include "dialog/setup_dlg.h"
#include "settings/render_settings.h"
#include "settings/settings_key.h"
#include "settings/settings_store.h"
#include "settings/win32_registry.h"
#include "shell/failure_box.h"
#include "shell/other_instance.h"
#include "shell/setup_help.h"

CSetupApp theApp;

BEGIN_MESSAGE_MAP(CSetupApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CSetupApp::CSetupApp() { m_pszHelpText = kSetupHelpText; }

BOOL CSetupApp::InitInstance() {
    // Before the key is opened: a second instance must neither create nor write anything.
    if (ActivateOtherInstance()) return FALSE;

    Win32Registry registry;
    SettingsStore store(registry);
    store.Open();
    store.Load(theSettings);  // defaults for all eight when the key could not be opened

    Enable3dControls();

    CSetupDlg dialog(&Win32DirectDrawEnumerate);
    m_pMainWnd = &dialog;
    // Anything but IDOK (Cancel, Esc, the close box, a dialog that could not be
    // shown) leaves the stored values as they were.
    LONG saved = ERROR_SUCCESS;
    int written = 0;
    if (dialog.DoModal() == IDOK) saved = store.Save(theSettings, &written);
    store.Close();
    EndInstance();

    if (m_pMainWnd == &dialog) m_pMainWnd = nullptr;
    // Values written before or after a failed one stay written: the box must not then
    // say that nothing was saved.
    if (saved != ERROR_SUCCESS) {
        ReportFailure(written > 0 ? "Only some of the settings were saved in the registry key\n"
                                    "HKEY_CURRENT_USER\\" VAREK_SETTINGS_KEY
                                  : "The settings could not be saved in the registry key\n"
                                    "HKEY_CURRENT_USER\\" VAREK_SETTINGS_KEY,
                      static_cast<DWORD>(saved));
    }
    return FALSE;  // no message loop: the process ends here
}
