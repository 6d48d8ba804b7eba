// The wave-output device: 16-bit PCM buffers queued in order on the sound
// card, each handed back through a buffer-done notice once the card has
// taken it. Notices run one at a time on the device's own notification
// thread, never on the audio thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kvt::host {

struct WaveFormat {
  int rate = 44100;
  int channels = 2;  // 16-bit samples, interleaved
};

enum class WaveResult { ok, bad_format, bad_device, allocated, no_memory, sync, error };

struct WaveBuffer {
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;  // bytes
  bool prepared = false;
  bool queued = false;
};

class WaveDevice {
 public:
  using DoneHandler = std::function<void(WaveBuffer&)>;

  WaveDevice();
  ~WaveDevice();
  WaveDevice(const WaveDevice&) = delete;
  WaveDevice& operator=(const WaveDevice&) = delete;

  // Whether the default device can play `format` (nothing is opened).
  static WaveResult query(const WaveFormat& format);
  // Why the card could not be opened the last time (empty after it opened).
  static std::string last_failure();

  WaveResult open(const WaveFormat& format, DoneHandler on_done);
  WaveResult prepare(WaveBuffer& buffer);
  WaveResult write(WaveBuffer& buffer);  // queues after the buffers already queued
  // Hands back every queued buffer; their notices still come.
  void reset();
  // Drops the notices not yet run, so that none arrives late.
  void discard_notices();
  // Waits until no notice is waiting or running (not from a notice).
  void wait_idle();
  bool on_notification_thread() const { return std::this_thread::get_id() == notifier_.get_id(); }
  void unprepare(WaveBuffer& buffer);
  void close();
  bool is_open() const { return device_ != 0; }

 private:
  static void audio_callback(void* self, std::uint8_t* stream, int length);
  void fill(std::uint8_t* stream, std::size_t length);
  void notify(WaveBuffer* buffer);
  void notification_loop();

  std::uint32_t device_ = 0;
  std::atomic<bool> started_{false};  // the card plays from the first write on, like a wave-out device
  DoneHandler on_done_;

  // Filled by write, drained by the audio thread (under the device lock).
  std::deque<WaveBuffer*> queue_;
  std::size_t played_ = 0;  // bytes of the front buffer already taken

  std::mutex notices_lock_;
  std::condition_variable notices_ready_;
  std::condition_variable notices_done_;
  std::deque<WaveBuffer*> notices_;
  int notices_running_ = 0;
  bool quit_ = false;
  std::thread notifier_;
};

}  // namespace kvt::host
