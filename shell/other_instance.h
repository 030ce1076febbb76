// One instance per user and logon session.
#pragma once

// True when another instance of the tool runs for this user in this logon session; its
// dialog has then been brought to the front (if it came up in time) and this launch is
// to end without touching the settings. An instance that shows no dialog in that time
// and has ended by then leaves this launch the instance.
bool ActivateOtherInstance();
