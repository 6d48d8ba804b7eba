// Where real-time audio goes: a sink plays 16-bit PCM buffers in the order
// they are written and hands each one back through a buffer-done notice
// once it has been played (or reset). Notices run one at a time on the
// sink's own notification thread, never on the thread that plays.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace kvt::host {

struct WaveFormat {
  int rate = 44100;
  int channels = 2;  // 16-bit samples, interleaved
};

enum class WaveResult { ok, bad_format, bad_device, allocated, no_memory, sync, error };

// One buffer of samples. It stays where it is while queued: the sink links
// it into its queues instead of copying it, so that playing allocates nothing.
struct WaveBuffer {
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;  // bytes
  bool prepared = false;
  std::atomic<bool> queued{false};  // from the write until its notice runs

  WaveBuffer() = default;
  WaveBuffer(const WaveBuffer&) = delete;
  WaveBuffer& operator=(const WaveBuffer&) = delete;
  void assign(const std::uint8_t* samples, std::size_t bytes) {
    data = samples;
    length = bytes;
    prepared = false;
  }

  // The sink's links, used only by the sink.
  WaveBuffer* next_written = nullptr;
  WaveBuffer* next_done = nullptr;
};

class AudioSink {
 public:
  using DoneHandler = std::function<void(WaveBuffer&)>;

  virtual ~AudioSink() = default;

  // Whether the sink can play `format` (nothing is opened).
  virtual WaveResult query(const WaveFormat& format) = 0;
  // Opens for `format`; every buffer played or reset from now on is handed
  // to `on_done` on the notification thread.
  virtual WaveResult open(const WaveFormat& format, DoneHandler on_done) = 0;
  // Queues after the buffers already queued; playing starts with the first.
  virtual WaveResult write(WaveBuffer& buffer) = 0;
  // Hands back every queued buffer; their notices still come.
  virtual void reset() = 0;
  virtual void close() = 0;  // resets first
  // While paused the sink plays silence and keeps its queue where it is.
  virtual void pause(bool paused) = 0;
  virtual bool is_open() const = 0;
  // Drops the notices not yet run, so that none arrives late.
  virtual void discard_notices() = 0;
  // Waits until no notice is waiting or running (not from a notice).
  virtual void wait_idle() = 0;
  virtual bool on_notification_thread() const = 0;

  static WaveResult prepare(WaveBuffer& buffer) {
    if (buffer.data == nullptr || buffer.length == 0) return WaveResult::error;
    buffer.prepared = true;
    return WaveResult::ok;
  }
  static void unprepare(WaveBuffer& buffer) { buffer.prepared = false; }
};

}  // namespace kvt::host
