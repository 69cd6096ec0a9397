#pragma once

// Splits a command-line text into an argument vector by the Windows quoting
// rules, as Tk's own Windows shell does. The pointer array (argc entries and
// a terminating null) and all argument texts live in one block from
// Tcl_Alloc that is never freed.
void SplitCommandLine(const char *commandLine, int *argcPtr, char ***argvPtr);
