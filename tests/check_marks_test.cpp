// The initial check marks: which controls a record checks, in the order they are walked.
#include <gtest/gtest.h>

#include <vector>

#include "dialog/check_marks.h"

namespace {

std::vector<int> CheckedIds(const RenderSettings& settings) {
    std::vector<int> ids;
    for (const CheckMarkRule& rule : kCheckMarkRules)
        if (rule.isChecked(settings)) ids.push_back(rule.controlId);
    return ids;
}

TEST(CheckMarks, RulesWalkTheOptionsThenRasterizersThenBufferColourAndZButtons) {
    std::vector<int> ids;
    for (const CheckMarkRule& rule : kCheckMarkRules) ids.push_back(rule.controlId);
    EXPECT_EQ(ids, (std::vector<int>{1021, 1022, 1007, 1008, 1009, 1011, 1013, 1012, 1014, 1015, 1016, 1017, 1018,
                                     1019, 1020}));
}

TEST(CheckMarks, DefaultsCheckTheFlagsSixteenBitDepthsAndASingleBuffer) {
    RenderSettings defaults{};
    defaults.Allow3DNow = defaults.NoArgb1555Textures = 1;
    defaults.AllowD3DHAL = defaults.AllowD3DMMX = defaults.AllowD3DRGB = 1;
    defaults.ZBufferBitDepth = defaults.ColorBufferBitDepth = 16;
    defaults.ExecuteBufferCount = 1;
    EXPECT_EQ(CheckedIds(defaults), (std::vector<int>{1021, 1022, 1007, 1008, 1009, 1011, 1014, 1018}));
}

// A flag counts as set at any nonzero value, so the flags are set to 7 here.
TEST(CheckMarks, EachValueChecksOnlyItsOwnControl) {
    const struct { DWORD RenderSettings::*field; DWORD value; int id; } rows[] = {
        {&RenderSettings::Allow3DNow, 7, 1021},          {&RenderSettings::NoArgb1555Textures, 7, 1022},
        {&RenderSettings::AllowD3DHAL, 7, 1007},         {&RenderSettings::AllowD3DMMX, 7, 1008},
        {&RenderSettings::AllowD3DRGB, 7, 1009},         {&RenderSettings::ExecuteBufferCount, 1, 1011},
        {&RenderSettings::ExecuteBufferCount, 2, 1013},  {&RenderSettings::ColorBufferBitDepth, 8, 1012},
        {&RenderSettings::ColorBufferBitDepth, 16, 1014}, {&RenderSettings::ColorBufferBitDepth, 24, 1015},
        {&RenderSettings::ColorBufferBitDepth, 32, 1016}, {&RenderSettings::ZBufferBitDepth, 8, 1017},
        {&RenderSettings::ZBufferBitDepth, 16, 1018},    {&RenderSettings::ZBufferBitDepth, 24, 1019},
        {&RenderSettings::ZBufferBitDepth, 32, 1020}};
    for (const auto& row : rows) {
        RenderSettings settings{};
        settings.*row.field = row.value;
        EXPECT_EQ(CheckedIds(settings), std::vector<int>{row.id}) << "control " << row.id;
    }
}

TEST(CheckMarks, ValueNoButtonOffersChecksNothingInItsGroup) {
    RenderSettings settings{};
    settings.ColorBufferBitDepth = 15;
    settings.ZBufferBitDepth = 15;
    settings.ExecuteBufferCount = 3;
    EXPECT_EQ(CheckedIds(settings), std::vector<int>{});
}

}  // namespace
