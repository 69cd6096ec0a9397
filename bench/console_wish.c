/* console_wish SCRIPT ARG...: the least a shell must do that creates Tk's
 * console as fieldwish does: Tk_Main with an application initialisation of
 * Tcl_Init, Tk_Init and Tk_CreateConsoleWindow, nothing else. The start-up
 * benchmark runs the dashboard's plain modules in it, as the anchor that does
 * the shell's work without the shell's own code. */
#include <tk.h>

static int AppInit(Tcl_Interp *interp) {
  if (Tcl_Init(interp) == TCL_ERROR) return TCL_ERROR;
  if (Tk_Init(interp) == TCL_ERROR) return TCL_ERROR;
  Tcl_StaticPackage(interp, "Tk", Tk_Init, Tk_SafeInit);
  if (Tk_CreateConsoleWindow(interp) == TCL_ERROR) return TCL_ERROR;
  return TCL_OK;
}

int main(int argc, char **argv) {
  Tk_Main(argc, argv, AppInit);
  return 0;
}
