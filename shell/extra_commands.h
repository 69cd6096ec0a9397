// Commands that one build of the shell adds after its eight own commands.
// A link-time seam: the shipped shell links the definition that adds none
// (shell/extra_commands_none.cpp, taken from the core library only when the
// executable brings no definition of its own); the virtual-instrument shell
// links sim/'s, which adds the instrument's control command.
#pragma once

#include <tcl.h>

void RegisterExtraCommands(Tcl_Interp *interp);
