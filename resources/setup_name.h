// The name the tool goes by: the dialog's caption and the version record in setup.rc,
// and its boxes and menu. A macro, so that a text joins it by literal concatenation and
// stays a constant, in C++ and in the resource script alike.
#pragma once

#define VAREK_SETUP_NAME "Varek Setup"
