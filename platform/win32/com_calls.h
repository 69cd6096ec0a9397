// The COM library calls of the shell link writer (shell_link_win32.cpp),
// alone in com_calls_win32.cpp so that a test can link a recording stand-in
// in their place. Everything else the writer does goes through the link
// object's own interfaces.
#pragma once

#include <windows.h>
#include <shobjidl.h>

namespace platform {
namespace com {

// CoInitialize for the calling thread; its outcome is not examined.
void initialise();

// CoCreateInstance of CLSID_ShellLink, in process, for IShellLinkA. Returns
// its result; *link is the new object when the result is not negative.
HRESULT createShellLink(IShellLinkA **link);

// CoUninitialize; called once for each initialise.
void uninitialise();

}  // namespace com
}  // namespace platform
