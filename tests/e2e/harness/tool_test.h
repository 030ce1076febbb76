// The fixture of the Wine tests: each test starts from no key at all and runs the
// tool as a user would.
#pragma once

#include <gtest/gtest.h>

#include "registry.h"
#include "real_input.h"
#include "scripted_devices.h"
#include "setup_dialog.h"
#include "tool_process.h"

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteToolKey(); }
    void TearDown() override { DeleteToolKey(); }

    // Starts the tool and waits for its dialog; fails the test when it does not come.
    HWND Launch(const std::vector<std::string>& environment = {}, const std::string& exe = ToolExePath()) {
        EXPECT_TRUE(m_tool.Start(exe, environment)) << "cannot start " << exe;
        HWND dialog = m_tool.WaitForDialog();
        EXPECT_NE(dialog, nullptr) << "the dialog did not come up";
        return dialog;
    }

    // Waits for the tool to end after the dialog was closed, and checks that it ended cleanly.
    void ExpectExit() {
        DWORD exitCode = 1;
        ASSERT_TRUE(m_tool.WaitForExit(15000, &exitCode)) << "the tool did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    // One whole run: the dialog comes up, act() drives it, the tool ends.
    template <typename Act>
    void RunTool(Act act, const std::vector<std::string>& environment = {}) {
        HWND dialog = Launch(environment);
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        ExpectExit();
    }

    // The same, with the stand-in ddraw.dll reporting the scripted devices.
    template <typename Act>
    void RunTool(const ScriptedDirectDraw& ddraw, Act act) {
        HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        ExpectExit();
    }

    ToolProcess m_tool;
};
