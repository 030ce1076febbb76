// CString: joining text, appending a string to itself, running out of memory.
#include <gtest/gtest.h>

#include "afx/afxstr.h"
#include "fakes/fake_heap.h"

namespace {

TEST(CString, ConcatenationJoinsTheText) {
    CString name;
    CString description;
    name = "3dfx";
    description = "Voodoo";
    const CString line = name + " - " + description;
    EXPECT_STREQ(line, "3dfx - Voodoo");
    EXPECT_EQ(line.GetLength(), 13u);
    EXPECT_TRUE(line.IsValid());
}

TEST(CString, SelfAppendDoublesTheText) {
    CString text;
    text = "Voodoo";
    text += text;
    EXPECT_STREQ(text, "VoodooVoodoo");
    EXPECT_EQ(text.GetLength(), 12u);
}

TEST(CString, FailedAllocationKeepsTheOldTextAndTurnsInvalid) {
    CString assigned;
    CString appended;
    assigned = "old";
    appended = "old";
    FakeHeapFailAll();
    assigned = "new";
    appended += "er";
    FakeHeapReset();
    EXPECT_STREQ(assigned, "old");
    EXPECT_FALSE(assigned.IsValid());
    EXPECT_STREQ(appended, "old");
    EXPECT_EQ(appended.GetLength(), 3u);
    EXPECT_FALSE(appended.IsValid());
}

}  // namespace
