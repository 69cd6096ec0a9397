// Process entry on Windows: the GUI entry point. The shell reads its command
// line from the platform layer, so WinMain's own arguments are not passed on.
// Only the shells have an entry, so Tk's hand-over lives here too.
#include <windows.h>
#include <tk.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/utf8_win32.h"

// Tk's headers declare the wide main procedure only to UNICODE builds.
extern "C" __declspec(dllimport) void Tk_MainExW(int argc, wchar_t **argv, Tcl_AppInitProc *appInitProc,
                                                 Tcl_Interp *interp);

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return FieldwishMain(); }

namespace platform {

// Tk's narrow main procedure reads its texts in the ANSI code page, which
// holds no CJK at all; its wide one takes every path the system can name.
void runTkMain(int argc, char **argv, int (*appInit)(Tcl_Interp *), Tcl_Interp *interp) {
  std::vector<std::wstring> words;
  for (int i = 0; i < argc; ++i) words.push_back(fromUtf8(argv[i]));
  std::vector<wchar_t *> wideArgv;
  for (std::wstring &word : words) wideArgv.push_back(&word[0]);
  wideArgv.push_back(nullptr);
  Tk_MainExW(argc, wideArgv.data(), appInit, interp);
}

}  // namespace platform
