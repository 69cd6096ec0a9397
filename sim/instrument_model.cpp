#include "sim/instrument_model.h"

#include <algorithm>
#include <cstring>

namespace sim {

const char kManufacturer[] = "Fieldwish Instruments";
const char kProduct[] = "Virtual Field Instrument";
const char kSerialNumber[] = "VFI-000001";

namespace {

// Byte offsets of the reply layouts (sim/README.md shows the same tables).
constexpr size_t kIdentifyName = 8;
constexpr size_t kIdentifyNameSize = 32;
constexpr size_t kIdentifySerial = 40;
constexpr size_t kIdentifySerialSize = 16;
constexpr size_t kMeasureSequence = 2;
constexpr size_t kMeasureChannels = 6;

void putBigEndian16(Report &r, size_t at, uint16_t value) {
  r[at] = static_cast<uint8_t>(value >> 8);
  r[at + 1] = static_cast<uint8_t>(value);
}

void putBigEndian32(Report &r, size_t at, uint32_t value) {
  putBigEndian16(r, at, static_cast<uint16_t>(value >> 16));
  putBigEndian16(r, at + 2, static_cast<uint16_t>(value));
}

// Copies text into a zero-padded field; a text that does not fit is cut so
// that the field always ends with at least one zero byte.
void putText(Report &r, size_t at, size_t fieldSize, const char *text) {
  size_t n = std::min(std::strlen(text), fieldSize - 1);
  std::memcpy(r.data() + at, text, n);
}

}  // namespace

InstrumentModel::InstrumentModel() { reset(); }

void InstrumentModel::reset() {
  queue_.clear();
  lastReceived_.fill(0);
  replyDelay_ = 0;
  silent_ = false;
  output_ = 0;
  commandsReceived_ = 0;
  framesSent_ = 0;
  unknownCommands_ = 0;
}

int16_t InstrumentModel::channelValue(size_t channel, uint32_t sequence) {
  switch (channel) {
    case 0: return static_cast<int16_t>(2150 + 5 * (sequence % 20));    // temperature, 0.01 degC
    case 1: return static_cast<int16_t>(455 + sequence % 7);            // humidity, 0.1 %
    case 2: return static_cast<int16_t>(10132 - sequence % 10);         // pressure, 0.1 hPa
    case 3: return static_cast<int16_t>(-100 + 10 * (sequence % 21));   // offset, signed
    default: return 0;
  }
}

void InstrumentModel::receive(const uint8_t *report, size_t size) {
  Report command{};
  if (report != nullptr) std::memcpy(command.data(), report, std::min(size, kReportSize));
  lastReceived_ = command;
  ++commandsReceived_;
  Report reply = replyTo(command);
  if (!silent_) queue_.push_back(Pending{reply, replyDelay_});
}

Report InstrumentModel::replyTo(const Report &command) {
  Report reply{};
  switch (command[0]) {
    case kCommandIdentify:
      reply[0] = kCommandIdentify;
      reply[1] = kProtocolVersion;
      reply[2] = kFirmwareMajor;
      reply[3] = kFirmwareMinor;
      reply[4] = static_cast<uint8_t>(kChannelCount);
      putText(reply, kIdentifyName, kIdentifyNameSize, kProduct);
      putText(reply, kIdentifySerial, kIdentifySerialSize, kSerialNumber);
      break;
    case kCommandMeasure: {
      uint32_t sequence = framesSent_++;
      reply[0] = kCommandMeasure;
      reply[1] = static_cast<uint8_t>(kChannelCount);
      putBigEndian32(reply, kMeasureSequence, sequence);
      for (size_t c = 0; c < kChannelCount; ++c) {
        putBigEndian16(reply, kMeasureChannels + 2 * c,
                       static_cast<uint16_t>(channelValue(c, sequence)));
      }
      break;
    }
    case kCommandStatus:
      reply[0] = kCommandStatus;
      reply[1] = static_cast<uint8_t>((output_ != 0 ? kStatusOutputOn : 0) |
                                      (replyDelay_ != 0 ? kStatusReplyDelayed : 0));
      reply[2] = output_;
      putBigEndian32(reply, 3, framesSent_);
      putBigEndian32(reply, 7, commandsReceived_);
      reply[11] = unknownCommands_;
      break;
    case kCommandSetOutput:
      reply[0] = kCommandSetOutput;
      reply[1] = output_;
      output_ = command[1];
      reply[2] = output_;
      break;
    case kCommandEcho:
      reply = command;
      break;
    default:
      if (unknownCommands_ < 255) ++unknownCommands_;
      reply[0] = kReplyUnknown;
      reply[1] = command[0];
      break;
  }
  return reply;
}

bool InstrumentModel::takeDue(Report &reply) {
  if (queue_.empty() || queue_.front().delay != 0) return false;
  reply = queue_.front().reply;
  queue_.pop_front();
  return true;
}

void InstrumentModel::advance(unsigned polls) {
  if (queue_.empty()) return;
  unsigned &delay = queue_.front().delay;
  delay -= std::min(delay, polls);
}

bool InstrumentModel::poll(Report &reply) {
  if (takeDue(reply)) return true;
  advance(1);
  return false;
}

}  // namespace sim
