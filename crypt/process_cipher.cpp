#include "crypt/crypt_commands.h"

ScriptCipher scriptCipher;
