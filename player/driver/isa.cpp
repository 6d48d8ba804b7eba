#include "isa.h"

namespace kvt::driver {

bool isa_available(Isa isa) noexcept {
#if defined(__x86_64__) || defined(__i386__)
  switch (isa) {
    case Isa::scalar:
      return true;
    case Isa::avx2:
      return __builtin_cpu_supports("avx2");
    case Isa::avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  }
  return false;
#else
  return isa == Isa::scalar;
#endif
}

Isa best_isa() noexcept {
  static const Isa best = isa_available(Isa::avx512) ? Isa::avx512 : isa_available(Isa::avx2) ? Isa::avx2 : Isa::scalar;
  return best;
}

const char* isa_name(Isa isa) noexcept {
  switch (isa) {
    case Isa::scalar:
      return "scalar";
    case Isa::avx2:
      return "avx2";
    case Isa::avx512:
      return "avx512";
  }
  return "?";
}

}  // namespace kvt::driver
