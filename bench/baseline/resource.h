// Ids of the baseline program's dialog and its one list box.
#pragma once

#define IDD_BASELINE 100
#define IDC_BASELINE_LIST 1000
