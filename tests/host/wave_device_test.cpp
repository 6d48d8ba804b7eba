// Both sinks against the same expectations: the sound card on SDL's disk
// driver, which writes what reaches the card into a file as fast as it
// can, and the memory sink on its own clock.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "card_capture.h"
#include "host_fixture.h"
#include "memory_sink.h"
#include "wave_device.h"

namespace kvt::host {
namespace {

using test::Bytes;

struct SinkKind {
  const char* name;
  std::function<std::unique_ptr<AudioSink>(const test::ScratchDir&, SinkRecording&)> make;
  std::function<std::vector<std::int16_t>(const test::ScratchDir&, SinkRecording&)> played;
};

const SinkKind kCard{
    "Card",
    [](const test::ScratchDir& dir, SinkRecording&) -> std::unique_ptr<AudioSink> {
      test::use_disk_card(dir / "card.raw", 0);
      return std::make_unique<WaveDevice>();
    },
    [](const test::ScratchDir& dir, SinkRecording&) { return test::samples_of(test::read_file(dir / "card.raw")); }};

const SinkKind kMemory{
    "Memory",
    [](const test::ScratchDir&, SinkRecording& recording) -> std::unique_ptr<AudioSink> {
      return std::make_unique<MemorySink>(100.0, recording);
    },
    [](const test::ScratchDir&, SinkRecording& recording) { return recording.take(); }};

class AudioSinkTest : public ::testing::TestWithParam<SinkKind> {
 protected:
  AudioSinkTest() : sink(GetParam().make(dir, recording)) {}

  // Waits until `count` notices have come.
  void wait_for(std::size_t count) {
    std::unique_lock<std::mutex> hold(lock);
    ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(10), [&] { return done.size() >= count; }));
  }

  AudioSink::DoneHandler recorder() {
    return [this](WaveBuffer& b) {
      std::lock_guard<std::mutex> hold(lock);
      done.push_back(&b);
      changed.notify_all();
    };
  }

  // Buffers `0..count-1` over copies of `bytes`.
  void use_buffers(std::size_t count, const Bytes& bytes) {
    for (std::size_t i = 0; i < count; ++i) {
      data[i] = bytes;
      buffers[i].assign(data[i].data(), data[i].size());
    }
  }

  test::ScratchDir dir;
  SinkRecording recording;
  std::mutex lock;
  std::condition_variable changed;
  std::vector<WaveBuffer*> done;
  std::array<Bytes, 4> data;
  std::array<WaveBuffer, 4> buffers;
  // Last, so that it closes while what its notices touch is still there.
  std::unique_ptr<AudioSink> sink;
};

TEST_P(AudioSinkTest, BuffersPlayInOrderAndComeBackOneByOne) {
  for (std::size_t i = 0; i < 3; ++i) use_buffers(i + 1, Bytes(6000, static_cast<std::uint8_t>(0x11 * (i + 1))));
  ASSERT_EQ(sink->open({22050, 2}, recorder()), WaveResult::ok);
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(AudioSink::prepare(buffers[i]), WaveResult::ok);
    ASSERT_EQ(sink->write(buffers[i]), WaveResult::ok);
  }
  wait_for(3);
  sink->close();
  EXPECT_EQ(done, (std::vector<WaveBuffer*>{&buffers[0], &buffers[1], &buffers[2]}));
  for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(buffers[i].queued);
  Bytes all;
  for (std::size_t i = 0; i < 3; ++i) all.insert(all.end(), data[i].begin(), data[i].end());
  // The sink may run dry between two writes, so silence may come between buffers.
  EXPECT_TRUE(test::plays_as(GetParam().played(dir, recording), test::samples_of(all), 2, 1500));
}

TEST_P(AudioSinkTest, ABufferWrittenAgainAfterItsNoticePlaysAgain) {
  use_buffers(1, Bytes(4096, 0x33));
  AudioSink::prepare(buffers[0]);
  ASSERT_EQ(sink->open({44100, 1}, [&](WaveBuffer& back) {
    recorder()(back);
    std::lock_guard<std::mutex> hold(lock);
    if (done.size() < 5) sink->write(back);  // from the notice, as playback recycles its ring
  }), WaveResult::ok);
  ASSERT_EQ(sink->write(buffers[0]), WaveResult::ok);
  wait_for(5);
  sink->close();
  EXPECT_TRUE(test::plays_as(GetParam().played(dir, recording), test::samples_of(Bytes(5 * 4096, 0x33)), 1, 2048));
}

TEST_P(AudioSinkTest, ResetHandsBackEveryQueuedBuffer) {
  use_buffers(4, Bytes(1 << 22, 0x22));  // far more than the sink takes at once
  ASSERT_EQ(sink->open({44100, 2}, recorder()), WaveResult::ok);
  for (WaveBuffer& b : buffers) {
    AudioSink::prepare(b);
    sink->write(b);
  }
  sink->reset();
  wait_for(4);
  sink->wait_idle();
  EXPECT_EQ(done, (std::vector<WaveBuffer*>{&buffers[0], &buffers[1], &buffers[2], &buffers[3]}));
  sink->close();
}

TEST_P(AudioSinkTest, DiscardedNoticesFreeTheirBuffers) {
  use_buffers(3, Bytes(1 << 20, 0x22));
  ASSERT_EQ(sink->open({44100, 2}, recorder()), WaveResult::ok);
  for (std::size_t i = 0; i < 3; ++i) {
    AudioSink::prepare(buffers[i]);
    sink->write(buffers[i]);
  }
  sink->close();
  sink->discard_notices();
  sink->wait_idle();
  for (const WaveBuffer& b : buffers) EXPECT_FALSE(b.queued);
  // Every buffer is free again: it can be written to a new opening.
  ASSERT_EQ(sink->open({44100, 2}, recorder()), WaveResult::ok);
  EXPECT_EQ(sink->write(buffers[0]), WaveResult::ok);
  sink->close();
}

TEST_P(AudioSinkTest, MisuseIsRefused) {
  use_buffers(1, Bytes(16, 0));
  WaveBuffer& b = buffers[0];
  EXPECT_EQ(sink->write(b), WaveResult::bad_device) << "not open";
  EXPECT_EQ(sink->query({44100, 3}), WaveResult::bad_format);
  EXPECT_EQ(sink->query({0, 2}), WaveResult::bad_format);
  ASSERT_EQ(sink->open({44100, 1}, recorder()), WaveResult::ok);
  EXPECT_EQ(sink->open({44100, 1}, recorder()), WaveResult::allocated);
  EXPECT_EQ(sink->write(b), WaveResult::error) << "not prepared";
  EXPECT_EQ(AudioSink::prepare(buffers[1]), WaveResult::error) << "no samples";
  AudioSink::prepare(b);
  EXPECT_EQ(sink->write(b), WaveResult::ok);
  EXPECT_EQ(sink->write(b), WaveResult::error) << "queued twice";
  sink->close();
  sink->close();
  EXPECT_FALSE(sink->is_open());
}

INSTANTIATE_TEST_SUITE_P(Sinks, AudioSinkTest, ::testing::Values(kCard, kMemory),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WaveDeviceTest, OpeningTheCardTakesNoSignals) {
  test::ScratchDir dir;
  test::use_disk_card(dir / "card.raw", 0);
  WaveDevice device;
  ASSERT_EQ(device.open({22050, 2}, [](WaveBuffer&) {}), WaveResult::ok);
  for (const int number : {SIGINT, SIGTERM}) {
    struct sigaction action {};
    sigaction(number, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << strsignal(number) << " belongs to the program";
  }
  device.close();
}

}  // namespace
}  // namespace kvt::host
