// The script commands of the protection subsystem, and the process-wide
// cipher they share.
#pragma once

#include <tcl.h>

#include "crypt/script_cipher.h"

// The one cipher of the process: key base from static initialisation, keyed
// once at start-up, then only read.
extern ScriptCipher scriptCipher;

// crypt_source.cpp: evaluates a protected script file in the caller's scope.
int CryptSource(ClientData, Tcl_Interp *interp, int argc, const char *argv[]);
// text_commands.cpp: short texts as encrypted byte lists and back.
int EncryptText(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
int DecryptText(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
