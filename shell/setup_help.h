// The text of the tool's help window.
#pragma once

extern const char kSetupHelpText[];
