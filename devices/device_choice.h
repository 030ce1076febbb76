// The turn of the list box's selection into the record's two device fields.
#pragma once

#include "afx/afxplatform.h"
#include "settings/render_settings.h"

// itemData is what the list box reports for its selection: an entry of DeviceList,
// 0, or -1 for none. With none the head of DeviceList counts as chosen; with an
// empty list the record is left as it is.
void ResolveDeviceChoice(LRESULT itemData, RenderSettings& settings);
