// WriteShellLink: hands a link's values to the platform, which writes the
// link file at the link path. Knows nothing of Tcl.
#pragma once

#include <cstdint>

// Reports no failure to its caller. Prints "created link TARGET" when the
// link file was written, and "link PATH was not written: REASON" when a link
// object was made but the file could not be saved; prints nothing when no
// link object could be made.
void WriteShellLink(const char *linkPath, const char *objectPath, const char *description,
                    const char *workingDirectory, const char *iconPath, int32_t iconIndex, const char *arguments);
