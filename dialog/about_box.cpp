// The About box. The version comes from the program's own version record, read with
// the resource functions: the version library is not among the DLLs the tool may load.
#include "dialog/about_box.h"

#include "resources/setup_name.h"

namespace {

// The fixed part of a version record follows its 40-byte head: three WORDs, the key
// "VS_VERSION_INFO" with its NUL in UTF-16, and padding to a 4-byte boundary.
const VS_FIXEDFILEINFO* OwnFileVersion() {
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    const HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const BYTE* record = loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (record == nullptr || ::SizeofResource(module, found) < 40 + sizeof(VS_FIXEDFILEINFO)) return nullptr;
    const VS_FIXEDFILEINFO* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(record + 40);
    return info->dwSignature == 0xFEEF04BD ? info : nullptr;
}

}  // namespace

// Built in UTF-8 and shown in UTF-16, so that the copyright sign reads the same in every
// ANSI code page.
void ShowAboutBox(HWND owner) {
    char text[160] = VAREK_SETUP_NAME "\n\n";
    if (const VS_FIXEDFILEINFO* info = OwnFileVersion()) {
        ::wsprintfA(text + ::lstrlenA(text), "Version %u.%u.%u.%u\n\n", HIWORD(info->dwFileVersionMS),
                    LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    }
    ::lstrcatA(text, u8"Copyright \u00A9 Ostrand 1998. All rights reserved.");
    WCHAR wide[160];
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 160);
    ::MessageBoxW(owner, wide, L"About " VAREK_SETUP_NAME, MB_OK | MB_ICONINFORMATION);
}
