// The operating-system services fieldwish uses, behind one narrow interface.
// One source file per platform implements it (posix/platform_posix.cpp here);
// nothing outside platform/ includes an OS header for these services.
#pragma once

#include <cstddef>
#include <string>

// The program's own entry, defined above this layer (shell/main.cpp): the
// platform's process entry (main, or WinMain) calls it with nothing of its
// own. Returns the process's exit status.
int FieldwishMain();

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

// ---- Files ----------------------------------------------------------------

// True when path names a regular file (a symbolic link is followed).
// Otherwise false with the reason in *reason: the system's, or "not a regular
// file" for a directory, FIFO, device or socket, whose reading may block or
// never end. Nothing is opened.
bool isRegularFile(const char *path, std::string *reason);

// Makes the size bytes at data the whole content of the file at path. They
// are written beside it under a temporary name, which is then renamed into
// place. True when the new file is in place; otherwise false with the reason
// in *reason, an earlier file at path exactly as it was and no temporary
// file left behind.
bool replaceFile(const char *path, const void *data, size_t size, std::string *reason);

// ---- Shell links ----------------------------------------------------------
// The shell's link object: on Windows the COM object made for IShellLinkA,
// with its IPersistFile; elsewhere an object of our own that writes the same
// MS-SHLLINK file. A caller uses the operations in this order:
// initialiseShellLinks, createShellLink, the five setters, shellLinkFile,
// widenLinkPath, saveShellLink, releaseShellLinkFile, releaseShellLink,
// uninitialiseShellLinks.

struct ShellLink;      // the link object
struct ShellLinkFile;  // its file persistence interface

// UTF-16 code units of a wide link path, terminating zero included.
const size_t kWideLinkPathUnits = 260;

// Prepares the calling thread to use link objects (CoInitialize). Its
// outcome is not reported: a failure shows as createShellLink failing.
void initialiseShellLinks();
// Undoes initialiseShellLinks; called once for each call of it.
void uninitialiseShellLinks();

// A new link object with every field empty and icon index 0, or null when
// none can be made.
ShellLink *createShellLink();
// The setters copy the texts, given in UTF-8 as Tcl hands them; their
// outcome is not reported.
void setShellLinkPath(ShellLink *link, const char *path);
void setShellLinkDescription(ShellLink *link, const char *description);
void setShellLinkWorkingDirectory(ShellLink *link, const char *directory);
void setShellLinkIconLocation(ShellLink *link, const char *iconPath, int iconIndex);
void setShellLinkArguments(ShellLink *link, const char *arguments);
// The link's persistence interface (one more reference to the object), or
// null when it has none.
ShellLinkFile *shellLinkFile(ShellLink *link);

// Converts a UTF-8 path, terminating zero included, into UTF-16 in wide
// (units code units at most). Returns the code units written, zero
// included, or 0 when the path is not valid UTF-8 or does not fit; wide then
// holds no usable path.
size_t widenLinkPath(const char *path, char16_t *wide, size_t units);

// Writes the link file at widePath with everything set so far. Returns true
// when the whole file is in place; otherwise false with the reason in
// *reason, and no file, not even part of one, is left at widePath (an
// earlier file there stays as it was).
bool saveShellLink(ShellLinkFile *file, const char16_t *widePath, std::string *reason);

// Give back a reference obtained from shellLinkFile or createShellLink.
void releaseShellLinkFile(ShellLinkFile *file);
void releaseShellLink(ShellLink *link);

// Reads the HID report descriptor of the device at devicePath (a device path
// as hidapi gives it) into buffer (size bytes). Returns the descriptor's
// length, or 0 when it cannot be had or does not fit (or, as on Windows, the
// system does not give it out).
size_t hidReportDescriptor(const char *devicePath, unsigned char *buffer, size_t size);

// The longest output report of the HID device at devicePath, report ID byte
// included, as the system's HID stack tells it without asking the device.
// Returns 0 when the system keeps no such figure (the caller then reads the
// report descriptor) or cannot be asked.
size_t hidOutputReportLength(const char *devicePath);

// What the operating system says of the HID device at devicePath (a device
// path as hidapi gives it), asked without sending anything to the device and
// without taking any of the input reports queued for its open handles.
enum class HidDeviceState {
  kPresent,  // the device is there
  kGone,     // the device has certainly gone
  kUnknown,  // the path is not one the system can be asked about, or it did not answer
};
HidDeviceState hidDeviceState(const char *devicePath);

}  // namespace platform
