#include "sim/gadget_instrument.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "sim/instrument_sim_main_support.h"

namespace sim {

namespace {

const char kGadgetRoot[] = "/sys/kernel/config/usb_gadget";
const char kFunction[] = "functions/hid.instrument";
const char kConfig[] = "configs/c.1";
// The host needs about 1.5 s to enumerate a dummy_hcd device under
// emulation; a real PC needs less.
constexpr unsigned kConfigureTimeoutMs = 15000;
constexpr unsigned kUnplugTimeoutMs = 5000;

std::string systemError(const std::string &what) { return what + ": " + std::strerror(errno); }

bool writeFile(const std::string &path, const void *data, size_t size, std::string &error) {
  int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    error = systemError("cannot open " + path);
    return false;
  }
  ssize_t written = write(fd, data, size);
  bool ok = written == static_cast<ssize_t>(size);
  if (!ok) error = systemError("cannot write " + path);
  close(fd);
  return ok;
}

bool writeText(const std::string &path, const std::string &text, std::string &error) {
  return writeFile(path, text.data(), text.size(), error);
}

std::string readLine(const std::string &path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

bool makeDir(const std::string &path, std::string &error) {
  if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
  error = systemError("cannot create " + path);
  return false;
}

std::string firstUdc() {
  std::string name;
  DIR *dir = opendir("/sys/class/udc");
  if (dir == nullptr) return name;
  while (struct dirent *entry = readdir(dir)) {
    if (entry->d_name[0] != '.' && (name.empty() || name > entry->d_name)) name = entry->d_name;
  }
  closedir(dir);
  return name;
}

std::string hex4(unsigned value) {
  char text[8];
  snprintf(text, sizeof text, "0x%04x", value & 0xFFFFu);
  return text;
}

bool ourHostNode(const HidrawNode &node) {
  return UeventValue(node.hidUevent, "HID_ID") == "0003:000004D8:0000003F" &&
         UeventValue(node.hidUevent, "HID_UNIQ") == kSerialNumber &&
         node.sysfsPath.find("/dummy_hcd.") != std::string::npos;
}

}  // namespace

GadgetInstrument::~GadgetInstrument() { destroy(); }

bool GadgetInstrument::create(const std::string &udc, std::string &error) {
  if (access(kGadgetRoot, F_OK) != 0) {
    error = std::string("no ") + kGadgetRoot +
            ": load libcomposite and usb_f_hid and mount configfs on /sys/kernel/config";
    return false;
  }
  udc_ = udc.empty() ? firstUdc() : udc;
  if (udc_.empty()) {
    error = "no USB device controller in /sys/class/udc (load dummy_hcd, or use a board's device port)";
    return false;
  }
  dir_ = std::string(kGadgetRoot) + "/instrument-sim-" + std::to_string(getpid());
  const std::string function = dir_ + "/" + kFunction;
  const std::string config = dir_ + "/" + kConfig;
  bool ok = makeDir(dir_, error) && writeText(dir_ + "/idVendor", hex4(kVendorId), error) &&
            writeText(dir_ + "/idProduct", hex4(kProductId), error) &&
            writeText(dir_ + "/bcdDevice", hex4(kReleaseNumber), error) &&
            writeText(dir_ + "/bcdUSB", "0x0200", error) &&
            makeDir(dir_ + "/strings/0x409", error) &&
            writeText(dir_ + "/strings/0x409/manufacturer", kManufacturer, error) &&
            writeText(dir_ + "/strings/0x409/product", kProduct, error) &&
            writeText(dir_ + "/strings/0x409/serialnumber", kSerialNumber, error) &&
            makeDir(config, error) && makeDir(config + "/strings/0x409", error) &&
            writeText(config + "/strings/0x409/configuration", "instrument", error) &&
            writeText(config + "/MaxPower", "100", error) && makeDir(function, error) &&
            writeText(function + "/protocol", "0", error) &&
            writeText(function + "/subclass", "0", error) &&
            writeText(function + "/report_length", std::to_string(kReportSize), error) &&
            writeFile(function + "/report_desc", kReportDescriptor, kReportDescriptorSize, error);
  if (!ok) {
    destroy();
    return false;
  }
  if (symlink(function.c_str(), (config + "/hid.instrument").c_str()) != 0) {
    error = systemError("cannot add the HID function to " + config);
    destroy();
    return false;
  }
  linked_ = true;
  return true;
}

bool GadgetInstrument::hostIsLocal() const { return udc_.compare(0, 9, "dummy_udc") == 0; }

bool GadgetInstrument::plug(std::string &node, std::string &error) {
  if (plugged_) {
    node = node_;
    return true;
  }
  if (!writeText(dir_ + "/UDC", udc_, error)) return false;
  plugged_ = true;

  // "MAJOR:MINOR" of the gadget's character device gives its /dev name.
  const std::string numbers = readLine(dir_ + "/" + kFunction + "/dev");
  std::string hidg = UeventValue([&] {
    std::ifstream in("/sys/dev/char/" + numbers + "/uevent");
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }(), "DEVNAME");
  if (hidg.empty()) {
    error = "the HID function has no device node (dev \"" + numbers + "\")";
    return false;
  }
  hidg = "/dev/" + hidg;
  const uint64_t deadline = MonotonicMs() + kConfigureTimeoutMs;
  while ((fd_ = open(hidg.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) < 0) {
    if (MonotonicMs() >= deadline) {
      error = systemError("cannot open " + hidg);
      return false;
    }
    usleep(5000);
  }
  const std::string state = "/sys/class/udc/" + udc_ + "/state";
  while (readLine(state) != "configured") {
    if (MonotonicMs() >= deadline) {
      error = "the host did not configure the device (" + state + ": " + readLine(state) + ")";
      return false;
    }
    usleep(10000);
  }
  node_.clear();
  if (hostIsLocal()) {
    uint64_t now = MonotonicMs();
    unsigned left = now < deadline ? static_cast<unsigned>(deadline - now) : 0;
    if (!WaitForHidrawNode(ourHostNode, true, left, node_)) {
      error = "the host made no hidraw node for the device";
      return false;
    }
  }
  node = node_;
  return true;
}

bool GadgetInstrument::unplug(std::string &error) {
  if (!plugged_) return true;
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!writeText(dir_ + "/UDC", "\n", error)) return false;
  plugged_ = false;
  if (hostIsLocal() && !WaitForHidrawNode(ourHostNode, false, kUnplugTimeoutMs, node_)) {
    error = "the hidraw node " + node_ + " stayed after the device went";
    return false;
  }
  return true;
}

bool GadgetInstrument::receive(Report &report, std::string &error) {
  if (fd_ < 0) return false;
  uint8_t buffer[kReportSize];
  ssize_t got = read(fd_, buffer, sizeof buffer);
  if (got < 0) {
    if (errno == EAGAIN || errno == EINTR) return false;
    error = systemError("read from the HID gadget failed");
    return false;
  }
  report.fill(0);
  std::memcpy(report.data(), buffer, static_cast<size_t>(got));
  return got > 0;
}

bool GadgetInstrument::send(const Report &report, std::string &error) {
  error.clear();
  if (fd_ < 0) return true;  // an unplugged device's replies are lost
  ssize_t written = write(fd_, report.data(), report.size());
  if (written == static_cast<ssize_t>(report.size())) return true;
  if (written < 0 && (errno == EAGAIN || errno == EINTR)) return false;
  error = systemError("write to the HID gadget failed");
  return false;
}

void GadgetInstrument::destroy() {
  if (dir_.empty()) return;
  std::string ignored;
  if (plugged_) unplug(ignored);
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  const std::string config = dir_ + "/" + kConfig;
  if (linked_) unlink((config + "/hid.instrument").c_str());
  linked_ = false;
  rmdir((config + "/strings/0x409").c_str());
  rmdir(config.c_str());
  rmdir((dir_ + "/" + kFunction).c_str());
  rmdir((dir_ + "/strings/0x409").c_str());
  rmdir(dir_.c_str());
  dir_.clear();
}

}  // namespace sim
