// Straight runs of the effect stage: a chorus tap over frames where neither
// its read nor its write position wraps and its sweep does not move, a
// stretch of the reverb line, and folding the effect bus into the dry mix.
// Each instruction set has its own kernels; the loops here are the
// reference and, compiled for each set, also serve the reverb and the fold.
#pragma once

#include <algorithm>
#include <cstdint>

#include "isa.h"

namespace kvt::driver {

struct TapRun {
  std::int16_t* ring;
  std::int16_t* frames;  // interleaved stereo, mixed into
  std::uint32_t at;      // 24.8 read position in the ring
  std::uint32_t speed;   // 8.8 ring positions per frame
  std::uint32_t write;   // where the first frame feeds the ring
  std::int32_t gain;
  std::int32_t feedback;
  std::uint32_t masks;  // the left phase mask in the low word, the right in the high
};

// Frames [0, frames) of a run.
using TapKernel = void (*)(const TapRun& run, std::uint32_t frames);
// `samples` samples of the reverb line from its current position.
using ReverbKernel = void (*)(std::int16_t* mix, std::int16_t* line, std::uint32_t samples, std::int32_t level,
                              std::int32_t feedback, std::int32_t& previous);
using FoldKernel = void (*)(std::int16_t* dry, const std::int16_t* bus, std::uint32_t samples);

struct EffectKernels {
  TapKernel tap;       // taps that only read the ring
  TapKernel feed_tap;  // the tap that also feeds it
  ReverbKernel reverb;
  FoldKernel fold;
};

const EffectKernels& scalar_effect_kernels() noexcept;
const EffectKernels& avx2_effect_kernels() noexcept;
const EffectKernels& avx512_effect_kernels() noexcept;
const EffectKernels& effect_kernels(Isa isa) noexcept;

namespace scalar {

inline std::int16_t wrap16(std::int32_t v) { return static_cast<std::int16_t>(v); }

// Frames [first, end) of a tap run.
template <bool FeedsRing>
void tap_frames(const TapRun& t, std::uint32_t first, std::uint32_t end) {
  const auto left_mask = static_cast<std::uint16_t>(t.masks);
  const auto right_mask = static_cast<std::uint16_t>(t.masks >> 16);
  std::uint32_t at = t.at + first * t.speed;
  for (std::uint32_t n = first; n < end; ++n, at += t.speed) {
    std::int16_t* frame = t.frames + 2 * n;
    const std::uint32_t read = at >> 8;
    const std::int32_t a = t.ring[read];
    const std::int32_t v = a + (((t.ring[read + 1] - a) * static_cast<std::int32_t>(at & 0xFFu)) >> 8);
    if constexpr (FeedsRing) t.ring[t.write + n] = wrap16((frame[0] >> 1) + (frame[1] >> 1) + ((v * t.feedback) >> 8));
    const auto out = static_cast<std::uint16_t>((v * t.gain) >> 8);
    frame[0] = wrap16(frame[0] + static_cast<std::int16_t>(out ^ left_mask));
    frame[1] = wrap16(frame[1] + static_cast<std::int16_t>(out ^ right_mask));
  }
}

// Whether frames [first, first + lanes) of the tap that feeds the ring read
// a ring sample that those same frames write: done a step at a time, such
// frames would read it before it is written, so they keep the scalar order.
inline bool reads_meet_writes(const TapRun& t, std::uint32_t first, std::uint32_t lanes) {
  const std::uint32_t at = t.at + first * t.speed;
  const std::uint32_t lowest = at >> 8;
  const std::uint32_t highest = ((at + (lanes - 1) * t.speed) >> 8) + 1;  // the pair's second sample
  const std::uint32_t write = t.write + first;
  return !(highest < write || lowest > write + lanes - 1);
}

// The reverb in two element-wise passes over chunks: first each line
// sample's feedback term, then the echo and the new line sample, which
// adds a quarter of the previous sample's term.
[[gnu::always_inline]] inline void reverb(std::int16_t* __restrict mix, std::int16_t* __restrict line,
                                          std::uint32_t samples, std::int32_t level, std::int32_t feedback,
                                          std::int32_t& previous) {
  constexpr std::uint32_t kChunk = 256;
  std::int32_t term[kChunk + 1];
  for (std::uint32_t done = 0; done < samples; done += kChunk) {
    const std::uint32_t m = std::min(samples - done, kChunk);
    std::int16_t* __restrict x = mix + done;
    std::int16_t* __restrict d = line + done;
    term[0] = previous;
    for (std::uint32_t k = 0; k < m; ++k) term[k + 1] = (d[k] * feedback) >> 8;
    for (std::uint32_t k = 0; k < m; ++k) {
      const std::int32_t dry = x[k];
      x[k] = wrap16(dry + ((d[k] * level) >> 8));
      d[k] = wrap16((term[k] >> 2) + term[k + 1] + dry);
    }
    previous = term[m];
  }
}

[[gnu::always_inline]] inline void fold(std::int16_t* __restrict dry, const std::int16_t* __restrict bus,
                                        std::uint32_t samples) {
  for (std::uint32_t i = 0; i < samples; ++i) dry[i] = wrap16(dry[i] + bus[i]);
}

}  // namespace scalar
}  // namespace kvt::driver
