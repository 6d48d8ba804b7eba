// The short fade-out of a voice still sounding when its part ends: without
// it the output drops from the voice's level to nothing in one sample.
#include <algorithm>

#include "driver_internal.h"

namespace kvt::driver {
namespace {

constexpr std::uint32_t kRampFramesPerFactor = 11;  // about 4 ms at every rate
constexpr std::uint32_t kChunkFrames = 64;

std::uint32_t ramp_frames(const Context& ctx) { return kRampFramesPerFactor * static_cast<std::uint32_t>(ctx.rate_factor); }

}  // namespace

void start_end_ramp(Context& ctx, int part, const PartSlot& p) noexcept {
  ctx.end_ramp_left[part] = ctx.soft_part_end && p.sounding() ? static_cast<std::uint16_t>(ramp_frames(ctx)) : 0;
}

void render_end_ramp(Context& ctx, int part, PartSlot& p, std::int16_t* out, std::uint32_t frames) noexcept {
  const auto total = static_cast<std::int64_t>(ramp_frames(ctx));
  std::uint16_t& left = ctx.end_ramp_left[part];
  std::int16_t voice[2 * kChunkFrames];
  while (frames > 0 && left > 0) {
    // The voice renders alone so that each frame takes its own gain.
    const std::uint32_t chunk = std::min({frames, kChunkFrames, std::uint32_t{left}});
    std::fill(voice, voice + 2 * chunk, std::int16_t{0});
    const std::uint32_t rendered = render_voice(ctx, p, voice, chunk);
    for (std::uint32_t i = 0; i < 2 * rendered; ++i) {
      const std::int64_t gain = left - static_cast<std::int64_t>(i / 2);
      out[i] = static_cast<std::int16_t>(out[i] + voice[i] * gain / total);
    }
    left = rendered < chunk ? 0 : static_cast<std::uint16_t>(left - chunk);
    out += 2 * chunk;
    frames -= chunk;
  }
}

}  // namespace kvt::driver
