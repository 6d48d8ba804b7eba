// The sound card as a sink: SDL's audio thread takes the queued buffers in
// order and the card plays from the first write on, like a wave-out device.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "queued_sink.h"

namespace kvt::host {

struct SdlLibrary;

class WaveDevice final : public QueuedSink {
 public:
  WaveDevice() = default;
  ~WaveDevice() override { close(); }

  // Whether the default device can play `format`.
  static WaveResult query_card(const WaveFormat& format);
  // Why the card could not be opened the last time (empty after it opened).
  static std::string last_failure();
  // SDL, loaded on the first call; nullptr when it cannot be, the reason
  // then kept as the card's last failure.
  static const SdlLibrary* audio_library();

  WaveResult query(const WaveFormat& format) override { return query_card(format); }
  WaveResult open(const WaveFormat& format, DoneHandler on_done) override;
  WaveResult write(WaveBuffer& buffer) override;
  void reset() override;
  void close() override;
  bool is_open() const override { return device_ != 0; }

 private:
  static void audio_callback(void* self, std::uint8_t* stream, int length);

  std::uint32_t device_ = 0;
  std::atomic<bool> started_{false};
};

}  // namespace kvt::host
