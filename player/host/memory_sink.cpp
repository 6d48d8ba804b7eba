#include "memory_sink.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kvt::host {
namespace {

constexpr std::size_t kPeriodFrames = 512;
constexpr std::size_t kBytesPerSample = 2;

}  // namespace

void SinkRecording::append(const std::uint8_t* bytes, std::size_t length) {
  std::lock_guard<std::mutex> hold(lock_);
  const std::size_t count = length / kBytesPerSample;
  played_ += count;
  const std::size_t kept = std::min(count, kLimit - std::min(kLimit, samples_.size()));
  const std::size_t at = samples_.size();
  samples_.resize(at + kept);
  std::memcpy(samples_.data() + at, bytes, kept * kBytesPerSample);
}

std::vector<std::int16_t> SinkRecording::take() {
  std::lock_guard<std::mutex> hold(lock_);
  played_ = 0;
  return std::exchange(samples_, {});
}

std::size_t SinkRecording::samples() const {
  std::lock_guard<std::mutex> hold(lock_);
  return played_;
}

WaveResult MemorySink::query(const WaveFormat& format) {
  return format.channels < 1 || format.channels > 2 || format.rate <= 0 ? WaveResult::bad_format : WaveResult::ok;
}

WaveResult MemorySink::open(const WaveFormat& format, DoneHandler on_done) {
  if (is_open()) return WaveResult::allocated;
  if (const WaveResult r = query(format); r != WaveResult::ok) return r;
  set_done_handler(std::move(on_done));
  const std::chrono::duration<double> seconds(static_cast<double>(kPeriodFrames) / format.rate / speed_);
  const auto period = std::chrono::duration_cast<std::chrono::nanoseconds>(seconds);
  const std::size_t period_bytes = kPeriodFrames * static_cast<std::size_t>(format.channels) * kBytesPerSample;
  stopping_ = false;
  started_ = false;
  clock_ = std::thread(&MemorySink::clock_loop, this, period, period_bytes);
  open_ = true;
  return WaveResult::ok;
}

WaveResult MemorySink::write(WaveBuffer& buffer) {
  if (!is_open()) return WaveResult::bad_device;
  if (const WaveResult r = enqueue(buffer); r != WaveResult::ok) return r;
  std::lock_guard<std::mutex> hold(clock_lock_);
  started_ = true;
  return WaveResult::ok;
}

void MemorySink::reset() {
  std::lock_guard<std::mutex> hold(playing_);
  drain();
}

void MemorySink::close() {
  if (!open_.exchange(false)) return;
  reset();
  {
    std::lock_guard<std::mutex> hold(clock_lock_);
    stopping_ = true;
  }
  clock_stop_.notify_all();
  clock_.join();
}

// Plays one period at each tick of the clock once the first buffer came;
// after a late wake-up it catches up, as a card's clock would.
void MemorySink::clock_loop(std::chrono::nanoseconds period, std::size_t period_bytes) {
  std::vector<std::uint8_t> out(period_bytes);
  auto next = std::chrono::steady_clock::now();
  for (;;) {
    next += period;
    {
      std::unique_lock<std::mutex> hold(clock_lock_);
      if (clock_stop_.wait_until(hold, next, [this] { return stopping_; })) return;
      if (!started_) {
        next = std::chrono::steady_clock::now();
        continue;
      }
    }
    {
      std::lock_guard<std::mutex> hold(playing_);
      fill(out.data(), out.size());
    }
    recording_.append(out.data(), out.size());
  }
}

}  // namespace kvt::host
