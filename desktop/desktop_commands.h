// The script command of the desktop integration.
#pragma once

#include <tcl.h>

// create_link.cpp: writes one shell link (shortcut).
int CreateLink(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]);
