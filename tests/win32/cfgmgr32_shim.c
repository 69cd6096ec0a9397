/* A test-only cfgmgr32.dll for running the Windows program's HID path under
 * Wine 8, whose cfgmgr32 lacks CM_Get_Device_Interface_PropertyW and answers
 * the interface-list calls with stubs, so that hidapi's Windows backend
 * cannot even start. Placed beside the executable and chosen with
 * WINEDLLOVERRIDES=cfgmgr32=n,b, it lists and describes the HID interfaces
 * through Wine's working SetupDi calls; the other calls hidapi resolves are
 * forwarded to setupapi (cfgmgr32_shim.def), as Wine's own cfgmgr32 does.
 * Never shipped: on Windows the system's cfgmgr32 serves. */
#include <windows.h>
#include <setupapi.h>

#include <string.h>

#define CR_SUCCESS 0x00
#define CR_FAILURE 0x13
#define CR_NO_SUCH_VALUE 0x25
#define CR_BUFFER_SMALL 0x1A
#define CR_INVALID_POINTER 0x03
/* DEVICE_ID_UNITS of cfgmgr32.h */
#define DEVICE_ID_UNITS 200

typedef DWORD CONFIGRET;

static const DEVPROPKEY kInstanceIdKey = {
    {0x78c34fc8, 0x104a, 0x4aca, {0x9e, 0xa4, 0x52, 0x4d, 0x52, 0x99, 0x6e, 0x57}}, 256};

/* Walks the present interfaces of a class; gives each one's path to visit,
 * which answers FALSE to stop. */
typedef BOOL (*InterfaceVisitor)(const WCHAR *path, void *context);

static CONFIGRET visitInterfaces(const GUID *interfaceClass, InterfaceVisitor visit, void *context) {
  HDEVINFO set = SetupDiGetClassDevsW(interfaceClass, NULL, NULL, DIGCF_DEVICEINTERFACE | DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return CR_FAILURE;
  SP_DEVICE_INTERFACE_DATA interfaceData;
  interfaceData.cbSize = sizeof interfaceData;
  for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, NULL, interfaceClass, i, &interfaceData); ++i) {
    union {
      SP_DEVICE_INTERFACE_DETAIL_DATA_W detail;
      BYTE bytes[sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) + MAX_PATH * 2 * sizeof(WCHAR)];
    } buffer;
    buffer.detail.cbSize = sizeof buffer.detail;
    if (!SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, &buffer.detail, sizeof buffer, NULL, NULL)) continue;
    if (!visit(buffer.detail.DevicePath, context)) break;
  }
  SetupDiDestroyDeviceInfoList(set);
  return CR_SUCCESS;
}

static BOOL countUnits(const WCHAR *path, void *context) {
  *(ULONG *)context += (ULONG)wcslen(path) + 1;
  return TRUE;
}

typedef struct {
  WCHAR *next;
  ULONG unitsLeft;
  BOOL tooSmall;
} ListState;

static BOOL copyPath(const WCHAR *path, void *context) {
  ListState *state = context;
  ULONG units = (ULONG)wcslen(path) + 1;
  if (units + 1 > state->unitsLeft) {
    state->tooSmall = TRUE;
    return FALSE;
  }
  memcpy(state->next, path, units * sizeof(WCHAR));
  state->next += units;
  state->unitsLeft -= units;
  return TRUE;
}

/* The size, in WCHARs, of the double-NUL-terminated list of present
 * interfaces of the class. */
__declspec(dllexport) CONFIGRET WINAPI CM_Get_Device_Interface_List_SizeW(PULONG units, LPGUID interfaceClass,
                                                                          WCHAR *deviceId, ULONG flags) {
  (void)deviceId;
  (void)flags;
  if (units == NULL) return CR_INVALID_POINTER;
  *units = 1;
  return visitInterfaces(interfaceClass, countUnits, units);
}

__declspec(dllexport) CONFIGRET WINAPI CM_Get_Device_Interface_ListW(LPGUID interfaceClass, WCHAR *deviceId,
                                                                     WCHAR *list, ULONG units, ULONG flags) {
  (void)deviceId;
  (void)flags;
  if (list == NULL || units == 0) return CR_INVALID_POINTER;
  ListState state = {list, units, FALSE};
  CONFIGRET result = visitInterfaces(interfaceClass, copyPath, &state);
  *state.next = 0;
  if (result == CR_SUCCESS && state.tooSmall) return CR_BUFFER_SMALL;
  return result;
}

/* Only the device instance ID of an interface, the one property hidapi
 * asks of an interface. */
__declspec(dllexport) CONFIGRET WINAPI CM_Get_Device_Interface_PropertyW(const WCHAR *interfacePath,
                                                                         const DEVPROPKEY *key, ULONG *type,
                                                                         BYTE *value, ULONG *size, ULONG flags) {
  (void)flags;
  if (key == NULL || type == NULL || size == NULL) return CR_INVALID_POINTER;
  if (memcmp(key, &kInstanceIdKey, sizeof *key) != 0) return CR_NO_SUCH_VALUE;
  HDEVINFO set = SetupDiCreateDeviceInfoList(NULL, NULL);
  if (set == INVALID_HANDLE_VALUE) return CR_FAILURE;
  CONFIGRET result = CR_NO_SUCH_VALUE;
  SP_DEVICE_INTERFACE_DATA interfaceData;
  interfaceData.cbSize = sizeof interfaceData;
  SP_DEVINFO_DATA device;
  device.cbSize = sizeof device;
  WCHAR id[DEVICE_ID_UNITS];
  if (SetupDiOpenDeviceInterfaceW(set, interfacePath, 0, &interfaceData) &&
      SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, NULL, 0, NULL, &device) == FALSE &&
      SetupDiGetDeviceInstanceIdW(set, &device, id, DEVICE_ID_UNITS, NULL)) {
    ULONG bytes = (ULONG)(wcslen(id) + 1) * sizeof(WCHAR);
    *type = DEVPROP_TYPE_STRING;
    if (value == NULL || *size < bytes) {
      result = CR_BUFFER_SMALL;
    } else {
      memcpy(value, id, bytes);
      result = CR_SUCCESS;
    }
    *size = bytes;
  }
  SetupDiDestroyDeviceInfoList(set);
  return result;
}
