// One instance per user and logon session.
#pragma once

// True when another instance of the tool runs for this user in this logon session; its
// dialog has then been brought to the front (if it came up in time) and this launch is
// to end without touching the settings.
bool ActivateOtherInstance();
