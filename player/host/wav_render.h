// The WAVE rendering worker: one pass for 16-bit output; for 8-bit output a
// first pass that measures the peak and a second that scales by it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "kvt/player.h"
#include "output_options.h"
#include "player_context.h"
#include "progress_mailbox.h"

namespace kvt::host {

inline constexpr int kWorkBufferSize = 16384;  // bytes; one block is 2048 frames
inline constexpr int kBlockFrames = 2048;

enum EndFlag : int { kRendering = 0, kCancelAsked = 1, kWorkerDone = 2 };

struct WavJob {
  // Takes the output settings, each outside its range counted as its default.
  WavJob(Player& player, const char* wav_path, std::uint32_t rate, const playstruct& settings,
         const OutputOptions& options);

  Player& player;  // loaded; the worker frees the song on every way out
  std::string wav_path;
  std::uint32_t rate;
  int rate_index;
  int channel;
  int effect_level;
  int fade;
  int loop;  // passes before the fade-out
  int bit;
  bool clean_end;
  std::unique_ptr<std::int16_t[]> buffer;  // kWorkBufferSize bytes
  std::atomic<int> end_flag{kRendering};
  int outcome = KVT_RENDER_NO_FILE;  // KVT_RENDER_..., set before the mailbox is done
  ProgressMailbox mailbox;
};

// The sample rate of an output rate index that WAVE output supports, or 0.
std::uint32_t wav_rate(int rate_index);

// The worker thread's body; sets end_flag to kWorkerDone when it ends.
void render_wav(WavJob& job);

}  // namespace kvt::host
