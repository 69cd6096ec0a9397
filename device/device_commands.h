// The script commands of the instrument link.
#pragma once

#include <tcl.h>

// hid_survey.cpp, hid_connect.cpp, hid_command.cpp
int HidSurvey(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
int HidConnect(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
int HidCommand(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
