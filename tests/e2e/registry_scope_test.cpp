// The tool writes inside its own key and nowhere else, and never deletes a value.
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "harness/tool_test.h"

namespace {

// HKEY_CURRENT_USER exported by Wine's reg.exe, as a set of (section, line) pairs.
std::set<std::string> ExportCurrentUser() {
    const char* session = std::getenv("VAREK_WINE_SESSION");
    const std::string file = WindowsPath(std::string(session != nullptr ? session : "/tmp") + "/hkcu.reg");
    DeleteFileA(file.c_str());
    std::string command = "reg.exe export HKEY_CURRENT_USER \"" + file + "\" /y";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &info)) {
        return {};
    }
    WaitForSingleObject(info.hProcess, 30000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    // The export is UTF-16; the names that matter here are ASCII, so every other byte does.
    std::ifstream in(file, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string text;
    for (size_t i = 2; i + 1 < raw.size(); i += 2) text.push_back(raw[i + 1] == 0 ? raw[i] : '?');

    std::set<std::string> lines;
    std::istringstream stream(text);
    std::string line, section;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') section = line;
        lines.insert(section + " " + line);
    }
    return lines;
}

std::vector<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
    std::vector<std::string> rest;
    for (const std::string& line : a) {
        if (b.count(line) == 0) rest.push_back(line);
    }
    return rest;
}

bool InsideToolKey(const std::string& line) {
    return line.rfind("[HKEY_CURRENT_USER\\Software\\Ostrand\\Varek 3D]", 0) == 0;
}

}  // namespace

class RegistryScope : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        WriteToolDword("Allow D3D HAL", 7);
        WriteToolValue("Left by another tool", REG_SZ, {'x', '\0'});
        m_before = ExportCurrentUser();
        ASSERT_FALSE(m_before.empty()) << "reg.exe export gave nothing";
    }

    std::set<std::string> m_before;
};

TEST_F(RegistryScope, SaveChangesOnlyValuesInsideTheKeyAndRemovesNone) {
    RunTool([](HWND dialog) {
        Click(dialog, kHal);
        Click(dialog, kSave);
    });
    const std::set<std::string> after = ExportCurrentUser();
    for (const std::string& line : Minus(after, m_before)) EXPECT_TRUE(InsideToolKey(line)) << "added: " << line;
    for (const std::string& line : Minus(m_before, after)) {
        EXPECT_TRUE(InsideToolKey(line)) << "removed: " << line;
        EXPECT_NE(line.find("\"Allow D3D HAL\"=dword:00000007"), std::string::npos) << "removed: " << line;
    }
    EXPECT_EQ(ReadToolKey()["Left by another tool"], (StoredValue{REG_SZ, {'x', '\0'}}));
}

TEST_F(RegistryScope, CancelChangesNothingAtAll) {
    RunTool([](HWND dialog) {
        Click(dialog, kHal);
        Click(dialog, kCancel);
    });
    const std::set<std::string> after = ExportCurrentUser();
    EXPECT_EQ(Minus(after, m_before), std::vector<std::string>{});
    EXPECT_EQ(Minus(m_before, after), std::vector<std::string>{});
}
