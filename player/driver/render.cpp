// One output block: every running part renders in slot order on the shared
// tick clock, then the effect stage runs.
#include <algorithm>
#include <cstring>

#include "command_guard.h"
#include "driver.h"
#include "driver_internal.h"

namespace kvt::driver {
namespace {

void render_part(Context& ctx, int index, PartSlot& p, std::int16_t* dry, std::int16_t* bus) {
  std::int16_t* out = p.effect_send ? bus : dry;
  std::uint32_t frame = 0;
  std::uint32_t left = ctx.block_frames;
  while (left > 0) {
    // Frames before the block's first tick render (or stay silent) in one run.
    const std::uint32_t quiet = std::min<std::uint32_t>(p.tick_count - 1u, left);
    if (quiet > 0) {
      if (p.sounding()) render_voice(ctx, p, out + 2 * frame, quiet);
      p.tick_count = static_cast<std::uint16_t>(p.tick_count - quiet);
      frame += quiet;
      left -= quiet;
      continue;
    }
    run_tick(ctx, index, p, left);  // the frame key counts the frames left
    if (p.ended) {
      start_end_ramp(ctx, index, p);
      return render_end_ramp(ctx, index, p, (p.effect_send ? bus : dry) + 2 * frame, left);
    }
    // The tick's own frame and the quiet ones after it in one run.
    const std::uint32_t after = std::min<std::uint32_t>(p.tick_count - 1u, left - 1);
    out = p.effect_send ? bus : dry;
    if (p.sounding()) render_voice(ctx, p, out + 2 * frame, 1 + after);
    p.tick_count = static_cast<std::uint16_t>(p.tick_count - after);
    frame += 1 + after;
    left -= 1 + after;
  }
}

// The smallest count among the running parts, each as `count` gives it.
template <class Count>
std::int64_t least_count(const Context& ctx, Count count) {
  std::int64_t least = -1;
  for (int i = 0; i < ctx.part_slots; ++i) {
    const PartSlot& p = ctx.work_adr[i];
    if (!p.ended && (least < 0 || count(p) < least)) least = count(p);
  }
  return least;
}

}  // namespace

int play(Context& ctx) noexcept {
  auto* dry = static_cast<std::int16_t*>(ctx.buffer);
  std::int16_t* bus = dry + 2 * ctx.block_frames;
  if (ctx.block_frames > 0) std::fill(dry, dry + 4 * ctx.block_frames, std::int16_t{0});
  for (TempoChange& t : ctx.tempo_changes) t = {kFreeKey, 0};
  ctx.fade_speed_now = std::max(ctx.fade_speed, 0);
  ctx.commands_left = kCommandsPerBlock;
  const std::uint16_t block_start_tempo = ctx.song_tempo;
  for (int i = 0; i < ctx.part_slots; ++i) {
    PartSlot& p = ctx.work_adr[i];
    if (p.ended) {
      if (ctx.end_ramp_left[i] > 0) render_end_ramp(ctx, i, p, p.effect_send ? bus : dry, ctx.block_frames);
      continue;
    }
    ctx.samples_per_tick = block_start_tempo;
    render_part(ctx, i, p, dry, bus);
  }
  if (ctx.block_frames > 0) finish_block(ctx, dry, bus);
  // The exports have always counted passes in a byte.
  return static_cast<int>(least_count(ctx, [](const PartSlot& p) { return std::int64_t{p.loop_count & 0xFFu}; }));
}

std::int64_t passes(const Context& ctx) noexcept {
  return least_count(ctx, [](const PartSlot& p) { return std::int64_t{p.loop_count}; });
}

}  // namespace kvt::driver
