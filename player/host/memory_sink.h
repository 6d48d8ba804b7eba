// A sink without a sound card: a clock of its own plays the queued buffers
// into memory at a chosen multiple of real time, in the card's periods of
// 512 frames, with silence where nothing is queued. Playback runs through
// it exactly as through the card, only faster, and what it played can be
// compared sample by sample.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "queued_sink.h"

namespace kvt::host {

// What memory sinks played, kept by whoever looks at it; sinks opened one
// after another append to it.
class SinkRecording {
 public:
  void append(const std::uint8_t* bytes, std::size_t length);
  // The 16-bit samples played since the last take.
  std::vector<std::int16_t> take();
  std::size_t samples() const;  // played since the last take

 private:
  static constexpr std::size_t kLimit = std::size_t{1} << 24;  // samples kept; a looping song plays on

  mutable std::mutex lock_;
  std::vector<std::int16_t> samples_;
  std::size_t played_ = 0;
};

class MemorySink final : public QueuedSink {
 public:
  MemorySink(double speed, SinkRecording& recording) : speed_(speed), recording_(recording) {}
  ~MemorySink() override { close(); }

  WaveResult query(const WaveFormat& format) override;
  WaveResult open(const WaveFormat& format, DoneHandler on_done) override;
  WaveResult write(WaveBuffer& buffer) override;
  void reset() override;
  void close() override;
  bool is_open() const override { return open_; }

 private:
  void clock_loop(std::chrono::nanoseconds period, std::size_t period_bytes);

  const double speed_;
  SinkRecording& recording_;
  std::mutex playing_;  // the clock's side of the queue, held by reset
  std::mutex clock_lock_;
  std::condition_variable clock_stop_;
  bool stopping_ = false;
  bool started_ = false;  // under clock_lock_: the first write came
  std::atomic<bool> open_{false};
  std::thread clock_;
};

}  // namespace kvt::host
