#include "voice_run.h"

namespace kvt::driver {
namespace {

template <bool WidePath, bool Wide16, bool SameGains>
struct ScalarKernel {
  static void run(const VoiceRun& r, std::int16_t* out, std::uint32_t frames) {
    scalar::render<WidePath, Wide16, SameGains>(r, out, frames);
  }
};

}  // namespace

const VoiceKernels& scalar_voice_kernels() noexcept {
  static constexpr VoiceKernels kernels = make_voice_kernels<ScalarKernel>();
  return kernels;
}

const VoiceKernels& voice_kernels(Isa isa) noexcept {
  switch (isa) {
    case Isa::avx512:
      return avx512_voice_kernels();
    case Isa::avx2:
      return avx2_voice_kernels();
    case Isa::scalar:
      break;
  }
  return scalar_voice_kernels();
}

}  // namespace kvt::driver
