// The operating-system services fieldwish uses, behind one narrow interface.
// One source file per platform implements it (posix/platform_posix.cpp here);
// nothing outside platform/ includes an OS header for these services.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The process command line as one text, quoted by the Windows rules, program
// name first. On Windows it is the text the system keeps; elsewhere it is the
// process's argument vector joined so that SplitCommandLine gives it back exactly.
std::string commandLine();

// Writes the full path of the running executable, NUL-terminated, into buffer
// (size bytes). Returns its length, or 0 when it cannot be had or does not fit;
// the buffer then holds an empty text.
size_t modulePath(char *buffer, size_t size);

// Asks for a message queue of the given size. Where there is no such thing, nothing.
void requestMessageQueue(int messages);

// Sounds the warning (exclamation) beep, where there is one.
void beepExclamation();

// Shows a task-modal, foreground, stop-icon message box and waits for it to be
// dismissed. Where there are no boxes, "title: text" goes to standard error.
void showStopBox(const char *title, const char *text);

// Breaks into an attached debugger; returns at once when none is attached.
void breakIntoDebugger();

// Ends the process with the given status at once (no static destructors).
[[noreturn]] void exitProcess(int status);

// Sleeps the calling thread for about the given number of milliseconds.
void sleepMilliseconds(unsigned milliseconds);

}  // namespace platform
