// Output report length from a HID report descriptor: plain C++ on bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace device {

// The length in bytes of the longest output report that `descriptor` declares,
// with the report ID byte counted (one byte more than the report's data, as
// the HID layer counts it whether or not the device uses report IDs).
// Returns 0 when the descriptor declares no output report, and -1 when the
// length cannot be known: the descriptor is cut short or malformed, or a
// report is longer than an int counts bytes.
int outputReportLength(const uint8_t *descriptor, size_t size);

}  // namespace device
