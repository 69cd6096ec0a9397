// The eight script commands, in registration order. Each lives with its
// subsystem; AppInit registers them under names revealed at start-up.
#pragma once

#include <tcl.h>

// crypt/crypt_source.cpp
int CryptSource(ClientData, Tcl_Interp *interp, int argc, const char *argv[]);
// shell/shell_probe.cpp
int ShellProbe(ClientData, Tcl_Interp *interp, int argc, const char *argv[]);
// desktop/create_link.cpp
int CreateLink(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
// crypt/text_commands.cpp
int DecryptText(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
int EncryptText(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
// device/hid_survey.cpp, device/hid_connect.cpp, device/hid_command.cpp
int HidSurvey(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
int HidConnect(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
int HidCommand(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);

// Answer of a command whose subsystem is not built yet: an error naming the
// command as it was called.
int CommandNotAvailable(Tcl_Interp *interp, Tcl_Obj *const objv[]);
