// Which controls start checked: one row per check box and radio button, walked in order.
#pragma once

#include "settings/render_settings.h"

struct CheckMarkRule {
    int controlId;
    bool (*isChecked)(const RenderSettings& settings);
};

constexpr int kCheckMarkRuleCount = 15;
extern const CheckMarkRule kCheckMarkRules[kCheckMarkRuleCount];
