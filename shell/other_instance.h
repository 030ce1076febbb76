// One instance per user in each session: the process that owns the mutex named by the
// user's SID. Its dialog alone answers InstanceMessage() (dialog/instance_query.h).
#pragma once

#include <windows.h>

// True when another instance of the tool runs for this user in this session: its dialog
// has then been brought to the front, once up, or one box has said that it could not be,
// and this launch is to end without touching the settings. An instance that ends within
// the wait leaves this launch the instance.
bool ActivateOtherInstance();

// This process is the instance no longer: a launch from now on becomes the instance. Called
// once the settings key is closed, so that the failed-save box holds no later launch up.
void EndInstance();
