// The voice kernels for AVX2: eight frames a step. While a step covers at
// most two samples the pairs come from two loads and dword permutes;
// faster steps and the frames next to the sample end gather.
#include "isa_targets.h"
#include "voice_run.h"

#if defined(__x86_64__)

namespace kvt::driver {
namespace {

constexpr std::uint32_t kLanes = 8;
// From any fraction, 8 frames at up to two samples a frame and the sample
// after the last stay within the 16 samples from the first; the window
// reads one more.
constexpr std::uint64_t kWindowStep = 0x20000;
constexpr std::uint64_t kWindow = 16;

struct Pairs {
  __m256i s0;  // the sample at each frame's position
  __m256i s1;  // and the one after it
};

// Each 32-bit lane as s[i] in the low word and s[i + 1] in the high word.
template <bool Wide16>
KVT_AVX2 Pairs split(__m256i x) {
  if constexpr (Wide16) return {_mm256_srai_epi32(_mm256_slli_epi32(x, 16), 16), _mm256_srai_epi32(x, 16)};
  return {_mm256_and_si256(x, _mm256_set1_epi32(0xFFFF)), _mm256_srli_epi32(x, 16)};
}

// The 17 samples from `base` as word pairs starting at even and at odd
// offsets: a dword permute of each serves all eight frames.
template <bool Wide16>
KVT_AVX2 Pairs fetch_window(const std::uint8_t* s, std::uint64_t base, __m256i index) {
  __m256i even;
  __m256i odd;
  if constexpr (Wide16) {
    even = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 2 * base));
    odd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 2 * base + 2));
  } else {
    even = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + base)));
    odd = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + base + 1)));
  }
  const __m256i half = _mm256_srli_epi32(index, 1);
  const __m256 from_even = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(even, half));
  const __m256 from_odd = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(odd, half));
  const __m256 is_odd = _mm256_castsi256_ps(_mm256_slli_epi32(index, 31));
  return split<Wide16>(_mm256_castps_si256(_mm256_blendv_ps(from_even, from_odd, is_odd)));
}

template <bool Wide16>
KVT_AVX2 Pairs fetch_gather(const std::uint8_t* s, std::uint64_t base, __m256i index) {
  if constexpr (Wide16) {
    return split<true>(_mm256_i32gather_epi32(reinterpret_cast<const int*>(s + 2 * base), index, 2));
  } else {
    // The four bytes that end with the pair: the voice header before the
    // samples keeps the read inside the image.
    const __m256i x = _mm256_i32gather_epi32(reinterpret_cast<const int*>(s + base - 2), index, 1);
    return {_mm256_and_si256(_mm256_srli_epi32(x, 16), _mm256_set1_epi32(0xFF)), _mm256_srli_epi32(x, 24)};
  }
}

template <bool WidePath, bool Wide16>
KVT_AVX2 __m256i interpolate(Pairs p, __m256i frac) {
  const __m256i d = _mm256_sub_epi32(p.s1, p.s0);
  if constexpr (WidePath && Wide16) {
    return _mm256_add_epi32(_mm256_slli_epi32(p.s0, 16), _mm256_mullo_epi32(d, frac));
  } else if constexpr (WidePath) {
    const __m256i t0 = _mm256_sub_epi32(p.s0, _mm256_set1_epi32(128));
    const __m256i big_d = _mm256_or_si256(_mm256_slli_epi32(d, 8), _mm256_srli_epi32(_mm256_srai_epi32(d, 31), 24));
    return _mm256_add_epi32(_mm256_slli_epi32(t0, 24), _mm256_mullo_epi32(big_d, frac));
  } else if constexpr (Wide16) {
    const __m256i d16 = _mm256_srai_epi32(_mm256_slli_epi32(d, 16), 16);
    const __m256i v = _mm256_add_epi32(p.s0, _mm256_srai_epi32(_mm256_mullo_epi32(d16, frac), 16));
    return _mm256_srai_epi32(_mm256_slli_epi32(v, 16), 16);
  } else {
    const __m256i t0 = _mm256_slli_epi32(_mm256_sub_epi32(p.s0, _mm256_set1_epi32(128)), 8);
    return _mm256_add_epi32(t0, _mm256_srai_epi32(_mm256_mullo_epi32(d, frac), 8));
  }
}

// The gain applied; only the low 16 bits of each lane matter.
template <bool WidePath>
KVT_AVX2 __m256i scale(__m256i v, __m256i gain) {
  if constexpr (WidePath) {
    // The high halves of the 64-bit products.
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epi32(v, gain), 32);
    const __m256i odd = _mm256_mul_epi32(_mm256_srli_epi64(v, 32), gain);
    return _mm256_blend_epi32(even, odd, 0xAA);
  } else {
    return _mm256_srai_epi32(_mm256_mullo_epi32(v, gain), 9);
  }
}

template <bool WidePath, bool Wide16, bool SameGains>
struct Avx2Kernel {
  KVT_AVX2 static void run(const VoiceRun& r, std::int16_t* out, std::uint32_t frames) {
    const std::uint32_t whole = r.step <= kMaxVectorStep ? frames / kLanes * kLanes : 0;
    const auto step = static_cast<std::int32_t>(r.step);
    const __m256i offsets = _mm256_mullo_epi32(_mm256_set1_epi32(step), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i gain_left = _mm256_set1_epi32(r.gain_left);
    const __m256i gain_right = _mm256_set1_epi32(r.gain_right);
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    std::uint64_t at = r.at;
    for (std::uint32_t n = 0; n < whole; n += kLanes, at += kLanes * r.step) {
      const __m256i rel = _mm256_add_epi32(_mm256_set1_epi32(static_cast<std::int32_t>(at & 0xFFFF)), offsets);
      const std::uint64_t base = at >> 16;
      const __m256i index = _mm256_srli_epi32(rel, 16);
      const bool window = r.step <= kWindowStep && base + kWindow <= r.sample_end;
      const Pairs pairs =
          window ? fetch_window<Wide16>(r.samples, base, index) : fetch_gather<Wide16>(r.samples, base, index);
      const __m256i v = interpolate<WidePath, Wide16>(pairs, _mm256_and_si256(rel, low16));
      const __m256i left = scale<WidePath>(v, gain_left);
      const __m256i right = SameGains ? left : scale<WidePath>(v, gain_right);
      const __m256i both = _mm256_blend_epi16(left, _mm256_slli_epi32(right, 16), 0xAA);
      auto* o = reinterpret_cast<__m256i*>(out + 2 * n);
      _mm256_storeu_si256(o, _mm256_add_epi16(_mm256_loadu_si256(o), both));
    }
    scalar::render<WidePath, Wide16, SameGains>(r, out, frames, whole);
  }
};

}  // namespace

const VoiceKernels& avx2_voice_kernels() noexcept {
  static constexpr VoiceKernels kernels = make_voice_kernels<Avx2Kernel>();
  return kernels;
}

}  // namespace kvt::driver

#else

namespace kvt::driver {

const VoiceKernels& avx2_voice_kernels() noexcept { return scalar_voice_kernels(); }

}  // namespace kvt::driver

#endif
