// The error box of a reported failure, shown when no dialog of the tool is up.
#include "shell/failure_box.h"

#include "resources/setup_name.h"

namespace {

const int kTextLength = 1024;  // characters, the closing NUL included

}  // namespace

// In UTF-16, so that the system's text reads right in the user's language whatever the
// ANSI code page. Each part is cut to the room that is left: the box never overflows.
void ReportFailure(const char* what, DWORD error) {
    WCHAR text[kTextLength];
    // The sentence and its NUL, which becomes the first line break; a sentence too long for
    // half the room is left out.
    int length = ::MultiByteToWideChar(CP_UTF8, 0, what, -1, text, kTextLength / 2);
    if (length == 0) length = 1;
    text[length - 1] = L'\n';
    text[length++] = L'\n';
    WCHAR* reason = text + length;
    const DWORD room = kTextLength - length;
    DWORD reasonLength = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                          0, reason, room, nullptr);
    if (reasonLength == 0) reasonLength = ::wsprintfW(reason, L"Error %lu.", error);  // a code with no text
    // The system's text ends in a line break (CR LF), which would leave an empty line under it.
    while (reasonLength > 0 && reason[reasonLength - 1] < L' ') --reasonLength;
    reason[reasonLength] = L'\0';
    // The box has no owner and asks for the foreground itself.
    ::MessageBoxW(nullptr, text, L"" VAREK_SETUP_NAME, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
