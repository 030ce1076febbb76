// The error box of a reported failure, shown when no dialog of the tool is up.
#include "shell/failure_box.h"

#include "resources/setup_name.h"

void ReportFailure(const char* what, DWORD error) {
    char reason[512];
    if (::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                         sizeof reason, nullptr) == 0) {
        ::wsprintfA(reason, "Error %lu.", error);
    }
    char text[768];
    ::wsprintfA(text, "%s\n\n%s", what, reason);
    // The box has no owner and asks for the foreground itself.
    ::MessageBoxA(nullptr, text, VAREK_SETUP_NAME, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
