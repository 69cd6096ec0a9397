#include "device/instrument_link.h"

#include <cstdarg>
#include <cstdio>

#include "device/device_handle.h"
#include "device/device_presence.h"
#include "device/report_descriptor.h"
#include "device/survey_report.h"
#include "platform/platform.h"

namespace device {

namespace {

// The manufacturer-string query may fill at most this many wide characters.
constexpr size_t kProbeBufferLength = 255;
constexpr size_t kDescriptorBufferSize = 4096;

// One line of the exchange trace, flushed at once so that it is seen in order
// even when standard output is a pipe.
void trace(const char *format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

// The held handle's write length, looked up once per handle: reading the
// report descriptor costs more than a whole exchange with a prompt reply.
// Negative while not yet known; forgotten whenever DeviceHandle changes.
int heldWriteLength = -1;

// Set when a write or a read on the held handle failed. Such a handle is not
// trusted again: on Windows an instrument plugged back in comes back under
// the same interface path, so the path answers for the new device while the
// handle still belongs to the old one, and hidapi's Windows backend answers
// the manufacturer string from its own copy.
bool heldHandleFailed = false;

}  // namespace

bool connectInstrument() noexcept {
  if (DeviceHandle == nullptr) {
    DeviceHandle = hid_open(kInstrumentVendorId, kInstrumentProductId, nullptr);
    heldWriteLength = -1;
    heldHandleFailed = false;
    return DeviceHandle != nullptr;
  }
  wchar_t probe[kProbeBufferLength];
  probe[0] = 0;
  if (heldHandleFailed || hid_get_manufacturer_string(DeviceHandle, probe, kProbeBufferLength) < 0 ||
      !deviceStillPresent(DeviceHandle)) {
    hid_device *dropped = DeviceHandle;
    DeviceHandle = nullptr;
    heldWriteLength = -1;
    hid_close(dropped);
    return false;
  }
  return true;
}

std::string surveyDevices() noexcept {
  if (hid_init() != 0) return kSurveyUnableToInitialize;
  std::string report;
  hid_device_info *devices = hid_enumerate(0, 0);
  for (const hid_device_info *d = devices; d != nullptr; d = d->next) appendSurveyDevice(report, *d);
  hid_free_enumeration(devices);
  hid_device *trial = hid_open(kInstrumentVendorId, kInstrumentProductId, nullptr);
  if (trial != nullptr) {
    report += kSurveyOpenedDevice;
    hid_close(trial);
  } else {
    report += kSurveyUnableToOpen;
  }
  return report;
}

int writeLength(hid_device *device) {
  const int kWrittenLength = static_cast<int>(kCommandReportSize);
  hid_device_info *info = hid_get_device_info(device);
  if (info == nullptr || info->path == nullptr) return kWrittenLength;
  size_t known = platform::hidOutputReportLength(info->path);
  if (known > 0 && known <= kExchangeBufferSize) return static_cast<int>(known);
  unsigned char descriptor[kDescriptorBufferSize];
  size_t size = platform::hidReportDescriptor(info->path, descriptor, sizeof descriptor);
  if (size == 0) return kWrittenLength;
  int length = outputReportLength(descriptor, size);
  return length > 0 ? length : kWrittenLength;
}

std::string exchangeCommand(ExchangeBuffer &buffer) noexcept {
  trace("sending command %c\n", buffer.bytes[1]);
  if (DeviceHandle == nullptr) {
    // Nothing to write to: the nearest answer the command already has.
    trace("device not found\n");
    return "Unable to write()";
  }
  if (heldWriteLength < 0) heldWriteLength = writeLength(DeviceHandle);
  trace("WriteFile length = %d\n", heldWriteLength);
  if (hid_write(DeviceHandle, buffer.bytes, kCommandReportSize) < 0) {
    // hid_write tells a failure by its result alone, not whether the report
    // was refused at once or failed on completion; a write that fails is
    // reported as refused.
    trace("WriteFile Error (1)\n");
    heldHandleFailed = true;
    return "Unable to write()";
  }
  hid_set_nonblocking(DeviceHandle, 1);
  int result = 0;
  int polls = 0;
  while (result == 0 && polls < kPollBudget) {
    result = hid_read(DeviceHandle, buffer.bytes, kExchangeBufferSize);
    if (result == 0) trace("Waiting...\n");
    if (result < 0) trace("Unable to read()\n");
    if (result > 0) break;
    platform::sleepMilliseconds(kPollPauseMilliseconds);
    ++polls;
  }
  if (result == 0) return nothingAfter(polls);
  if (result < 0) {
    heldHandleFailed = true;
    return "Unable to read.";
  }
  return formatReplyBytes(buffer.bytes, static_cast<size_t>(result));
}

}  // namespace device
