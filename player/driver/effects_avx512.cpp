// The effect kernels for AVX-512: chorus taps sixteen frames a step, the
// ring pairs from one masked load and a word permute while the tap reads at
// most two ring samples a frame; the reverb and the fold are the reference
// loops built for AVX-512.
#include "effect_runs.h"
#include "isa_targets.h"

#if defined(__x86_64__)

namespace kvt::driver {
namespace {

constexpr std::uint32_t kLanes = 16;
constexpr std::uint32_t kWindowSpeed = 0x200;  // 16 frames and the pair after stay within 32 ring samples
constexpr std::uint32_t kWindow = 32;
constexpr std::uint32_t kRingLength = 4096;

// Each lane's ring sample and the one after it.
KVT_AVX512 __m512i ring_pairs(const TapRun& t, std::uint32_t first, __m512i index) {
  if (t.speed <= kWindowSpeed) {
    const std::uint32_t readable = kRingLength - first;
    const __mmask32 mask = readable >= kWindow ? ~__mmask32{0} : (__mmask32{1} << readable) - 1;
    const __m512i words = _mm512_maskz_loadu_epi16(mask, t.ring + first);
    const __m512i pair_index =
        _mm512_or_si512(index, _mm512_slli_epi32(_mm512_add_epi32(index, _mm512_set1_epi32(1)), 16));
    return _mm512_permutexvar_epi16(pair_index, words);
  }
  return _mm512_i32gather_epi32(index, t.ring + first, 2);
}

template <bool FeedsRing>
KVT_AVX512 void tap(const TapRun& t, std::uint32_t frames) {
  const __m512i offsets = _mm512_mullo_epi32(_mm512_set1_epi32(static_cast<std::int32_t>(t.speed)),
                                             _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
  const __m512i gain = _mm512_set1_epi32(t.gain);
  const __m512i feedback = _mm512_set1_epi32(t.feedback);
  const __m512i masks = _mm512_set1_epi32(static_cast<std::int32_t>(t.masks));
  std::uint32_t n = 0;
  for (; n + kLanes <= frames; n += kLanes) {
    const std::uint32_t at = t.at + n * t.speed;
    const std::uint32_t first = at >> 8;
    if (FeedsRing && scalar::reads_meet_writes(t, n, kLanes)) {
      scalar::tap_frames<FeedsRing>(t, n, n + kLanes);
      continue;
    }
    const __m512i rel = _mm512_add_epi32(_mm512_set1_epi32(static_cast<std::int32_t>(at & 0xFF)), offsets);
    const __m512i pairs = ring_pairs(t, first, _mm512_srli_epi32(rel, 8));
    const __m512i a = _mm512_srai_epi32(_mm512_slli_epi32(pairs, 16), 16);
    const __m512i d = _mm512_sub_epi32(_mm512_srai_epi32(pairs, 16), a);
    const __m512i frac = _mm512_and_si512(rel, _mm512_set1_epi32(0xFF));
    const __m512i v = _mm512_add_epi32(a, _mm512_srai_epi32(_mm512_mullo_epi32(d, frac), 8));
    std::int16_t* frame = t.frames + 2 * n;
    const __m512i mix = _mm512_loadu_si512(frame);
    if constexpr (FeedsRing) {
      const __m512i left = _mm512_srai_epi32(_mm512_slli_epi32(mix, 16), 17);
      const __m512i right = _mm512_srai_epi32(mix, 17);
      const __m512i fed = _mm512_srai_epi32(_mm512_mullo_epi32(v, feedback), 8);
      const __m512i in = _mm512_add_epi32(_mm512_add_epi32(left, right), fed);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(t.ring + t.write + n), _mm512_cvtepi32_epi16(in));
    }
    const __m512i out = _mm512_and_si512(_mm512_srai_epi32(_mm512_mullo_epi32(v, gain), 8), _mm512_set1_epi32(0xFFFF));
    const __m512i both = _mm512_xor_si512(_mm512_or_si512(out, _mm512_slli_epi32(out, 16)), masks);
    _mm512_storeu_si512(frame, _mm512_add_epi16(mix, both));
  }
  scalar::tap_frames<FeedsRing>(t, n, frames);
}

KVT_AVX512 void reverb(std::int16_t* mix, std::int16_t* line, std::uint32_t samples, std::int32_t level,
                       std::int32_t feedback, std::int32_t& previous) {
  scalar::reverb(mix, line, samples, level, feedback, previous);
}

KVT_AVX512 void fold(std::int16_t* dry, const std::int16_t* bus, std::uint32_t samples) {
  scalar::fold(dry, bus, samples);
}

}  // namespace

const EffectKernels& avx512_effect_kernels() noexcept {
  static constexpr EffectKernels kernels{tap<false>, tap<true>, reverb, fold};
  return kernels;
}

}  // namespace kvt::driver

#else

namespace kvt::driver {

const EffectKernels& avx512_effect_kernels() noexcept { return scalar_effect_kernels(); }

}  // namespace kvt::driver

#endif
