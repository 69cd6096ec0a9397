#include "sim/instrument_sim_main_support.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace sim {

const uint8_t kReportDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor Defined 0xFF00)
    0x09, 0x01,        // Usage (0x01)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (0x01)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (0x01)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};
const size_t kReportDescriptorSize = sizeof kReportDescriptor;

namespace {

struct VerbName {
  const char *name;
  ControlRequest::Verb verb;
  bool takesNumber;
};

const VerbName kVerbs[] = {
    {"unplug", ControlRequest::kUnplug, false}, {"plug", ControlRequest::kPlug, false},
    {"silent", ControlRequest::kSilent, false}, {"delay", ControlRequest::kDelay, true},
    {"hold", ControlRequest::kHold, false},     {"release", ControlRequest::kRelease, false},
    {"normal", ControlRequest::kNormal, false}, {"reset", ControlRequest::kReset, false},
    {"status", ControlRequest::kStatus, false}, {"last", ControlRequest::kLast, false},
    {"quit", ControlRequest::kQuit, false},
};

// The longest delay accepted: one hour.
constexpr unsigned long kMaxDelayMs = 3600UL * 1000UL;

bool readText(const std::string &path, std::string &text) {
  std::ifstream in(path);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

bool fileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace

ControlRequest ParseControlLine(const std::string &line) {
  ControlRequest request;
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  if (words.empty() || words[0][0] == '#') {
    request.verb = ControlRequest::kEmpty;
    return request;
  }
  const VerbName *found = nullptr;
  for (const VerbName &v : kVerbs) {
    if (words[0] == v.name) found = &v;
  }
  if (found == nullptr) {
    request.error = "unknown command \"" + words[0] + "\"";
    return request;
  }
  if (found->verb == ControlRequest::kSilent) {
    // "silent" alone switches it on; "silent on|off|1|0" says which.
    if (words.size() > 2) {
      request.error = "usage: silent ?on|off?";
      return request;
    }
    if (words.size() == 1 || words[1] == "on" || words[1] == "1") {
      request.argument = 1;
    } else if (words[1] == "off" || words[1] == "0") {
      request.argument = 0;
    } else {
      request.error = "expected on or off but got \"" + words[1] + "\"";
      return request;
    }
    request.verb = found->verb;
    return request;
  }
  if (found->takesNumber) {
    if (words.size() != 2) {
      request.error = std::string("usage: ") + found->name + " milliseconds";
      return request;
    }
    const std::string &text = words[1];
    char *end = nullptr;
    unsigned long value = text[0] == '-' ? 0 : strtoul(text.c_str(), &end, 10);
    if (end == nullptr || end == text.c_str() || *end != '\0' || value > kMaxDelayMs) {
      request.error = "expected milliseconds from 0 to 3600000 but got \"" + text + "\"";
      return request;
    }
    request.argument = value;
  } else if (words.size() != 1) {
    request.error = std::string("usage: ") + found->name;
    return request;
  }
  request.verb = found->verb;
  return request;
}

std::string HexBytes(const uint8_t *bytes, size_t count) {
  std::string text;
  text.reserve(count * 3);
  char piece[4];
  for (size_t i = 0; i < count; ++i) {
    snprintf(piece, sizeof piece, "%02x", bytes[i]);
    if (i != 0) text += ' ';
    text += piece;
  }
  return text;
}

std::string UeventValue(const std::string &uevent, const std::string &key) {
  std::istringstream in(uevent);
  const std::string prefix = key + "=";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
  }
  return "";
}

std::string FindHidrawNode(const std::string &sysfsRoot,
                           const std::function<bool(const HidrawNode &)> &match) {
  const std::string classDir = sysfsRoot + "/class/hidraw";
  DIR *dir = opendir(classDir.c_str());
  if (dir == nullptr) return "";
  std::string found;
  while (struct dirent *entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    HidrawNode node;
    node.name = entry->d_name;
    char resolved[PATH_MAX];
    if (realpath((classDir + "/" + node.name).c_str(), resolved) == nullptr) continue;
    node.sysfsPath = resolved;
    // hidrawN sits in <hid device>/hidraw/hidrawN.
    if (!readText(node.sysfsPath + "/../../uevent", node.hidUevent)) continue;
    if (match(node)) {
      found = "/dev/" + node.name;
      break;
    }
  }
  closedir(dir);
  return found;
}

bool WaitForHidrawNode(const std::function<bool(const HidrawNode &)> &match, bool present,
                       unsigned timeoutMs, std::string &devNode) {
  const uint64_t deadline = MonotonicMs() + timeoutMs;
  std::string lastSeen = devNode;
  for (;;) {
    std::string node = FindHidrawNode("/sys", match);
    if (present && !node.empty() && fileExists(node)) {
      devNode = node;
      return true;
    }
    if (!node.empty()) lastSeen = node;
    if (!present && node.empty() && (lastSeen.empty() || !fileExists(lastSeen))) {
      devNode.clear();
      return true;
    }
    if (MonotonicMs() >= deadline) return false;
    usleep(5000);
  }
}

uint64_t MonotonicMs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace sim
