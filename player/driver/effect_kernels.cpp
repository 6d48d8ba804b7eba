#include "effect_runs.h"

namespace kvt::driver {
namespace {

template <bool FeedsRing>
void tap(const TapRun& run, std::uint32_t frames) {
  scalar::tap_frames<FeedsRing>(run, 0, frames);
}

void reverb(std::int16_t* mix, std::int16_t* line, std::uint32_t samples, std::int32_t level, std::int32_t feedback,
            std::int32_t& previous) {
  scalar::reverb(mix, line, samples, level, feedback, previous);
}

void fold(std::int16_t* dry, const std::int16_t* bus, std::uint32_t samples) { scalar::fold(dry, bus, samples); }

}  // namespace

const EffectKernels& scalar_effect_kernels() noexcept {
  static constexpr EffectKernels kernels{tap<false>, tap<true>, reverb, fold};
  return kernels;
}

const EffectKernels& effect_kernels(Isa isa) noexcept {
  switch (isa) {
    case Isa::avx512:
      return avx512_effect_kernels();
    case Isa::avx2:
      return avx2_effect_kernels();
    case Isa::scalar:
      break;
  }
  return scalar_effect_kernels();
}

}  // namespace kvt::driver
