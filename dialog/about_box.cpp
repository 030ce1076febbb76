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

// In UTF-16, so that the copyright sign reads the same in every ANSI code page.
void ShowAboutBox(HWND owner) {
    WCHAR text[160] = L"" VAREK_SETUP_NAME L"\n\n";
    if (const VS_FIXEDFILEINFO* info = OwnFileVersion()) {
        ::wsprintfW(text + ::lstrlenW(text), L"Version %u.%u.%u.%u\n\n", HIWORD(info->dwFileVersionMS),
                    LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    }
    ::lstrcatW(text, L"Copyright \u00A9 Ostrand 1998. All rights reserved.");
    ::MessageBoxW(owner, text, L"About " VAREK_SETUP_NAME, MB_OK | MB_ICONINFORMATION);
}
