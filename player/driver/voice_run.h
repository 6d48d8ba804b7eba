// A straight run of a voice: frames whose play positions all lie before the
// sample end, so no frame needs a loop or end check. The run is mixed into
// interleaved stereo output with 16-bit wrap-around, as the driver always
// mixed. Each instruction set has its own kernels; the scalar one here is
// the reference the others must match sample for sample.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "isa.h"

namespace kvt::driver {

struct VoiceRun {
  const std::uint8_t* samples;
  std::uint64_t at;          // 48.16 play position of the first frame
  std::uint64_t step;        // 48.16 advance per frame
  std::uint32_t sample_end;  // positions stay below it; the sample at it may be read
  std::int32_t gain_left;    // 0..0xFFFF
  std::int32_t gain_right;
};

// Renders `frames` frames of `run` into `out`.
using VoiceKernel = void (*)(const VoiceRun& run, std::int16_t* out, std::uint32_t frames);

// Kernels by shape: bit 0 the 32-bit render path, bit 1 16-bit samples,
// bit 2 equal left and right gains.
using VoiceKernels = std::array<VoiceKernel, 8>;

constexpr int voice_shape(bool wide_path, bool wide16, bool same_gains) {
  return (wide_path ? 1 : 0) | (wide16 ? 2 : 0) | (same_gains ? 4 : 0);
}

const VoiceKernels& scalar_voice_kernels() noexcept;
const VoiceKernels& avx2_voice_kernels() noexcept;
const VoiceKernels& avx512_voice_kernels() noexcept;
const VoiceKernels& voice_kernels(Isa isa) noexcept;

namespace scalar {

inline std::int32_t sample16(const std::uint8_t* s, std::uint64_t i) {
  std::int16_t v;
  std::memcpy(&v, s + 2 * i, sizeof v);
  return v;
}

// One output value for the 32-bit path: a 16.16 sample on a 16-bit scale.
template <bool Wide16>
std::int64_t interpolate32(const std::uint8_t* s, std::uint64_t i, std::int64_t frac) {
  if constexpr (Wide16) {
    const std::int64_t s0 = sample16(s, i);
    const std::int64_t s1 = sample16(s, i + 1);
    return static_cast<std::int32_t>(s0 * 65536 + (s1 - s0) * frac);
  } else {
    const std::int32_t t0 = s[i] - 128;
    const std::int32_t d = s[i + 1] - s[i];
    const std::int64_t big_d = d >= 0 ? d * 256 : d * 256 + 255;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(t0 * (1 << 24) + big_d * frac));  // modulo 2^32
  }
}

template <bool Wide16>
std::int64_t interpolate16(const std::uint8_t* s, std::uint64_t i, std::int32_t frac) {
  if constexpr (Wide16) {
    const std::int32_t s0 = sample16(s, i);
    const auto d = static_cast<std::int16_t>(sample16(s, i + 1) - s0);  // may overflow, as 16-bit hardware did
    return static_cast<std::int16_t>(s0 + ((d * frac) >> 16));
  } else {
    return ((s[i] - 128) << 8) + (((s[i + 1] - s[i]) * frac) >> 8);
  }
}

inline std::int16_t add16(std::int16_t a, std::int64_t b) { return static_cast<std::int16_t>(a + b); }

// Frames `first` to `frames` - 1 of the run.
template <bool WidePath, bool Wide16, bool SameGains>
void render(const VoiceRun& run, std::int16_t* out, std::uint32_t frames, std::uint32_t first = 0) {
  constexpr int kShift = WidePath ? 32 : 9;
  const std::int64_t gl = run.gain_left;
  const std::int64_t gr = run.gain_right;
  std::uint64_t at = run.at + first * run.step;
  for (std::uint32_t n = first; n < frames; ++n, at += run.step) {
    const std::uint64_t i = at >> 16;
    const auto frac = static_cast<std::int32_t>(at & 0xFFFF);
    const std::int64_t v =
        WidePath ? interpolate32<Wide16>(run.samples, i, frac) : interpolate16<Wide16>(run.samples, i, frac);
    const std::int64_t left = (v * gl) >> kShift;
    out[2 * n] = add16(out[2 * n], left);
    out[2 * n + 1] = add16(out[2 * n + 1], SameGains ? left : (v * gr) >> kShift);
  }
}

}  // namespace scalar

// The table of one instruction set's kernels, `Kernel<WidePath, Wide16,
// SameGains>::run` by shape.
template <template <bool, bool, bool> class Kernel>
constexpr VoiceKernels make_voice_kernels() {
  return {Kernel<false, false, false>::run, Kernel<true, false, false>::run, Kernel<false, true, false>::run,
          Kernel<true, true, false>::run,   Kernel<false, false, true>::run, Kernel<true, false, true>::run,
          Kernel<false, true, true>::run,   Kernel<true, true, true>::run};
}

// Above this step (256 samples a frame) the vector kernels hand the run to
// the scalar one: their lane positions are 32-bit.
inline constexpr std::uint64_t kMaxVectorStep = std::uint64_t{1} << 24;

}  // namespace kvt::driver
