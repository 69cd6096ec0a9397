// The stop box of the shipped shell: a task-modal, foreground message box
// with the stop icon. It waits for the user; the test shells link
// stop_box_stderr.cpp in its place (the one test of the real box dismisses
// it from outside).
#include <windows.h>

#include "platform/platform.h"

namespace platform {

void showStopBox(const char *title, const char *text) {
  MessageBoxA(nullptr, text, title, MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace platform
