// One instance per user and logon session: the process that owns the mutex named by the
// user's SID. Its dialog alone answers InstanceMessage().
#pragma once

#include <windows.h>

// True when another instance of the tool runs for this user in this logon session: its
// dialog has then been brought to the front, or one box has said that it could not be,
// and this launch is to end without touching the settings. An instance that ends within
// the wait leaves this launch the instance.
bool ActivateOtherInstance();

// This process is the instance no longer: a launch from now on becomes the instance. Called
// once the settings key is closed, so that the failed-save box holds no later launch up.
void EndInstance();

// The message a launch asks the candidate dialogs with, named after the mutex: another
// account's dialog does not know it. Registered on the first call, so an instance that no
// launch asks never registers it. The tool's dialog answers it with kInstanceAnswer, and
// any other window with 0.
UINT InstanceMessage();
const LRESULT kInstanceAnswer = 0x56534554;  // "VSET"
