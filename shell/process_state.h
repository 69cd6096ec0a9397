// The process-wide objects of the shell, constructed by static
// initialisation in this order: the cipher, then the mode argument.
#pragma once

#include "crypt/script_cipher.h"
#include "shell/text_buffer.h"

extern ScriptCipher scriptCipher;
extern TextBuffer ModeArgument;
