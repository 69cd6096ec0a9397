// The virtual field instrument: what the device does with a command report.
// Pure C++ (no hidapi, no Tcl, no clock): a transport hands it each 64-byte
// output report the host writes and asks it, once per host read opportunity,
// for the next 64-byte input report. sim/README.md documents the protocol.
//
// Time is counted in polls, not milliseconds: a transport that sees the host's
// reads (the in-process one) polls once per read; one that does not (uhid,
// USB gadget) decides what a poll is, e.g. one per millisecond.
//
// Not thread-safe: a transport that calls it from two threads holds a lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace sim {

// Every report of the instrument is 64 bytes; it uses no report IDs.
constexpr size_t kReportSize = 64;
using Report = std::array<uint8_t, kReportSize>;

// Identity as the HID layer shows it.
constexpr uint16_t kVendorId = 0x04D8;
constexpr uint16_t kProductId = 0x003F;
constexpr uint16_t kReleaseNumber = 0x0102;
extern const char kManufacturer[];   // "Fieldwish Instruments"
extern const char kProduct[];        // "Virtual Field Instrument"
extern const char kSerialNumber[];   // "VFI-000001"

// Command letters (the command byte of the report).
constexpr uint8_t kCommandIdentify = 'I';
constexpr uint8_t kCommandMeasure = 'M';
constexpr uint8_t kCommandStatus = 'S';
constexpr uint8_t kCommandSetOutput = 'O';
constexpr uint8_t kCommandEcho = 'E';
constexpr uint8_t kReplyUnknown = '?';

constexpr uint8_t kProtocolVersion = 1;
constexpr uint8_t kFirmwareMajor = 1;
constexpr uint8_t kFirmwareMinor = 2;
constexpr size_t kChannelCount = 4;

// Status flag bits (byte 1 of the status reply).
constexpr uint8_t kStatusOutputOn = 0x01;      // output value is not zero
constexpr uint8_t kStatusReplyDelayed = 0x02;  // replies currently wait for polls

class InstrumentModel {
 public:
  InstrumentModel();

  // The host wrote one output report: `size` bytes without the report ID
  // (at most kReportSize are taken; missing bytes count as zero, as the HID
  // layer pads a short report). Queues the reply unless the model is silent.
  void receive(const uint8_t *report, size_t size);

  // One host read opportunity: true and the reply in `reply` when the oldest
  // queued reply is due; otherwise false, and one poll of its delay passes.
  bool poll(Report &reply);

  // Time-based transports: lets `polls` polls of the oldest reply's delay
  // pass without reading; takeDue then gives the reply once its delay is over.
  void advance(unsigned polls);
  bool takeDue(Report &reply);

  // Replies to later commands wait this many empty polls before they are due
  // (0: due at once). A delay at or beyond the host's budget makes the reply
  // arrive only after the call has given up, so the next call receives it.
  void setReplyDelay(unsigned polls) { replyDelay_ = polls; }
  unsigned replyDelay() const { return replyDelay_; }

  // A silent instrument takes commands (they still change its state) but
  // never replies.
  void setSilent(bool silent) { silent_ = silent; }
  bool silent() const { return silent_; }

  // Replies queued and not yet read.
  size_t queuedReplies() const { return queue_.size(); }
  // Drops queued replies (an unplugged device loses them).
  void dropQueuedReplies() { queue_.clear(); }

  // The last output report received, zero-padded; all zero before the first.
  const Report &lastReceived() const { return lastReceived_; }
  uint32_t commandsReceived() const { return commandsReceived_; }
  uint32_t framesSent() const { return framesSent_; }
  uint8_t output() const { return output_; }

  // Back to the state of a freshly powered instrument (settings included).
  void reset();

  // The value of channel `channel` (0..kChannelCount-1) in measurement frame
  // number `sequence`; documented in sim/README.md so that scripts and tests
  // can check frames without a copy of this code.
  static int16_t channelValue(size_t channel, uint32_t sequence);

 private:
  struct Pending {
    Report reply;
    unsigned delay;  // empty polls still to pass before it is due
  };

  Report replyTo(const Report &command);

  std::deque<Pending> queue_;
  Report lastReceived_{};
  unsigned replyDelay_ = 0;
  bool silent_ = false;
  uint8_t output_ = 0;
  uint32_t commandsReceived_ = 0;
  uint32_t framesSent_ = 0;
  uint8_t unknownCommands_ = 0;
};

}  // namespace sim
