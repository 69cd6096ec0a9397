// The operating-system services fieldwish uses, behind one narrow interface.
// One source file per platform implements it (posix/platform_posix.cpp here);
// nothing outside platform/ includes an OS header for these services.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct Tcl_Interp;

// The program's own entry, defined above this layer (shell/main.cpp): the
// platform's process entry (main, or WinMain) calls it with nothing of its
// own. Returns the process's exit status.
int FieldwishMain();

namespace platform {

// Texts that name files, and the command line, are UTF-8 on every platform,
// as Tcl hands them and takes them (an ASCII text is the same bytes in the
// system's own code page).

// The process command line as one text, quoted by the Windows rules, program
// name first. On Windows it is the text the system keeps; elsewhere it is the
// process's argument vector joined so that SplitCommandLine gives it back exactly.
std::string commandLine();

// Writes the full path of the running executable, NUL-terminated, into buffer
// (size bytes). Returns its length, or 0 when it cannot be had or does not fit;
// the buffer then holds an empty text.
size_t modulePath(char *buffer, size_t size);

// Hands the argument vector to Tk's main procedure with appInit and interp
// (Tk_MainEx, in the form the platform's Tk takes for texts beyond ASCII).
// Returns only if Tk's main procedure does.
void runTkMain(int argc, char **argv, int (*appInit)(Tcl_Interp *), Tcl_Interp *interp);

// Opens the file at path as std::fopen does with mode; null when it cannot.
std::FILE *openFile(const char *path, const char *mode);

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

// ---- Clocks ----------------------------------------------------------------

// Microseconds since 1970-01-01 00:00 UTC by the system's clock, which a user
// or a time service may set back or forward at any moment.
long long wallClockMicroseconds();

// Microseconds since an unspecified start by a clock that nothing sets: it
// only goes forward, at the rate of time, and never jumps.
long long steadyClockMicroseconds();

// True where Tcl's notifier waits until a deadline on the wall clock (the
// unix notifier's condition wait) rather than for a length of time (the
// Windows notifier). Such a wait must be handed its deadline in wall-clock
// terms, and a clock set during it moves its end.
bool notifierWaitsForWallClock();

// A descriptor that becomes readable whenever the wall clock is set (a timerfd
// that the kernel cancels on a clock change), for the notifier to wake on;
// the caller owns it. -1 where waits do not need it (notifierWaitsForWallClock
// is false), or when it cannot be made: then with the system's reason in
// *reason.
int openClockSetWatch(std::string *reason);

// Takes a readable watch's news and arms it again for the next change.
void rearmClockSetWatch(int watch);

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

// What a shell link (shortcut) holds. The texts are UTF-8, as Tcl hands
// them; none is null.
struct ShellLinkFields {
  const char *targetPath;
  const char *description;
  const char *workingDirectory;
  const char *iconPath;
  int iconIndex;
  const char *arguments;
};

// UTF-16 code units of a link path, terminating zero included.
const size_t kWideLinkPathUnits = 260;

// Where writeShellLink stopped.
enum class ShellLinkStep {
  kWritten,          // nowhere: the link file is in place
  kNoLinkObject,     // no link object could be made; nothing was set or saved
  kNoFileInterface,  // the link object cannot be saved to a file
  kPathNotWide,      // linkPath is not valid UTF-8, or longer than kWideLinkPathUnits in UTF-16
  kSave,             // the file could not be written; *reason says why
};

// Writes the link file at linkPath (UTF-8) with every field set, empty texts
// included. On Windows this is the shell's own link object (COM is
// initialised for the call and uninitialised before it returns); elsewhere
// the same MS-SHLLINK file is written here. Returns kWritten when the whole
// file is in place. Otherwise returns the step that failed, with the reason
// in *reason for kSave, and no file, not even part of one, is left at
// linkPath (an earlier file there stays as it was).
ShellLinkStep writeShellLink(const ShellLinkFields &fields, const char *linkPath, std::string *reason);

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
