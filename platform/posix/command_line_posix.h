// How the POSIX platform layer turns an argument vector into one Windows-style
// command-line text; exposed for the round-trip tests.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Joins the arguments with blanks, quoting each one so that the Windows
// command-line rules give it back unchanged.
std::string joinCommandLine(const std::vector<std::string> &arguments);

}  // namespace platform
