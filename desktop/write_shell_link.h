// WriteShellLink: hands a link's values to the platform's shell-link object
// and saves it at the link path. Knows nothing of Tcl.
#pragma once

#include <cstdint>

// Reports no failure to its caller. Prints "created link TARGET" when the
// link file was written, and "link PATH was not written: REASON" when the
// object was made but the file could not be saved; prints nothing when no
// link object could be made. Expects the caller to have initialised the
// platform's shell links (and to uninitialise them afterwards).
void WriteShellLink(const char *linkPath, const char *objectPath, const char *description,
                    const char *workingDirectory, const char *iconPath, int32_t iconIndex, const char *arguments);
