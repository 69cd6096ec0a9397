#pragma once

#include "shell/text_buffer.h"

// The first word after the program name, kept by the process entry for the
// boot choice; empty when there is none.
extern TextBuffer ModeArgument;
