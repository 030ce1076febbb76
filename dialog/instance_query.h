// How a launch asks whether a window is the running instance's dialog. The dialog says when
// it is up and answers; the shell, which names the instance, defines both.
#pragma once

#include <windows.h>

// The message a launch asks the candidate dialogs with, named after the instance's mutex:
// another account's dialog does not know it. Registered on the first call, so an instance
// that no launch asks never registers it. The tool's dialog answers it with
// kInstanceAnswer, and any other window with 0.
UINT InstanceMessage();
const LRESULT kInstanceAnswer = 0x56534554;  // "VSET"

// Called by the instance's dialog as it comes up: a launch waits for this before it asks,
// and counts the dialog hung only when it then does not answer.
void InstanceDialogIsUp();
