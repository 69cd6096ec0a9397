#include "sim/uhid_instrument.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <cstring>

#include "sim/instrument_sim_main_support.h"

namespace sim {

namespace {

// BUS_USB from linux/input.h, without pulling in the whole input API.
constexpr uint16_t kBusUsb = 0x03;
// Enumeration through the kernel takes well under a second, even emulated.
constexpr unsigned kPlugTimeoutMs = 10000;
constexpr unsigned kUnplugTimeoutMs = 5000;

void copyText(uint8_t *field, size_t size, const std::string &text) {
  std::memset(field, 0, size);
  std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

std::string systemError(const char *what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

UhidInstrument::~UhidInstrument() {
  // Closing /dev/uhid destroys a device still plugged.
  if (fd_ >= 0) close(fd_);
}

bool UhidInstrument::open(std::string &error) {
  fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    error = systemError("cannot open /dev/uhid");
    return false;
  }
  // One phys text per process tells this device's hidraw node from others'.
  phys_ = "instrument-sim/" + std::to_string(getpid());
  return true;
}

bool UhidInstrument::writeEvent(const void *event, size_t size, std::string &error) {
  ssize_t written;
  do {
    written = write(fd_, event, size);
  } while (written < 0 && errno == EINTR);
  if (written != static_cast<ssize_t>(size)) {
    error = systemError("write to /dev/uhid failed");
    return false;
  }
  return true;
}

bool UhidInstrument::plug(std::string &node, std::string &error) {
  if (plugged_) {
    node = node_;
    return true;
  }
  struct uhid_event event;
  std::memset(&event, 0, sizeof event);
  event.type = UHID_CREATE2;
  uhid_create2_req &create = event.u.create2;
  // The product text is what hidapi reports as the product; uhid has no
  // manufacturer field, so the host sees "" there.
  copyText(create.name, sizeof create.name, kProduct);
  copyText(create.phys, sizeof create.phys, phys_);
  copyText(create.uniq, sizeof create.uniq, kSerialNumber);
  create.rd_size = static_cast<uint16_t>(kReportDescriptorSize);
  std::memcpy(create.rd_data, kReportDescriptor, kReportDescriptorSize);
  create.bus = kBusUsb;
  create.vendor = kVendorId;
  create.product = kProductId;
  create.version = kReleaseNumber;
  if (!writeEvent(&event, sizeof event, error)) return false;
  plugged_ = true;
  const std::string phys = phys_;
  auto ours = [phys](const HidrawNode &n) { return UeventValue(n.hidUevent, "HID_PHYS") == phys; };
  if (!WaitForHidrawNode(ours, true, kPlugTimeoutMs, node_)) {
    error = "the host made no hidraw node for the device";
    return false;
  }
  node = node_;
  return true;
}

bool UhidInstrument::unplug(std::string &error) {
  if (!plugged_) return true;
  struct uhid_event event;
  std::memset(&event, 0, sizeof event);
  event.type = UHID_DESTROY;
  if (!writeEvent(&event, sizeof event, error)) return false;
  plugged_ = false;
  const std::string phys = phys_;
  auto ours = [phys](const HidrawNode &n) { return UeventValue(n.hidUevent, "HID_PHYS") == phys; };
  if (!WaitForHidrawNode(ours, false, kUnplugTimeoutMs, node_)) {
    error = "the hidraw node " + node_ + " stayed after the device went";
    return false;
  }
  return true;
}

bool UhidInstrument::receive(Report &report, std::string &error) {
  struct uhid_event event;
  ssize_t got = read(fd_, &event, sizeof event);
  if (got < 0) {
    if (errno == EAGAIN || errno == EINTR) return false;
    error = systemError("read from /dev/uhid failed");
    return false;
  }
  switch (event.type) {
    case UHID_OUTPUT: {
      // The host's write arrives whole, report ID first (0: none used).
      const uhid_output_req &output = event.u.output;
      if (output.rtype != UHID_OUTPUT_REPORT) return false;
      size_t size = std::min<size_t>(output.size, sizeof output.data);
      const uint8_t *data = output.data;
      if (size > 0) {
        ++data;
        --size;
      }
      report.fill(0);
      std::memcpy(report.data(), data, std::min(size, kReportSize));
      return true;
    }
    case UHID_GET_REPORT: {
      // The instrument has no feature reports.
      struct uhid_event answer;
      std::memset(&answer, 0, sizeof answer);
      answer.type = UHID_GET_REPORT_REPLY;
      answer.u.get_report_reply.id = event.u.get_report.id;
      answer.u.get_report_reply.err = EIO;
      writeEvent(&answer, sizeof answer, error);
      return false;
    }
    case UHID_SET_REPORT: {
      struct uhid_event answer;
      std::memset(&answer, 0, sizeof answer);
      answer.type = UHID_SET_REPORT_REPLY;
      answer.u.set_report_reply.id = event.u.set_report.id;
      answer.u.set_report_reply.err = EIO;
      writeEvent(&answer, sizeof answer, error);
      return false;
    }
    default:
      // START, STOP, OPEN, CLOSE: nothing to do.
      return false;
  }
}

bool UhidInstrument::send(const Report &report, std::string &error) {
  if (!plugged_) return true;  // an unplugged device's replies are lost
  struct uhid_event event;
  std::memset(&event, 0, sizeof event);
  event.type = UHID_INPUT2;
  event.u.input2.size = static_cast<uint16_t>(kReportSize);
  std::memcpy(event.u.input2.data, report.data(), kReportSize);
  return writeEvent(&event, sizeof event, error);
}

}  // namespace sim
