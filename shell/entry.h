#pragma once

// The shell's process entry: everything main (or WinMain) does. Returns 1 if
// Tk's main procedure ever comes back.
int FieldwishMain();
