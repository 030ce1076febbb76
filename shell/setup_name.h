// The name the tool goes by in its boxes and menu. A macro, so that a text joins it by
// literal concatenation and stays a constant. The dialog's caption in resources/setup.rc
// is the same name.
#pragma once

#define VAREK_SETUP_NAME "Varek Setup"
