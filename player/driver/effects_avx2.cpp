// The effect kernels for AVX2: chorus taps eight frames a step, the ring
// pairs from two loads and dword permutes while the tap reads at most two
// ring samples a frame; the reverb and the fold are the reference loops
// built for AVX2.
#include "effect_runs.h"
#include "isa_targets.h"

#if defined(__x86_64__)

namespace kvt::driver {
namespace {

constexpr std::uint32_t kLanes = 8;
constexpr std::uint32_t kWindowSpeed = 0x200;  // 8 frames and the pair after stay within 16 ring samples
constexpr std::uint32_t kWindow = 16;          // the loads read one more
constexpr std::uint32_t kRingLast = 4095;

// Each lane's ring sample in the low word and the one after it in the high.
KVT_AVX2 __m256i ring_pairs(const TapRun& t, std::uint32_t first, __m256i index) {
  if (t.speed > kWindowSpeed || first + kWindow > kRingLast) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(t.ring + first), index, 2);
  }
  const __m256i even = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.ring + first));
  const __m256i odd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.ring + first + 1));
  const __m256i half = _mm256_srli_epi32(index, 1);
  const __m256 from_even = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(even, half));
  const __m256 from_odd = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(odd, half));
  const __m256 is_odd = _mm256_castsi256_ps(_mm256_slli_epi32(index, 31));
  return _mm256_castps_si256(_mm256_blendv_ps(from_even, from_odd, is_odd));
}

// The low words of the eight lanes, in order.
KVT_AVX2 __m128i low_words(__m256i x) {
  const __m256i signed16 = _mm256_srai_epi32(_mm256_slli_epi32(x, 16), 16);  // packing cannot saturate
  const __m256i packed = _mm256_packs_epi32(signed16, signed16);
  return _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, 0x08));
}

template <bool FeedsRing>
KVT_AVX2 void tap(const TapRun& t, std::uint32_t frames) {
  const __m256i offsets = _mm256_mullo_epi32(_mm256_set1_epi32(static_cast<std::int32_t>(t.speed)),
                                             _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i gain = _mm256_set1_epi32(t.gain);
  const __m256i feedback = _mm256_set1_epi32(t.feedback);
  const __m256i masks = _mm256_set1_epi32(static_cast<std::int32_t>(t.masks));
  std::uint32_t n = 0;
  for (; n + kLanes <= frames; n += kLanes) {
    const std::uint32_t at = t.at + n * t.speed;
    const std::uint32_t first = at >> 8;
    if (FeedsRing && scalar::reads_meet_writes(t, n, kLanes)) {
      scalar::tap_frames<FeedsRing>(t, n, n + kLanes);
      continue;
    }
    const __m256i rel = _mm256_add_epi32(_mm256_set1_epi32(static_cast<std::int32_t>(at & 0xFF)), offsets);
    const __m256i pairs = ring_pairs(t, first, _mm256_srli_epi32(rel, 8));
    const __m256i a = _mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16);
    const __m256i d = _mm256_sub_epi32(_mm256_srai_epi32(pairs, 16), a);
    const __m256i frac = _mm256_and_si256(rel, _mm256_set1_epi32(0xFF));
    const __m256i v = _mm256_add_epi32(a, _mm256_srai_epi32(_mm256_mullo_epi32(d, frac), 8));
    auto* frame = reinterpret_cast<__m256i*>(t.frames + 2 * n);
    const __m256i mix = _mm256_loadu_si256(frame);
    if constexpr (FeedsRing) {
      const __m256i left = _mm256_srai_epi32(_mm256_slli_epi32(mix, 16), 17);
      const __m256i right = _mm256_srai_epi32(mix, 17);
      const __m256i fed = _mm256_srai_epi32(_mm256_mullo_epi32(v, feedback), 8);
      const __m256i in = _mm256_add_epi32(_mm256_add_epi32(left, right), fed);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(t.ring + t.write + n), low_words(in));
    }
    const __m256i out = _mm256_and_si256(_mm256_srai_epi32(_mm256_mullo_epi32(v, gain), 8), _mm256_set1_epi32(0xFFFF));
    const __m256i both = _mm256_xor_si256(_mm256_or_si256(out, _mm256_slli_epi32(out, 16)), masks);
    _mm256_storeu_si256(frame, _mm256_add_epi16(mix, both));
  }
  scalar::tap_frames<FeedsRing>(t, n, frames);
}

KVT_AVX2 void reverb(std::int16_t* mix, std::int16_t* line, std::uint32_t samples, std::int32_t level,
                     std::int32_t feedback, std::int32_t& previous) {
  scalar::reverb(mix, line, samples, level, feedback, previous);
}

KVT_AVX2 void fold(std::int16_t* dry, const std::int16_t* bus, std::uint32_t samples) {
  scalar::fold(dry, bus, samples);
}

}  // namespace

const EffectKernels& avx2_effect_kernels() noexcept {
  static constexpr EffectKernels kernels{tap<false>, tap<true>, reverb, fold};
  return kernels;
}

}  // namespace kvt::driver

#else

namespace kvt::driver {

const EffectKernels& avx2_effect_kernels() noexcept { return scalar_effect_kernels(); }

}  // namespace kvt::driver

#endif
