// The exe's resources read back from the built file the way the system reads them: the dialog
// template control by control, the two icon images, the version record, the manifest, nothing else.
#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "harness/tool_process.h"

namespace {

using Bytes = std::vector<BYTE>;
using Numbers = std::vector<DWORD>;
using Texts = std::vector<std::wstring>;

// Little-endian fields of a resource, in order; reading past the end gives zeros.
class Reader {
public:
    Reader(const Bytes& data, size_t pos = 0) : m_data(data), m_pos(pos) {}
    BYTE Byte() { return static_cast<BYTE>(Take(1)); }
    WORD Word() { return static_cast<WORD>(Take(2)); }
    DWORD Dword() { return Take(4); }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    // A name, or an ordinal written as "#n".
    std::wstring NameOrOrdinal() {
        if (Reader(m_data, m_pos).Word() != 0xFFFF) return String();
        return Word(), L"#" + std::to_wstring(Word());
    }
    void Align() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t bytes) { m_pos += bytes; }
    size_t Pos() const { return m_pos; }

private:
    DWORD Take(size_t bytes) {
        DWORD value = 0;
        if (m_pos + bytes <= m_data.size()) std::memcpy(&value, &m_data[m_pos], bytes);
        return m_pos += bytes, value;
    }
    const Bytes& m_data;
    size_t m_pos;
};

struct Control {
    DWORD id;
    std::wstring cls, caption;
    short x, y, cx, cy;
    DWORD style, exStyle = 0, helpId = 0, creationBytes = 0;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kGroupBox = kShown | BS_GROUPBOX;  // never a tab stop, never the start of a group
constexpr DWORD kCheckBox = kShown | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kRadio = kShown | BS_AUTORADIOBUTTON;  // never a tab stop
constexpr DWORD kNoId = 0xFFFFFFFF;

// Template order is tab order: box 1022 comes last although it sits inside "Options".
const Control kControls[] = {
    {1, L"BUTTON", L"Save", 36, 165, 50, 14, kShown | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {2, L"BUTTON", L"Cancel", 87, 165, 50, 14, kShown | WS_TABSTOP | BS_PUSHBUTTON},
    {kNoId, L"BUTTON", L"Potential Rasterizers", 7, 7, 78, 44, kGroupBox},
    {1007, L"BUTTON", L"D3D HAL", 13, 17, 69, 8, kCheckBox},
    {1008, L"BUTTON", L"D3D MMX", 13, 28, 69, 8, kCheckBox},
    {1009, L"BUTTON", L"D3D RGB", 13, 39, 69, 8, kCheckBox},
    {kNoId, L"BUTTON", L"Color Mode", 7, 51, 78, 47, kGroupBox},
    {1012, L"BUTTON", L"8-bit", 13, 60, 44, 9, kRadio | WS_GROUP},
    {1014, L"BUTTON", L"16-bit", 13, 69, 44, 9, kRadio},
    {1015, L"BUTTON", L"24-bit", 13, 78, 44, 9, kRadio},
    {1016, L"BUTTON", L"32-bit", 13, 87, 44, 9, kRadio},
    {kNoId, L"BUTTON", L"Execute Buffer Model", 87, 7, 78, 44, kGroupBox},
    {1011, L"BUTTON", L"Single", 93, 19, 63, 8, kRadio | WS_GROUP},
    {1013, L"BUTTON", L"Dual", 93, 28, 63, 8, kRadio},
    {kNoId, L"BUTTON", L"Z-Buffer Mode", 87, 51, 78, 47, kGroupBox},
    {1017, L"BUTTON", L"8-bit", 93, 60, 44, 9, kRadio | WS_GROUP},
    {1018, L"BUTTON", L"16-bit", 93, 69, 44, 9, kRadio},
    {1019, L"BUTTON", L"24-bit", 93, 78, 44, 9, kRadio},
    {1020, L"BUTTON", L"32-bit", 93, 87, 44, 9, kRadio},
    {kNoId, L"BUTTON", L"Options", 7, 97, 158, 34, kGroupBox},
    {1021, L"BUTTON", L"Allow 3DNow\u00AE", 13, 108, 69, 8, kCheckBox},
    {kNoId, L"BUTTON", L"Direct Draw Device", 7, 136, 158, 27, kGroupBox},
    {1026, L"LISTBOX", L"", 13, 146, 146, 12,
     kShown | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT},
    {1022, L"BUTTON", L"No ARGB-1555 Textures", 13, 119, 95, 8, kCheckBox},
};

// One line per control, so that a failure shows everything that differs.
std::wstring Describe(const Control& c) {
    wchar_t numbers[160];
    std::swprintf(numbers, 160, L" at %d,%d size %dx%d style %08lX exStyle %lX helpId %lu creation bytes %lu", c.x,
                  c.y, c.cx, c.cy, c.style, c.exStyle, c.helpId, c.creationBytes);
    return L"id " + std::to_wstring(static_cast<int>(c.id)) + L" " + c.cls + L" \"" + c.caption + L"\"" + numbers;
}

// The controls of an extended dialog template with a font; end gets the offset after the last one.
std::vector<Control> ReadControls(const Bytes& dialog, size_t* end) {
    Reader in(dialog, 16);
    const WORD count = in.Word();
    in.Skip(8);                                           // x, y, cx, cy
    in.NameOrOrdinal(), in.NameOrOrdinal(), in.String();  // menu, class, title
    in.Skip(6), in.String();                              // size, weight, italic, charset, face
    std::vector<Control> controls;
    for (int i = 0; i < count; ++i) {
        in.Align();
        Control c{};
        c.helpId = in.Dword(), c.exStyle = in.Dword(), c.style = in.Dword();
        c.x = in.Word(), c.y = in.Word(), c.cx = in.Word(), c.cy = in.Word();
        c.id = in.Dword(), c.cls = in.NameOrOrdinal();
        if (c.cls == L"#128") c.cls = L"BUTTON";
        if (c.cls == L"#131") c.cls = L"LISTBOX";
        c.caption = in.NameOrOrdinal(), c.creationBytes = in.Word();
        in.Skip(c.creationBytes);
        controls.push_back(c);
    }
    *end = in.Pos();
    return controls;
}

// The standard 16-colour palette, its RGBQUADs read as DWORDs (0x00RRGGBB).
const Numbers kPalette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                          0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// A square 4-bit icon image: header, palette, then colour rows and mask rows, both bottom-up.
size_t ColourStride(int size) { return (size * 4 + 31) / 32 * 4; }
size_t MaskStride(int size) { return (size + 31) / 32 * 4; }
size_t MaskStart(int size) { return 40 + 16 * 4 + ColourStride(size) * size; }
size_t ImageBytes(int size) { return MaskStart(size) + MaskStride(size) * size; }

// The palette index of pixel (x, y) counted from the top left.
int ColourAt(const Bytes& image, int size, int x, int y) {
    const BYTE pair = image.at(40 + 16 * 4 + (size - 1 - y) * ColourStride(size) + x / 2);
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

bool TransparentAt(const Bytes& image, int size, int x, int y) {
    return (image.at(MaskStart(size) + (size - 1 - y) * MaskStride(size) + x / 8) & (0x80 >> (x % 8))) != 0;
}

const Texts kStringKeys = {L"CompanyName",      L"FileDescription", L"FileVersion", L"InternalName",
                           L"LegalCopyright",   L"OriginalFilename", L"ProductName", L"ProductVersion"};

// One node of a VS_VERSIONINFO tree: its key and its children, in stored order.
struct VersionNode {
    std::wstring key;
    std::vector<VersionNode> children;
};

VersionNode ReadVersionNode(const Bytes& data, size_t start) {
    Reader in(data, start);
    const WORD length = in.Word(), valueLength = in.Word(), type = in.Word();
    VersionNode node{in.String(), {}};
    in.Align();
    in.Skip(type == 1 ? valueLength * 2u : valueLength);  // text values count characters
    for (in.Align(); in.Pos() + 6 <= start + length; in.Align()) {
        const WORD childLength = Reader(data, in.Pos()).Word();
        if (childLength == 0) break;
        node.children.push_back(ReadVersionNode(data, in.Pos()));
        in.Skip(childLength);
    }
    return node;
}

Texts Keys(const VersionNode& node) {
    Texts keys;
    for (const VersionNode& child : node.children) keys.push_back(child.key);
    return keys;
}

std::string ResourceName(LPCSTR name) {
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : '"' + std::string(name) + '"';
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR list) {
    char entry[80];
    std::snprintf(entry, sizeof entry, "%s %s %04x", ResourceName(type).c_str(), ResourceName(name).c_str(), language);
    return reinterpret_cast<std::vector<std::string>*>(list)->push_back(entry), TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    return EnumResourceLanguagesA(module, type, name, AddLanguage, list), TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR list) {
    return EnumResourceNamesA(module, type, AddName, list), TRUE;
}

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryExA(ToolExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << "cannot load " << ToolExePath();
        m_version = Resource(RT_VERSION, 1);
    }
    void TearDown() override { FreeLibrary(m_module); }

    // The resource in US English, or no bytes.
    Bytes Resource(LPCSTR type, int id) const {
        HRSRC found = FindResourceExA(m_module, type, MAKEINTRESOURCEA(id), 0x0409);
        if (found == nullptr) return {};
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(m_module, found)));
        return data != nullptr ? Bytes(data, data + SizeofResource(m_module, found)) : Bytes();
    }

    // What VerQueryValueW finds at path in a copy of the version record, with its length.
    const void* Query(const std::wstring& path, UINT* length) const {
        m_copy = m_version;
        void* found = nullptr;
        return VerQueryValueW(m_copy.data(), path.c_str(), &found, length) ? found : nullptr;
    }

    // A table's values in key order, each exactly as stored up to its one closing NUL, so that a
    // second NUL shows. The copyright line only has to be there.
    Texts VersionStrings(const std::wstring& table) const {
        Texts values;
        for (const std::wstring& key : kStringKeys) {
            UINT length = 0;
            const wchar_t* text =
                static_cast<const wchar_t*>(Query(L"\\StringFileInfo\\" + table + L"\\" + key, &length));
            const std::wstring value = text != nullptr ? std::wstring(text, length) : L"";
            if (text == nullptr) values.push_back(L"<missing>");
            else if (value.empty() || value.back() != L'\0') values.push_back(value + L"<no closing NUL>");
            else values.push_back(value.substr(0, length - 1));
        }
        if (!values[4].empty() && values[4] != L"<missing>") values[4] = L"(some copyright)";
        return values;
    }

    HMODULE m_module = nullptr;
    Bytes m_version;
    mutable Bytes m_copy;  // what the last Query looked in
};

TEST_F(Layout, DialogIsAnExtendedTemplateOfAVisibleModalWindowInMsSansSerif) {
    const Bytes dialog = Resource(RT_DIALOG, 102);
    Reader in(dialog);
    // Version, signature, help id, extended style, style, control count, x, y, cx, cy.
    EXPECT_EQ((Numbers{in.Word(), in.Word(), in.Dword(), in.Dword(), in.Dword(), in.Word(), in.Word(), in.Word(),
                       in.Word(), in.Word()}),
              (Numbers{1, 0xFFFF, 0, 0x40000, 0x90C800C0, 24, 0, 0, 172, 186}));
    // No menu, the system's dialog class.
    EXPECT_EQ((Texts{in.NameOrOrdinal(), in.NameOrOrdinal(), in.String()}), (Texts{L"", L"", L"Varek Setup"}));
    // Point size, weight, italic, charset.
    EXPECT_EQ((Numbers{in.Word(), in.Word(), in.Byte(), in.Byte()}), (Numbers{8, 0, 0, 1}));
    EXPECT_EQ(in.String(), L"MS Sans Serif");
}

TEST_F(Layout, DialogControlsComeInTabOrderWithExactlyTheirStylesPlacesAndCaptions) {
    const Bytes dialog = Resource(RT_DIALOG, 102);
    size_t end = 0;
    const std::vector<Control> controls = ReadControls(dialog, &end);
    ASSERT_EQ(controls.size(), std::size(kControls));
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(Describe(controls[i]), Describe(kControls[i])) << "control " << i;
    }
    EXPECT_EQ(end, dialog.size());  // nothing follows the last control
}

TEST_F(Layout, IconGroupHoldsA32AndA16PixelSixteenColourImage) {
    const Bytes group = Resource(RT_GROUP_ICON, 128);
    Reader in(group);
    ASSERT_EQ((Numbers{in.Word(), in.Word(), in.Word()}), (Numbers{0, 1, 2}));  // reserved, icons, entries
    for (DWORD id : {1, 2}) {
        const DWORD size = id == 1 ? 32 : 16;
        // Width, height, colours, reserved, planes, bits per pixel, bytes, icon id.
        EXPECT_EQ((Numbers{in.Byte(), in.Byte(), in.Byte(), in.Byte(), in.Word(), in.Word(), in.Dword(), in.Word()}),
                  (Numbers{size, size, 16, 0, 1, 4, static_cast<DWORD>(Resource(RT_ICON, id).size()), id}))
            << id;
    }
}

TEST_F(Layout, IconImagesAreFourBitDibsWithTheStandardPalette) {
    for (int size : {32, 16}) {
        const Bytes image = Resource(RT_ICON, size == 32 ? 1 : 2);
        ASSERT_EQ(image.size(), ImageBytes(size)) << size;
        Reader in(image);
        // Header size, width, height of colour rows and mask rows together, planes, bits, BI_RGB.
        EXPECT_EQ((Numbers{in.Dword(), in.Dword(), in.Dword(), in.Word(), in.Word(), in.Dword()}),
                  (Numbers{40, DWORD(size), DWORD(size) * 2, 1, 4, 0}))
            << size;
        in.Skip(20);
        Numbers palette;
        for (int i = 0; i < 16; ++i) palette.push_back(in.Dword());
        EXPECT_EQ(palette, kPalette) << size;
    }
}

TEST_F(Layout, LargeIconIsADiamondOfFourColouredQuartersOnATransparentGround) {
    const Bytes image = Resource(RT_ICON, 1);
    ASSERT_EQ(image.size(), ImageBytes(32));
    for (int x : {0, 31}) EXPECT_TRUE(TransparentAt(image, 32, x, 0) && TransparentAt(image, 32, x, 31)) << x;
    for (int x : {15, 16}) EXPECT_FALSE(TransparentAt(image, 32, x, 15) || TransparentAt(image, 32, x, 16)) << x;
    EXPECT_EQ(ColourAt(image, 32, 10, 10), 9);   // red, upper left
    EXPECT_EQ(ColourAt(image, 32, 22, 10), 10);  // green, upper right
    EXPECT_EQ(ColourAt(image, 32, 10, 22), 11);  // yellow, lower left
    EXPECT_EQ(ColourAt(image, 32, 22, 22), 12);  // blue, lower right
}

TEST_F(Layout, SmallIconHasNoTransparentPixel) {
    const Bytes image = Resource(RT_ICON, 2);
    ASSERT_EQ(image.size(), ImageBytes(16));
    EXPECT_EQ(Bytes(image.begin() + MaskStart(16), image.end()), Bytes(16 * 4, 0));
}

TEST_F(Layout, VersionIs1001ForAWin32Application) {
    UINT length = 0;
    const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\", &length));
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(length, sizeof *info);
    // Signature, file and product version, flags mask, flags, OS, type, subtype.
    EXPECT_EQ((Numbers{info->dwSignature, info->dwFileVersionMS, info->dwFileVersionLS, info->dwProductVersionMS,
                       info->dwProductVersionLS, info->dwFileFlagsMask, info->dwFileFlags, info->dwFileOS,
                       info->dwFileType, info->dwFileSubtype}),
              (Numbers{0xFEEF04BD, 0x00010000, 0x00000001, 0x00010000, 0x00000001, 0x3F, 0, 4, 1, 0}));
}

TEST_F(Layout, VersionTranslationsAreNeutralUnicodeThenNeutralCentralEuropeanThenUsEnglishUnicode) {
    UINT length = 0;
    const WORD* pairs = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(pairs, nullptr);
    EXPECT_EQ(std::vector<WORD>(pairs, pairs + length / 2),
              (std::vector<WORD>{0x0000, 1200, 0x0400, 1250, 0x0409, 1200}));
}

TEST_F(Layout, VersionStringTablesAndTheirKeysKeepTheirOrder) {
    const VersionNode root = ReadVersionNode(m_version, 0);
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(Keys(root), (Texts{L"StringFileInfo", L"VarFileInfo"}));
    EXPECT_EQ(Keys(root.children[0]), (Texts{L"000004b0", L"040004e2", L"040904b0"}));
    for (const VersionNode& table : root.children[0].children) {
        EXPECT_EQ(Keys(table), kStringKeys) << std::string(table.key.begin(), table.key.end());
    }
}

TEST_F(Layout, UsEnglishStringTableNamesVarek3D) {
    EXPECT_EQ(VersionStrings(L"040904b0"), (Texts{L"", L"Varek 3D", L"1, 0, 0, 1", L"Varek 3D", L"(some copyright)",
                                                  L"Varek Setup.EXE", L"Varek 3D", L"1, 0, 0, 1"}));
}

TEST_F(Layout, NeutralStringTablesNameVarekSetupWithABlankCompanyAndTwoBlanksBeforeTheProduct) {
    for (const wchar_t* table : {L"000004b0", L"040004e2"}) {
        EXPECT_EQ(VersionStrings(table), (Texts{L" ", L"Varek Setup", L"1, 0, 0, 1", L"Varek Setup",
                                                L"(some copyright)", L"Varek Setup.exe", L"  Varek Setup",
                                                L"1, 0, 0, 1"}))
            << std::string(table, table + 8);
    }
}

// No string table, menu or accelerators: types 3, 5, 14, 16 and 24 only, all US English.
TEST_F(Layout, HoldsExactlyTheDialogTheIconsTheVersionRecordAndTheManifest) {
    std::vector<std::string> listing;
    EnumResourceTypesA(m_module, AddType, reinterpret_cast<LONG_PTR>(&listing));
    EXPECT_EQ(listing, (std::vector<std::string>{"3 1 0409", "3 2 0409", "5 102 0409", "14 128 0409", "16 1 0409",
                                                 "24 1 0409"}));
}

// The manifest as the system finds it in the exe, whole: run as invoker with no UI access, the
// five Windows versions from Vista to 10/11 in order, aware of each monitor's DPI (v2 where
// Windows has it, each setting in its own namespace), and nothing that changes the look.
TEST_F(Layout, ManifestRunsAsInvokerOnTheFiveWindowsAwareOfEachMonitorsDpi) {
    const Bytes bytes = Resource(MAKEINTRESOURCEA(24), 1);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\"><security><requestedPrivileges>\n"
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>\n"
        "</requestedPrivileges></security></trustInfo>\n"
        "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\"><application>\n"
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>\n"
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>\n"
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>\n"
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>\n"
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>\n"
        "</application></compatibility>\n"
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"><windowsSettings>\n"
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>\n"
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>\n"
        "</windowsSettings></application>\n"
        "</assembly>\n");
}

}  // namespace
