// The voice kernels for AVX-512: sixteen frames a step. While a step covers
// at most two samples the sixteen frames read from 32 consecutive samples,
// taken with one masked load and spread with a word permute; faster steps
// gather. The last frames of a run are masked rather than left to scalar
// code.
#include "isa_targets.h"
#include "voice_run.h"

#if defined(__x86_64__)

namespace kvt::driver {
namespace {

constexpr std::uint32_t kLanes = 16;
// From any fraction, 16 frames at up to two samples a frame and the sample
// after the last stay within a window of 32.
constexpr std::uint64_t kWindowStep = 0x20000;
constexpr std::uint32_t kWindow = 32;

struct Pairs {
  __m512i s0;  // the sample at each frame's position
  __m512i s1;  // and the one after it
};

// Each 32-bit lane as s[i] in the low word and s[i + 1] in the high word.
template <bool Wide16>
KVT_AVX512 Pairs split(__m512i x) {
  if constexpr (Wide16) return {_mm512_srai_epi32(_mm512_slli_epi32(x, 16), 16), _mm512_srai_epi32(x, 16)};
  return {_mm512_and_si512(x, _mm512_set1_epi32(0xFFFF)), _mm512_srli_epi32(x, 16)};
}

template <bool Wide16>
KVT_AVX512 Pairs fetch_window(const VoiceRun& r, std::uint64_t base, __m512i index) {
  // Only the samples the voice has are loaded: the mask stops at the one
  // after the sample end.
  const std::uint64_t readable = r.sample_end + std::uint64_t{1} - base;
  const __mmask32 mask = readable >= kWindow ? ~__mmask32{0} : (__mmask32{1} << readable) - 1;
  __m512i words;
  if constexpr (Wide16) {
    words = _mm512_maskz_loadu_epi16(mask, r.samples + 2 * base);
  } else {
    const __m512i bytes = _mm512_maskz_loadu_epi8(mask, r.samples + base);
    words = _mm512_cvtepu8_epi16(_mm512_castsi512_si256(bytes));
  }
  const __m512i pair_index =
      _mm512_or_si512(index, _mm512_slli_epi32(_mm512_add_epi32(index, _mm512_set1_epi32(1)), 16));
  return split<Wide16>(_mm512_permutexvar_epi16(pair_index, words));
}

template <bool Wide16>
KVT_AVX512 Pairs fetch_gather(const VoiceRun& r, std::uint64_t base, __m512i index, __mmask16 lanes) {
  if constexpr (Wide16) {
    const __m512i x = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), lanes, index, r.samples + 2 * base, 2);
    return split<true>(x);
  } else {
    // The four bytes that end with the pair: the voice header before the
    // samples keeps the read inside the image.
    const __m512i x = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), lanes, index, r.samples + base - 2, 1);
    return {_mm512_and_si512(_mm512_srli_epi32(x, 16), _mm512_set1_epi32(0xFF)), _mm512_srli_epi32(x, 24)};
  }
}

template <bool WidePath, bool Wide16>
KVT_AVX512 __m512i interpolate(Pairs p, __m512i frac) {
  const __m512i d = _mm512_sub_epi32(p.s1, p.s0);
  if constexpr (WidePath && Wide16) {
    return _mm512_add_epi32(_mm512_slli_epi32(p.s0, 16), _mm512_mullo_epi32(d, frac));
  } else if constexpr (WidePath) {
    const __m512i t0 = _mm512_sub_epi32(p.s0, _mm512_set1_epi32(128));
    const __m512i big_d = _mm512_or_si512(_mm512_slli_epi32(d, 8), _mm512_srli_epi32(_mm512_srai_epi32(d, 31), 24));
    return _mm512_add_epi32(_mm512_slli_epi32(t0, 24), _mm512_mullo_epi32(big_d, frac));
  } else if constexpr (Wide16) {
    const __m512i d16 = _mm512_srai_epi32(_mm512_slli_epi32(d, 16), 16);
    const __m512i v = _mm512_add_epi32(p.s0, _mm512_srai_epi32(_mm512_mullo_epi32(d16, frac), 16));
    return _mm512_srai_epi32(_mm512_slli_epi32(v, 16), 16);
  } else {
    const __m512i t0 = _mm512_slli_epi32(_mm512_sub_epi32(p.s0, _mm512_set1_epi32(128)), 8);
    return _mm512_add_epi32(t0, _mm512_srai_epi32(_mm512_mullo_epi32(d, frac), 8));
  }
}

// The gain applied; only the low 16 bits of each lane matter.
template <bool WidePath>
KVT_AVX512 __m512i scale(__m512i v, __m512i gain) {
  if constexpr (WidePath) {
    // The high halves of the 64-bit products.
    const __m512i even = _mm512_srli_epi64(_mm512_mul_epi32(v, gain), 32);
    const __m512i odd = _mm512_mul_epi32(_mm512_srli_epi64(v, 32), gain);
    return _mm512_mask_blend_epi32(0xAAAA, even, odd);
  } else {
    return _mm512_srai_epi32(_mm512_mullo_epi32(v, gain), 9);
  }
}

template <bool WidePath, bool Wide16, bool SameGains>
struct Avx512Kernel {
  KVT_AVX512 static void run(const VoiceRun& r, std::int16_t* out, std::uint32_t frames) {
    if (r.step > kMaxVectorStep) return scalar::render<WidePath, Wide16, SameGains>(r, out, frames);
    const bool window = r.step <= kWindowStep;
    const __m512i offsets = _mm512_mullo_epi32(_mm512_set1_epi32(static_cast<std::int32_t>(r.step)),
                                               _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
    const __m512i gain_left = _mm512_set1_epi32(r.gain_left);
    const __m512i gain_right = _mm512_set1_epi32(r.gain_right);
    const __m512i low16 = _mm512_set1_epi32(0xFFFF);
    std::uint64_t at = r.at;
    for (std::uint32_t n = 0; n < frames; n += kLanes, at += kLanes * r.step) {
      const std::uint32_t count = frames - n < kLanes ? frames - n : kLanes;
      const auto lanes = static_cast<__mmask16>((std::uint32_t{1} << count) - 1);
      const auto words = static_cast<__mmask32>((std::uint64_t{1} << (2 * count)) - 1);
      const __m512i rel = _mm512_add_epi32(_mm512_set1_epi32(static_cast<std::int32_t>(at & 0xFFFF)), offsets);
      const __m512i index = _mm512_srli_epi32(rel, 16);
      const Pairs pairs =
          window ? fetch_window<Wide16>(r, at >> 16, index) : fetch_gather<Wide16>(r, at >> 16, index, lanes);
      const __m512i v = interpolate<WidePath, Wide16>(pairs, _mm512_and_si512(rel, low16));
      const __m512i left = scale<WidePath>(v, gain_left);
      const __m512i right = SameGains ? left : scale<WidePath>(v, gain_right);
      const __m512i both = _mm512_mask_blend_epi16(0xAAAAAAAA, left, _mm512_slli_epi32(right, 16));
      std::int16_t* o = out + 2 * n;
      _mm512_mask_storeu_epi16(o, words, _mm512_add_epi16(_mm512_maskz_loadu_epi16(words, o), both));
    }
  }
};

}  // namespace

const VoiceKernels& avx512_voice_kernels() noexcept {
  static constexpr VoiceKernels kernels = make_voice_kernels<Avx512Kernel>();
  return kernels;
}

}  // namespace kvt::driver

#else

namespace kvt::driver {

const VoiceKernels& avx512_voice_kernels() noexcept { return scalar_voice_kernels(); }

}  // namespace kvt::driver

#endif
