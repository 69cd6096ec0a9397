// The instrument's command report and the texts of an exchange: plain C++,
// no Tcl and no HID library, so that every rule can be tested on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace device {

// The instrument's identity: the first HID device with these IDs.
constexpr uint16_t kInstrumentVendorId = 0x04D8;
constexpr uint16_t kInstrumentProductId = 0x003F;

// A command report is 65 bytes: report ID 0, the command byte, 63 data bytes.
constexpr size_t kCommandReportSize = 65;
constexpr size_t kMaxDataBytes = kCommandReportSize - 2;
// One buffer per exchange: the report is built at its start and the reply is
// read over it; at most this many reply bytes fit.
constexpr size_t kExchangeBufferSize = 256;
// The wait for a reply is a count of empty reads, each followed by 1 ms.
constexpr int kPollBudget = 250;
constexpr unsigned kPollPauseMilliseconds = 1;

struct ExchangeBuffer {
  uint8_t bytes[kExchangeBufferSize];
};

// The command word as "%d " scans it (support/decimal_scan.h), low eight
// bits kept; a word that does not scan gives 0.
uint8_t scanCommandByte(const char *word);

// A data word as "%02hhx" scans it: white space skipped, then at most two
// characters, a sign counting as one; anything after is ignored. A word that
// does not scan gives 0.
uint8_t scanDataByte(const char *word);

// Fills the start of `buffer` with a command report: byte 0 the report ID 0,
// byte 1 the command byte, bytes 2.. the data words (at most kMaxDataBytes are
// taken; further words are ignored); every other byte of the buffer is 0.
void buildCommandReport(const char *commandWord, const char *const *dataWords, size_t dataCount,
                        ExchangeBuffer &buffer);

// The answer to a reply: each byte as two lower-case hex digits and a blank,
// the last byte included. At most kExchangeBufferSize bytes are formatted.
std::string formatReplyBytes(const uint8_t *bytes, size_t count);

// The "Got Nothing after %d." answer.
std::string nothingAfter(int polls);

}  // namespace device
