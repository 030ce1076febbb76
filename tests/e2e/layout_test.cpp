// The exe's resources read back from the built file the way the system reads them: the dialog
// template control by control, the two icon images, the version record, and nothing besides.
#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "harness/tool_process.h"

namespace {

using Bytes = std::vector<BYTE>;

// Little-endian fields of a resource, in order; reading past the end gives zeros.
class Reader {
public:
    Reader(const Bytes& data, size_t pos = 0) : m_data(data), m_pos(pos) {}
    BYTE Byte() { return Take<BYTE>(); }
    WORD Word() { return Take<WORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    DWORD Dword() { return Take<DWORD>(); }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    // A name, or an ordinal written as "#n".
    std::wstring NameOrOrdinal() {
        if (Reader(m_data, m_pos).Word() != 0xFFFF) return String();
        Word();
        return L"#" + std::to_wstring(Word());
    }
    void Align() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t bytes) { m_pos += bytes; }
    size_t Pos() const { return m_pos; }

private:
    template <typename T>
    T Take() {
        T value = 0;
        if (m_pos + sizeof value <= m_data.size()) std::memcpy(&value, &m_data[m_pos], sizeof value);
        m_pos += sizeof value;
        return value;
    }
    const Bytes& m_data;
    size_t m_pos;
};

struct Control {
    DWORD id;
    const wchar_t* cls;
    const wchar_t* caption;
    short x, y, cx, cy;
    DWORD style;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kGroupBox = kShown | BS_GROUPBOX;
constexpr DWORD kCheckBox = kShown | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kRadio = kShown | BS_AUTORADIOBUTTON;
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

struct Item {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring cls, caption;
    WORD extraBytes;
};

// The controls of an extended dialog template with a font; end gets the offset after the last one.
std::vector<Item> ReadItems(const Bytes& dialog, size_t* end = nullptr) {
    Reader in(dialog, 16);
    const WORD count = in.Word();
    in.Skip(8);                                                 // x, y, cx, cy
    in.NameOrOrdinal(), in.NameOrOrdinal(), in.String();        // menu, class, title
    in.Skip(6), in.String();                                    // size, weight, italic, charset, face
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        in.Align();
        Item item;
        item.helpId = in.Dword();
        item.exStyle = in.Dword();
        item.style = in.Dword();
        item.x = in.Short(), item.y = in.Short(), item.cx = in.Short(), item.cy = in.Short();
        item.id = in.Dword();
        item.cls = in.NameOrOrdinal();
        if (item.cls == L"#128") item.cls = L"BUTTON";
        if (item.cls == L"#131") item.cls = L"LISTBOX";
        item.caption = in.NameOrOrdinal();
        item.extraBytes = in.Word();
        in.Skip(item.extraBytes);
        items.push_back(item);
    }
    if (end != nullptr) *end = in.Pos();
    return items;
}

// The standard 16-colour palette, as its RGBQUADs read as DWORDs (0x00RRGGBB).
const DWORD kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                            0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// Geometry of a square 4-bit icon image: header, palette, colour rows, mask rows, all bottom-up.
size_t ColourStride(int size) { return (size * 4 + 31) / 32 * 4; }
size_t MaskStride(int size) { return (size + 31) / 32 * 4; }
size_t MaskStart(int size) { return 40 + 16 * 4 + ColourStride(size) * size; }

// The palette index of pixel (x, y) counted from the top left.
int ColourAt(const Bytes& image, int size, int x, int y) {
    const size_t at = 40 + 16 * 4 + (size - 1 - y) * ColourStride(size) + x / 2;
    if (at >= image.size()) return -1;
    return x % 2 == 0 ? image[at] >> 4 : image[at] & 0x0F;
}

bool TransparentAt(const Bytes& image, int size, int x, int y) {
    const size_t at = MaskStart(size) + (size - 1 - y) * MaskStride(size) + x / 8;
    return at < image.size() && (image[at] & (0x80 >> (x % 8))) != 0;
}

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
    in.Skip(type == 1 ? valueLength * 2u : valueLength);
    in.Align();
    while (in.Pos() + 6 <= start + length && in.Pos() < data.size()) {
        const size_t child = in.Pos();
        const WORD childLength = Reader(data, child).Word();
        if (childLength == 0) break;
        node.children.push_back(ReadVersionNode(data, child));
        in.Skip(childLength);
        in.Align();
    }
    return node;
}

std::vector<std::wstring> Keys(const VersionNode& node) {
    std::vector<std::wstring> keys;
    for (const VersionNode& child : node.children) keys.push_back(child.key);
    return keys;
}

std::string ResourceName(LPCSTR name) {
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : '"' + std::string(name) + '"';
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR list) {
    char lang[8];
    std::snprintf(lang, sizeof lang, "%04x", language);
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(ResourceName(type) + " " + ResourceName(name) + " " +
                                                                 lang);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    EnumResourceLanguagesA(module, type, name, AddLanguage, list);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR list) {
    EnumResourceNamesA(module, type, AddName, list);
    return TRUE;
}

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryExA(ToolExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << "cannot load " << ToolExePath();
    }
    void TearDown() override {
        if (m_module != nullptr) FreeLibrary(m_module);
    }

    // The resource in US English, or no bytes.
    Bytes Resource(LPCSTR type, int id) const {
        HRSRC found = FindResourceExA(m_module, type, MAKEINTRESOURCEA(id), 0x0409);
        if (found == nullptr) return {};
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(m_module, found)));
        return data != nullptr ? Bytes(data, data + SizeofResource(m_module, found)) : Bytes();
    }

    // A value of the version record's string table, exactly as stored up to its one closing NUL.
    std::wstring VersionString(const std::wstring& table, const std::wstring& key) {
        Bytes copy = Resource(RT_VERSION, 1);
        void* text = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(copy.data(), (L"\\StringFileInfo\\" + table + L"\\" + key).c_str(), &text, &length)) {
            return L"<missing>";
        }
        std::wstring value(static_cast<const wchar_t*>(text), length);
        if (value.empty() || value.back() != L'\0') return value + L"<no closing NUL>";
        value.pop_back();
        return value;
    }

    HMODULE m_module = nullptr;
};

TEST_F(Layout, DialogIsAnExtendedTemplateOfAVisibleModalWindowInMsSansSerif) {
    const Bytes dialog = Resource(RT_DIALOG, 102);
    ASSERT_FALSE(dialog.empty());
    Reader in(dialog);
    EXPECT_EQ(in.Word(), 1);
    EXPECT_EQ(in.Word(), 0xFFFF);
    EXPECT_EQ(in.Dword(), 0u);                                  // help id
    EXPECT_EQ(in.Dword(), 0x40000u);                            // WS_EX_APPWINDOW
    EXPECT_EQ(in.Dword(), 0x90C800C0u);                         // popup, visible, caption, system menu, modal frame, font
    EXPECT_EQ(in.Word(), 24);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 172);
    EXPECT_EQ(in.Short(), 186);
    EXPECT_EQ(in.NameOrOrdinal(), L"");                         // no menu
    EXPECT_EQ(in.NameOrOrdinal(), L"");                         // the system's dialog class
    EXPECT_EQ(in.String(), L"Varek Setup");
    EXPECT_EQ(in.Word(), 8);
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Byte(), 0);
    EXPECT_EQ(in.Byte(), 1);
    EXPECT_EQ(in.String(), L"MS Sans Serif");
}

TEST_F(Layout, DialogControlsComeInTabOrderWithExactlyTheirStylesPlacesAndCaptions) {
    const Bytes dialog = Resource(RT_DIALOG, 102);
    size_t end = 0;
    const std::vector<Item> items = ReadItems(dialog, &end);
    ASSERT_EQ(items.size(), std::size(kControls));
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        const Control& expected = kControls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(item.id, expected.id);
        EXPECT_EQ(item.cls, expected.cls);
        EXPECT_EQ(item.caption, expected.caption);
        EXPECT_EQ(item.style, expected.style) << std::hex << item.style << " instead of " << expected.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.x, expected.x);
        EXPECT_EQ(item.y, expected.y);
        EXPECT_EQ(item.cx, expected.cx);
        EXPECT_EQ(item.cy, expected.cy);
        EXPECT_EQ(item.extraBytes, 0);
    }
    EXPECT_EQ(end, dialog.size());                              // nothing follows the last control
}

TEST_F(Layout, NoRadioButtonOrGroupBoxIsATabStopAndNoGroupBoxStartsAGroup) {
    for (const Item& item : ReadItems(Resource(RT_DIALOG, 102))) {
        const DWORD kind = item.style & 0x0F;
        if (item.cls != L"BUTTON" || (kind != BS_AUTORADIOBUTTON && kind != BS_GROUPBOX)) continue;
        EXPECT_EQ(item.style & WS_TABSTOP, 0u) << item.id;
        if (kind == BS_GROUPBOX) EXPECT_EQ(item.style & WS_GROUP, 0u) << item.id;
    }
}

TEST_F(Layout, IconGroupHoldsA32AndA16PixelSixteenColourImage) {
    const Bytes group = Resource(RT_GROUP_ICON, 128);
    Reader in(group);
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Word(), 1);
    ASSERT_EQ(in.Word(), 2);
    for (int id = 1; id <= 2; ++id) {
        SCOPED_TRACE("entry " + std::to_string(id));
        const int size = id == 1 ? 32 : 16;
        EXPECT_EQ(in.Byte(), size);
        EXPECT_EQ(in.Byte(), size);
        EXPECT_EQ(in.Byte(), 16);                               // colours
        EXPECT_EQ(in.Byte(), 0);
        EXPECT_EQ(in.Word(), 1);                                // planes
        EXPECT_EQ(in.Word(), 4);                                // bits per pixel
        EXPECT_EQ(in.Dword(), Resource(RT_ICON, id).size());
        EXPECT_EQ(in.Word(), id);
    }
}

TEST_F(Layout, IconImagesAreFourBitDibsWithTheStandardPalette) {
    for (int id = 1; id <= 2; ++id) {
        SCOPED_TRACE("icon " + std::to_string(id));
        const int size = id == 1 ? 32 : 16;
        const Bytes image = Resource(RT_ICON, id);
        ASSERT_EQ(image.size(), MaskStart(size) + MaskStride(size) * size);
        Reader in(image);
        EXPECT_EQ(in.Dword(), 40u);                             // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<LONG>(in.Dword()), size);
        EXPECT_EQ(static_cast<LONG>(in.Dword()), size * 2);     // colour rows and mask rows
        EXPECT_EQ(in.Word(), 1);
        EXPECT_EQ(in.Word(), 4);
        EXPECT_EQ(in.Dword(), 0u);                              // BI_RGB
        in.Skip(20);
        for (DWORD colour : kPalette) EXPECT_EQ(in.Dword(), colour);
    }
}

TEST_F(Layout, LargeIconIsADiamondOfFourColouredQuartersOnATransparentGround) {
    const Bytes image = Resource(RT_ICON, 1);
    ASSERT_EQ(image.size(), MaskStart(32) + MaskStride(32) * 32);
    for (int corner : {0, 31}) {
        EXPECT_TRUE(TransparentAt(image, 32, corner, 0));
        EXPECT_TRUE(TransparentAt(image, 32, corner, 31));
    }
    for (int x : {15, 16}) {
        EXPECT_FALSE(TransparentAt(image, 32, x, 15));
        EXPECT_FALSE(TransparentAt(image, 32, x, 16));
    }
    EXPECT_EQ(ColourAt(image, 32, 10, 10), 9);                  // red, upper left
    EXPECT_EQ(ColourAt(image, 32, 22, 10), 10);                 // green, upper right
    EXPECT_EQ(ColourAt(image, 32, 10, 22), 11);                 // yellow, lower left
    EXPECT_EQ(ColourAt(image, 32, 22, 22), 12);                 // blue, lower right
}

TEST_F(Layout, SmallIconHasNoTransparentPixel) {
    const Bytes image = Resource(RT_ICON, 2);
    ASSERT_EQ(image.size(), MaskStart(16) + MaskStride(16) * 16);
    EXPECT_EQ(Bytes(image.begin() + MaskStart(16), image.end()), Bytes(MaskStride(16) * 16, 0));
}

TEST_F(Layout, VersionIs1001ForAWin32Application) {
    Bytes copy = Resource(RT_VERSION, 1);
    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", &data, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO& info = *static_cast<const VS_FIXEDFILEINFO*>(data);
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(info.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(info.dwFileFlags, 0u);
    EXPECT_EQ(info.dwFileOS, 4u);
    EXPECT_EQ(info.dwFileType, 1u);
    EXPECT_EQ(info.dwFileSubtype, 0u);
}

TEST_F(Layout, VersionTranslationsAreNeutralUnicodeThenNeutralCentralEuropeanThenUsEnglishUnicode) {
    Bytes copy = Resource(RT_VERSION, 1);
    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", &data, &length));
    const WORD* pairs = static_cast<const WORD*>(data);
    EXPECT_EQ(std::vector<WORD>(pairs, pairs + length / 2), (std::vector<WORD>{0x0000, 1200, 0x0400, 1250, 0x0409, 1200}));
}

TEST_F(Layout, VersionStringTablesAndTheirKeysKeepTheirOrder) {
    const VersionNode root = ReadVersionNode(Resource(RT_VERSION, 1), 0);
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(Keys(root), (std::vector<std::wstring>{L"StringFileInfo", L"VarFileInfo"}));
    const VersionNode& strings = root.children[0];
    EXPECT_EQ(Keys(strings), (std::vector<std::wstring>{L"000004b0", L"040004e2", L"040904b0"}));
    for (const VersionNode& table : strings.children) {
        EXPECT_EQ(Keys(table), (std::vector<std::wstring>{L"CompanyName", L"FileDescription", L"FileVersion",
                                                          L"InternalName", L"LegalCopyright", L"OriginalFilename",
                                                          L"ProductName", L"ProductVersion"}))
            << std::string(table.key.begin(), table.key.end());
    }
}

TEST_F(Layout, UsEnglishStringTableNamesVarek3D) {
    EXPECT_EQ(VersionString(L"040904b0", L"CompanyName"), L"");
    EXPECT_EQ(VersionString(L"040904b0", L"FileDescription"), L"Varek 3D");
    EXPECT_EQ(VersionString(L"040904b0", L"FileVersion"), L"1, 0, 0, 1");
    EXPECT_EQ(VersionString(L"040904b0", L"InternalName"), L"Varek 3D");
    EXPECT_NE(VersionString(L"040904b0", L"LegalCopyright"), L"");
    EXPECT_NE(VersionString(L"040904b0", L"LegalCopyright"), L"<missing>");
    EXPECT_EQ(VersionString(L"040904b0", L"OriginalFilename"), L"Varek Setup.EXE");
    EXPECT_EQ(VersionString(L"040904b0", L"ProductName"), L"Varek 3D");
    EXPECT_EQ(VersionString(L"040904b0", L"ProductVersion"), L"1, 0, 0, 1");
}

TEST_F(Layout, NeutralStringTablesNameVarekSetup) {
    for (const wchar_t* table : {L"000004b0", L"040004e2"}) {
        SCOPED_TRACE(std::string(table, table + 8));
        EXPECT_EQ(VersionString(table, L"CompanyName"), L" ");
        EXPECT_EQ(VersionString(table, L"FileDescription"), L"Varek Setup");
        EXPECT_EQ(VersionString(table, L"FileVersion"), L"1, 0, 0, 1");
        EXPECT_EQ(VersionString(table, L"InternalName"), L"Varek Setup");
        EXPECT_NE(VersionString(table, L"LegalCopyright"), L"");
        EXPECT_NE(VersionString(table, L"LegalCopyright"), L"<missing>");
        EXPECT_EQ(VersionString(table, L"OriginalFilename"), L"Varek Setup.exe");
        EXPECT_EQ(VersionString(table, L"ProductName"), L"  Varek Setup");
        EXPECT_EQ(VersionString(table, L"ProductVersion"), L"1, 0, 0, 1");
    }
}

// No string table, menu, accelerators or manifest: types 3, 5, 14 and 16 only, all US English.
TEST_F(Layout, HoldsExactlyTheDialogTheIconsAndTheVersionRecord) {
    std::vector<std::string> listing;
    EnumResourceTypesA(m_module, AddType, reinterpret_cast<LONG_PTR>(&listing));
    EXPECT_EQ(listing, (std::vector<std::string>{"3 1 0409", "3 2 0409", "5 102 0409", "14 128 0409", "16 1 0409"}));
}

}  // namespace
