// Driver start-up for one song: rate and tables, header fields, the part
// slots with their first tick, the effect units and the delay memory.
#include <algorithm>
#include <cstring>

#include "command_guard.h"
#include "driver.h"
#include "driver_internal.h"
#include "tables.h"

namespace kvt::driver {
namespace {

using namespace song;

void set_output(Context& ctx) {
  ctx.wide = ctx.cpu_code == 1;
  if (!isa_available(ctx.isa)) ctx.isa = Isa::scalar;
  ctx.volume_table = &volume_table(ctx.wide);
  ctx.rate_index = ctx.sb16 >= 0 && ctx.sb16 < kRateIndices ? ctx.sb16 : 0;
  ctx.rate_factor = rate_factor(ctx.rate_index);
  ctx.mono = ctx.channel == 1;
  ctx.effects = std::clamp(ctx.effect_level, 0, 2);
  ctx.block_frames = ctx.buffer != nullptr && ctx.dwDataSize > 0 ? static_cast<std::uint32_t>(ctx.dwDataSize) / 8 : 0;
  ctx.fade_speed_now = std::max(ctx.fade_speed, 0);
}

// Start of part `index`, or kNoPosition when the part is absent.
std::uint32_t part_start(const Context& ctx, int index, std::uint16_t table_end) {
  const std::uint32_t entry = kPartTableStart + 2u * static_cast<std::uint32_t>(index);
  if (entry + 2 > table_end) return kNoPosition;
  SongCursor c = cursor_at(ctx, entry);
  const std::uint16_t w = c.word();
  if (c.overrun || w == kAbsent) return kNoPosition;
  return ctx.offset_mode == kParagraphMode ? std::uint32_t{w} * 16 : w;
}

void reset_slot(PartSlot& p, std::uint32_t start, std::uint8_t default_length) {
  p = PartSlot{};
  p.seq_ptr = start;
  p.ended = start == kNoPosition ? 1 : 0;
  p.loop_ptr = kNoPosition;
  p.remaining = 1;
  p.damp_at = kNever;
  p.keyoff_at = kNever;
  p.call_target = kNoPosition;
  p.return_ptr = kNoPosition;
  p.peak_level = 127;
  p.damp_ticks = 1;
  p.fade_count = 1;
  p.part_gain = 0x8000;
  p.pan_gain_left = 256;
  p.pan_gain_right = 256;
  p.default_len = default_length;
  p.volume = 111;
}

}  // namespace

void set_default_inputs(Context& ctx) {
  static_cast<kvt_driver_inputs&>(ctx) = kvt_driver_inputs{};
  ctx.channel = 2;
  ctx.cpu_code = 1;
}

std::unique_ptr<Context> make_context() {
  auto ctx = std::make_unique<Context>();
  set_default_inputs(*ctx);
  return ctx;
}

int worksize() noexcept { return kWorkSize; }

void init(Context& ctx) noexcept {
  set_output(ctx);
  SongCursor header = cursor_at(ctx, kOffDefaultLength);
  const std::uint8_t default_length = header.byte();
  const std::uint16_t tempo = header.word();
  const std::uint16_t table_end = header.word();
  header.skip(1);
  ctx.offset_mode = header.byte();
  ctx.samples_per_tick = static_cast<std::uint16_t>(std::min(ctx.rate_factor * std::max<int>(tempo, 1), 0xFFFF));
  ctx.song_tempo = ctx.samples_per_tick;
  reset_effects(ctx);
  for (TempoChange& t : ctx.tempo_changes) t = {kFreeKey, 0};
  ctx.commands_left = kCommandsPerBlock;
  std::fill(std::begin(ctx.end_ramp_left), std::end(ctx.end_ramp_left), std::uint16_t{0});

  ctx.part_slots = 0;
  for (int i = 0; i < kDriverParts; ++i) {
    PartSlot& p = ctx.work_adr[i];
    reset_slot(p, part_start(ctx, i, table_end), default_length);
    if (p.ended) continue;
    ctx.part_slots = i + 1;
    program_change(ctx, p, 0, false);
    if (!p.has_voice()) build_envelope(ctx, p);  // from all-zero parameters
    run_tick(ctx, i, p, kInitFrameKey);
    update_volume(ctx, p);
  }
  const std::size_t cleared = static_cast<std::size_t>(ctx.effects) * kDelaySamples / 2;
  std::fill(ctx.delay_adr, ctx.delay_adr + cleared, std::int16_t{0});
}

}  // namespace kvt::driver
