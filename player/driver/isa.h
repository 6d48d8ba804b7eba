// The instruction sets the render loops are built for. Each render path has
// one version per set and all versions produce the same samples, so the
// choice changes only the speed.
#pragma once

#include <cstdint>

namespace kvt::driver {

enum class Isa : std::uint8_t { scalar, avx2, avx512 };

inline constexpr Isa kIsas[] = {Isa::scalar, Isa::avx2, Isa::avx512};

// Whether this processor runs the version built for `isa`.
bool isa_available(Isa isa) noexcept;
// The fastest available version; read once.
Isa best_isa() noexcept;
const char* isa_name(Isa isa) noexcept;

}  // namespace kvt::driver
