// The wave-output device on SDL's disk driver, which writes what reaches
// the card into a file as fast as it can.
#include "wave_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "card_capture.h"
#include "host_fixture.h"

namespace kvt::host {
namespace {

using test::Bytes;

class WaveDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::use_disk_card(dir / "card.raw", 0);
  }

  // Waits until `count` notices have come.
  void wait_for(std::size_t count) {
    std::unique_lock<std::mutex> hold(lock);
    ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(10), [&] { return done.size() >= count; }));
  }

  WaveDevice::DoneHandler recorder() {
    return [this](WaveBuffer& b) {
      std::lock_guard<std::mutex> hold(lock);
      done.push_back(&b);
      changed.notify_all();
    };
  }

  test::ScratchDir dir;
  std::mutex lock;
  std::condition_variable changed;
  std::vector<WaveBuffer*> done;
};

TEST_F(WaveDeviceTest, BuffersReachTheCardInOrderAndComeBackOneByOne) {
  std::vector<Bytes> data;
  std::vector<WaveBuffer> buffers(3);
  for (int i = 0; i < 3; ++i) {
    data.push_back(Bytes(6000, static_cast<std::uint8_t>(0x11 * (i + 1))));
    buffers[i].data = data[i].data();
    buffers[i].length = data[i].size();
  }
  WaveDevice device;
  ASSERT_EQ(device.open({22050, 2}, recorder()), WaveResult::ok);
  for (WaveBuffer& b : buffers) {
    ASSERT_EQ(device.prepare(b), WaveResult::ok);
    ASSERT_EQ(device.write(b), WaveResult::ok);
  }
  wait_for(3);
  device.close();
  EXPECT_EQ(done, (std::vector<WaveBuffer*>{&buffers[0], &buffers[1], &buffers[2]}));
  for (const WaveBuffer& b : buffers) EXPECT_FALSE(b.queued);
  Bytes all;
  for (const Bytes& d : data) all.insert(all.end(), d.begin(), d.end());
  // The card may run dry between two writes, so silence may come between buffers.
  EXPECT_TRUE(test::plays_as(test::samples_of(test::read_file(dir / "card.raw")), test::samples_of(all), 2, 1500));
}

TEST_F(WaveDeviceTest, ResetHandsBackEveryQueuedBuffer) {
  Bytes big(1 << 22, 0x22);  // far more than the card takes at once
  std::vector<WaveBuffer> buffers(4, WaveBuffer{big.data(), big.size()});
  WaveDevice device;
  ASSERT_EQ(device.open({44100, 2}, recorder()), WaveResult::ok);
  for (WaveBuffer& b : buffers) {
    device.prepare(b);
    device.write(b);
  }
  device.reset();
  wait_for(4);
  device.wait_idle();
  EXPECT_EQ(done.size(), 4u);
  device.close();
}

TEST_F(WaveDeviceTest, OpeningTheCardTakesNoSignals) {
  WaveDevice device;
  ASSERT_EQ(device.open({22050, 2}, recorder()), WaveResult::ok);
  for (const int number : {SIGINT, SIGTERM}) {
    struct sigaction action {};
    sigaction(number, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << strsignal(number) << " belongs to the program";
  }
  device.close();
}

TEST_F(WaveDeviceTest, MisuseIsRefused) {
  Bytes one(16, 0);
  WaveBuffer b{one.data(), one.size()};
  WaveDevice device;
  EXPECT_EQ(device.write(b), WaveResult::bad_device) << "not open";
  EXPECT_EQ(WaveDevice::query({44100, 3}), WaveResult::bad_format);
  ASSERT_EQ(device.open({44100, 1}, recorder()), WaveResult::ok);
  EXPECT_EQ(device.open({44100, 1}, recorder()), WaveResult::allocated);
  EXPECT_EQ(device.write(b), WaveResult::error) << "not prepared";
  WaveBuffer empty;
  EXPECT_EQ(device.prepare(empty), WaveResult::error);
  device.close();
  device.close();
}

}  // namespace
}  // namespace kvt::host
