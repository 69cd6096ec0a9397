// Process entry on Windows: the GUI entry point. The shell reads its command
// line from the platform layer (GetCommandLineA), so WinMain's own arguments
// are not passed on.
#include <windows.h>

#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return FieldwishMain(); }
