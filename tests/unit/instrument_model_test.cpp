// The virtual instrument's protocol and reply timing.
#include "sim/instrument_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using sim::InstrumentModel;
using sim::Report;

Report command(uint8_t letter, std::initializer_list<uint8_t> data = {}) {
  Report r{};
  r[0] = letter;
  size_t i = 1;
  for (uint8_t b : data) r[i++] = b;
  return r;
}

// Sends one command and reads its reply at once.
Report sendAndRead(InstrumentModel &model, const Report &out) {
  model.receive(out.data(), out.size());
  Report in{};
  EXPECT_TRUE(model.poll(in));
  return in;
}

uint32_t bigEndian32(const Report &r, size_t at) {
  return (uint32_t(r[at]) << 24) | (uint32_t(r[at + 1]) << 16) | (uint32_t(r[at + 2]) << 8) | r[at + 3];
}

TEST(InstrumentProtocol, IdentifyNamesTheInstrument) {
  InstrumentModel model;
  Report in = sendAndRead(model, command('I'));
  EXPECT_EQ(in[0], 'I');
  EXPECT_EQ(in[1], sim::kProtocolVersion);
  EXPECT_EQ(in[2], 1);
  EXPECT_EQ(in[3], 2);
  EXPECT_EQ(in[4], 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(&in[8])), "Virtual Field Instrument");
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(&in[40])), "VFI-000001");
  EXPECT_EQ(in[63], 0);
}

TEST(InstrumentProtocol, FirstMeasurementFrameAsDocumented) {
  InstrumentModel model;
  const uint8_t first[] = {0x4d, 0x04, 0, 0, 0, 0, 0x08, 0x66, 0x01, 0xc7, 0x27, 0x94, 0xff, 0x9c, 0};
  EXPECT_EQ(0, std::memcmp(sendAndRead(model, command('M')).data(), first, sizeof first));
}

TEST(InstrumentProtocol, OutputIsSetAndReportedInStatus) {
  InstrumentModel model;
  Report in = sendAndRead(model, command('O', {0x7f}));
  EXPECT_EQ(in[0], 'O');
  EXPECT_EQ(in[1], 0);
  EXPECT_EQ(in[2], 0x7f);
  sendAndRead(model, command('M'));
  sendAndRead(model, command('Z'));
  in = sendAndRead(model, command('S'));
  EXPECT_EQ(in[0], 'S');
  EXPECT_EQ(in[1], sim::kStatusOutputOn);
  EXPECT_EQ(in[2], 0x7f);
  EXPECT_EQ(bigEndian32(in, 3), 1u);  // one frame
  EXPECT_EQ(bigEndian32(in, 7), 4u);  // O, M, Z and this S
  EXPECT_EQ(in[11], 1);               // Z
  in = sendAndRead(model, command('O', {0}));
  EXPECT_EQ(in[1], 0x7f);
  EXPECT_EQ(sendAndRead(model, command('S'))[1], 0);
}

TEST(InstrumentProtocol, EchoAndUnknownCommands) {
  InstrumentModel model;
  Report out{};
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(0xA0 + i);
  out[0] = 'E';
  EXPECT_EQ(sendAndRead(model, out), out);
  Report in = sendAndRead(model, command(0x81));
  EXPECT_EQ(in[0], '?');
  EXPECT_EQ(in[1], 0x81);
}

TEST(InstrumentProtocol, ShortReportIsZeroPadded) {
  InstrumentModel model;
  const uint8_t shortReport[] = {'E', 1, 2};
  model.receive(shortReport, sizeof shortReport);
  Report in{};
  ASSERT_TRUE(model.poll(in));
  EXPECT_EQ(in[2], 2);
  for (size_t i = 3; i < in.size(); ++i) EXPECT_EQ(in[i], 0) << i;
  EXPECT_EQ(model.lastReceived(), in);
}

// Replies after k polls and late replies in arrival order are checked through
// HidCommand in tests/tcl/hid_command.test.
TEST(InstrumentTiming, AdvanceAndTakeDueForTimeBasedTransports) {
  InstrumentModel model;
  model.setReplyDelay(10);
  Report out = command('M');
  model.receive(out.data(), out.size());
  Report in{};
  EXPECT_FALSE(model.takeDue(in));
  model.advance(9);
  EXPECT_FALSE(model.takeDue(in));
  model.advance(100);  // more than is left: no underflow
  EXPECT_TRUE(model.takeDue(in));
  EXPECT_EQ(in[0], 'M');
  model.advance(5);  // nothing queued: no effect
  EXPECT_FALSE(model.takeDue(in));
}

TEST(InstrumentBehaviour, SilentTakesCommandsButNeverReplies) {
  InstrumentModel model;
  model.setSilent(true);
  Report out = command('O', {9});
  model.receive(out.data(), out.size());
  Report in{};
  for (int i = 0; i < 300; ++i) ASSERT_FALSE(model.poll(in));
  EXPECT_EQ(model.output(), 9);
  model.setSilent(false);
  EXPECT_EQ(sendAndRead(model, command('S'))[2], 9);
}

TEST(InstrumentBehaviour, ResetAndDropRestoreAFreshInstrument) {
  InstrumentModel model;
  sendAndRead(model, command('O', {3}));
  model.setReplyDelay(4);
  Report out = command('M');
  model.receive(out.data(), out.size());
  model.dropQueuedReplies();
  EXPECT_EQ(model.queuedReplies(), 0u);
  model.reset();
  EXPECT_EQ(model.output(), 0);
  EXPECT_EQ(model.replyDelay(), 0u);
  EXPECT_EQ(model.commandsReceived(), 0u);
  EXPECT_EQ(model.lastReceived(), Report{});
  EXPECT_EQ(bigEndian32(sendAndRead(model, command('M')), 2), 0u);
}

}  // namespace
