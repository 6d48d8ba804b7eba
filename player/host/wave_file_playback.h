// Playing a WAVE file through the sound card: SDL decodes it into 16-bit
// PCM, which goes to the wave device in half-second buffers.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "kvt/player.h"
#include "notice.h"
#include "wave_device.h"

namespace kvt::host {

class WaveFilePlayback {
 public:
  // Plays through `sink`, the sound card unless told otherwise.
  explicit WaveFilePlayback(std::unique_ptr<AudioSink> sink = std::make_unique<WaveDevice>())
      : device_(std::move(sink)) {}
  ~WaveFilePlayback() { stop(); }
  WaveFilePlayback(const WaveFilePlayback&) = delete;
  WaveFilePlayback& operator=(const WaveFilePlayback&) = delete;

  // Stops what plays and starts the file under a new serial; 1 when it
  // cannot be played.
  int play(const char* path, const kvt_notify_target* notify);
  // Closes the device; a file still playing then gets its done notice.
  void stop();
  kvt_play_state state() const;

 private:
  bool decode(const char* path);
  void on_done();
  void notify_done();
  void close_device();

  std::unique_ptr<AudioSink> device_;
  Notice notice_;
  std::atomic<unsigned long> serial_{0};  // of the latest file, for the state
  WaveFormat format_{};
  std::vector<std::uint8_t> pcm_;
  std::vector<WaveBuffer> chunks_;
  std::atomic<std::size_t> chunks_done_{0};
  std::atomic<bool> playing_{false};  // until the last buffer is done or a stop
  std::mutex control_;
};

}  // namespace kvt::host
