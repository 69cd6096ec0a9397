// hidapi's functions over the virtual link: the instrument model behind an
// in-process fault table. Behaves as hidapi's hidraw backend does where the
// device code relies on it (see the comments at each function).
#include "sim/sim_hidapi.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

// hidapi's opaque handle, as this transport sees it.
struct hid_device_ {
  unsigned id;
  unsigned generation;   // the link's generation when opened
  bool nonBlocking;
  hid_device_info *info;  // built at open, freed at close
  std::wstring lastError;
};

namespace sim {

const char kInstrumentPath[] = "virtual/instrument";

namespace {

std::wstring globalError;

std::wstring widen(const char *text) { return std::wstring(text, text + std::strlen(text)); }

wchar_t *copyWide(const std::wstring &text) {
  wchar_t *copy = new wchar_t[text.size() + 1];
  std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

char *copyNarrow(const std::string &text) {
  char *copy = new char[text.size() + 1];
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

hid_device_info *newInfo(const std::string &path, uint16_t vendorId, uint16_t productId, uint16_t release,
                         int interfaceNumber, const std::optional<std::wstring> &serial,
                         const std::optional<std::wstring> &manufacturer,
                         const std::optional<std::wstring> &product) {
  hid_device_info *info = new hid_device_info{};
  info->path = copyNarrow(path);
  info->vendor_id = vendorId;
  info->product_id = productId;
  info->release_number = release;
  info->interface_number = interfaceNumber;
  info->serial_number = serial ? copyWide(*serial) : nullptr;
  info->manufacturer_string = manufacturer ? copyWide(*manufacturer) : nullptr;
  info->product_string = product ? copyWide(*product) : nullptr;
  info->usage_page = 0xFF00;
  info->usage = 1;
  info->bus_type = HID_API_BUS_USB;
  info->next = nullptr;
  return info;
}

hid_device_info *instrumentInfo() {
  return newInfo(kInstrumentPath, kVendorId, kProductId, kReleaseNumber, 0, widen(kSerialNumber),
                 widen(kManufacturer), widen(kProduct));
}

void freeInfo(hid_device_info *info) {
  delete[] info->path;
  delete[] info->serial_number;
  delete[] info->manufacturer_string;
  delete[] info->product_string;
  delete info;
}

// A handle whose instrument has been unplugged since it was opened is dead
// for good, as a hidraw file descriptor is.
bool alive(const hid_device *dev) {
  const VirtualLink &link = virtualLink();
  return dev != nullptr && link.attached && dev->generation == link.generation;
}

int fail(hid_device *dev, const wchar_t *message) {
  if (dev != nullptr) dev->lastError = message; else globalError = message;
  return -1;
}

int copyString(hid_device *dev, const wchar_t *value, wchar_t *string, size_t maxlen) {
  if (!alive(dev)) return fail(dev, L"No such device");
  if (string == nullptr || maxlen == 0) return fail(dev, L"Zero buffer/length");
  std::wcsncpy(string, value, maxlen);
  string[maxlen - 1] = 0;
  return 0;
}

hid_device *openInstrument() {
  VirtualLink &link = virtualLink();
  hid_device *dev = new hid_device_{link.nextHandleId++, link.generation, false, instrumentInfo(), {}};
  ++link.counters.opens;
  return dev;
}

}  // namespace

VirtualLink &virtualLink() {
  static VirtualLink link;
  return link;
}

void VirtualLink::detach() {
  if (!attached) return;
  attached = false;
  ++generation;
  instrument.dropQueuedReplies();
}

void VirtualLink::attach() {
  if (attached) return;
  attached = true;
  unsigned delay = instrument.replyDelay();
  bool wasSilent = instrument.silent();
  instrument.reset();
  instrument.setReplyDelay(delay);
  instrument.setSilent(wasSilent);
}

void VirtualLink::reset() {
  attached = true;
  initFails = false;
  writeFault = WriteFault::kNone;
  readFails = false;
  extraDevices.clear();
  lastWrite.clear();
  counters = LinkCounters{};
  instrument.reset();
}

unsigned handleId(const hid_device *handle) { return handle != nullptr ? handle->id : 0; }

bool handleNonBlocking(const hid_device *handle) { return handle != nullptr && handle->nonBlocking; }

}  // namespace sim

using sim::virtualLink;

extern "C" {

int HID_API_EXPORT_CALL hid_init(void) {
  if (virtualLink().initFails) {
    sim::globalError = L"hid_init: the virtual link is set to fail";
    return -1;
  }
  return 0;
}

int HID_API_EXPORT_CALL hid_exit(void) { return 0; }

// Every device whose IDs match (0 matches any), the instrument first.
struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                 unsigned short product_id) {
  if (hid_init() != 0) return nullptr;
  const sim::VirtualLink &link = virtualLink();
  hid_device_info *head = nullptr;
  hid_device_info **tail = &head;
  auto matches = [&](uint16_t v, uint16_t p) {
    return (vendor_id == 0 || vendor_id == v) && (product_id == 0 || product_id == p);
  };
  if (link.attached && matches(sim::kVendorId, sim::kProductId)) {
    *tail = sim::instrumentInfo();
    tail = &(*tail)->next;
  }
  for (const sim::ExtraDevice &d : link.extraDevices) {
    if (!matches(d.vendorId, d.productId)) continue;
    *tail = sim::newInfo(d.path, d.vendorId, d.productId, d.release, d.interfaceNumber, d.serial,
                         d.manufacturer, d.product);
    tail = &(*tail)->next;
  }
  return head;
}

void HID_API_EXPORT_CALL hid_free_enumeration(struct hid_device_info *devs) {
  while (devs != nullptr) {
    hid_device_info *next = devs->next;
    sim::freeInfo(devs);
    devs = next;
  }
}

// Opens the first device with the IDs (and serial number, when given); only
// the instrument can be opened. Initialises the library by itself.
HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t *serial_number) {
  if (hid_init() != 0) return nullptr;
  const sim::VirtualLink &link = virtualLink();
  if (!link.attached || vendor_id != sim::kVendorId || product_id != sim::kProductId) {
    sim::globalError = L"No HID devices with requested VID/PID found in the system.";
    return nullptr;
  }
  if (serial_number != nullptr && sim::widen(sim::kSerialNumber) != serial_number) {
    sim::globalError = L"No HID devices with requested VID/PID/SerialNumber found in the system.";
    return nullptr;
  }
  return sim::openInstrument();
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path) {
  if (hid_init() != 0) return nullptr;
  if (path == nullptr || !virtualLink().attached || std::strcmp(path, sim::kInstrumentPath) != 0) {
    sim::globalError = L"Failed to open a device with path";
    return nullptr;
  }
  return sim::openInstrument();
}

// data[0] is the report ID (the instrument uses none: 0); the rest goes to the
// instrument, padded to its 64-byte report.
int HID_API_EXPORT_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length) {
  sim::VirtualLink &link = virtualLink();
  if (!sim::alive(dev)) return sim::fail(dev, L"No such device");
  ++link.counters.writes;
  if (data == nullptr || length == 0) return sim::fail(dev, L"Zero buffer/length");
  link.lastWrite.assign(data, data + length);
  switch (link.writeFault) {
    case sim::WriteFault::kRefuse:
      return sim::fail(dev, L"write refused by the virtual link");
    case sim::WriteFault::kFailOnCompletion:
      return sim::fail(dev, L"hid_write/completion: the virtual link dropped the report");
    case sim::WriteFault::kNone:
      break;
  }
  link.instrument.receive(data + 1, std::min(length - 1, sim::kReportSize));
  return static_cast<int>(length);
}

// One read opportunity is one poll of the instrument. A blocking read (-1)
// polls until the oldest queued reply is due, and returns 0 when none is
// queued rather than waiting for ever in the interpreter's thread.
int HID_API_EXPORT_CALL hid_read_timeout(hid_device *dev, unsigned char *data, size_t length,
                                         int milliseconds) {
  sim::VirtualLink &link = virtualLink();
  if (!sim::alive(dev)) return sim::fail(dev, L"unexpected poll error (device disconnected)");
  ++link.counters.reads;
  if (link.readFails) return sim::fail(dev, L"read failed on the virtual link");
  if (data == nullptr) return sim::fail(dev, L"Zero buffer/length");
  sim::Report reply;
  bool got = false;
  if (milliseconds < 0) {
    while (!got && link.instrument.queuedReplies() > 0) got = link.instrument.poll(reply);
  } else {
    for (int i = 0; i <= milliseconds && !got; ++i) got = link.instrument.poll(reply);
  }
  if (!got) return 0;
  size_t n = std::min(length, sim::kReportSize);
  std::memcpy(data, reply.data(), n);
  return static_cast<int>(n);
}

int HID_API_EXPORT_CALL hid_read(hid_device *dev, unsigned char *data, size_t length) {
  return hid_read_timeout(dev, data, length, (dev != nullptr && dev->nonBlocking) ? 0 : -1);
}

int HID_API_EXPORT_CALL hid_set_nonblocking(hid_device *dev, int nonblock) {
  if (dev == nullptr) return -1;
  dev->nonBlocking = nonblock != 0;
  return 0;
}

// The instrument has no feature reports.
int HID_API_EXPORT_CALL hid_send_feature_report(hid_device *dev, const unsigned char *, size_t) {
  return sim::fail(dev, L"the instrument has no feature reports");
}

int HID_API_EXPORT_CALL hid_get_feature_report(hid_device *dev, unsigned char *, size_t) {
  return sim::fail(dev, L"the instrument has no feature reports");
}

void HID_API_EXPORT_CALL hid_close(hid_device *dev) {
  if (dev == nullptr) return;
  ++virtualLink().counters.closes;
  sim::freeInfo(dev->info);
  delete dev;
}

// Unlike hidraw, which answers from a cache once the strings were read, the
// queries fail on a dead handle, as on Windows: the probe then notices an unplug.
int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen) {
  return sim::copyString(dev, sim::widen(sim::kManufacturer).c_str(), string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen) {
  return sim::copyString(dev, sim::widen(sim::kProduct).c_str(), string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_serial_number_string(hid_device *dev, wchar_t *string, size_t maxlen) {
  return sim::copyString(dev, sim::widen(sim::kSerialNumber).c_str(), string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_indexed_string(hid_device *dev, int, wchar_t *, size_t) {
  return sim::fail(dev, L"hid_get_indexed_string: not supported by hidraw");
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_get_device_info(hid_device *dev) {
  if (dev == nullptr) return nullptr;
  return dev->info;
}

const wchar_t *HID_API_EXPORT_CALL hid_error(hid_device *dev) {
  const std::wstring &text = dev != nullptr ? dev->lastError : sim::globalError;
  return text.empty() ? L"Success" : text.c_str();
}

}  // extern "C"
