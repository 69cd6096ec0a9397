#include "platform/win32/com_calls.h"

#include <objbase.h>
#include <shlobj.h>

namespace platform {
namespace com {

void initialise() { CoInitialize(nullptr); }

HRESULT createShellLink(IShellLinkA **link) {
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                          reinterpret_cast<void **>(link));
}

void uninitialise() { CoUninitialize(); }

}  // namespace com
}  // namespace platform
