// Process entry on POSIX: the shell reads its command line from the platform
// layer, as it does on Windows, so main's own arguments are not passed on.
// Only the shells have an entry, so Tk's hand-over lives here too.
#include <tk.h>

#include "platform/platform.h"

int main() { return FieldwishMain(); }

namespace platform {

void runTkMain(int argc, char **argv, int (*appInit)(Tcl_Interp *), Tcl_Interp *interp) {
  Tk_MainEx(argc, argv, appInit, interp);
}

}  // namespace platform
