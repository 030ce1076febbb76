// The box shown after the dialog ended with "Save" and the values are not all stored.
#include "shell/save_failure.h"

#include "resources/setup_name.h"
#include "settings/settings_key.h"

void ReportFailedSave(LONG error) {
    char reason[512];
    if (::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(error), 0, reason, sizeof reason, nullptr) == 0) {
        ::wsprintfA(reason, "Error %ld.", error);
    }
    char text[640];
    ::wsprintfA(text,
                "The settings could not be saved in the registry key\n"
                "HKEY_CURRENT_USER\\" VAREK_SETTINGS_KEY "\n\n%s",
                reason);
    // The dialog is gone: the box has no owner and asks for the foreground itself.
    ::MessageBoxA(nullptr, text, VAREK_SETUP_NAME, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
