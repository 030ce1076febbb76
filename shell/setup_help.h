// The text of the tool's help window, in UTF-8.
#pragma once

extern const char kSetupHelpText[];
