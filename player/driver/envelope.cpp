// Envelope segments, key-on/off, damp and the gain arithmetic.
#include <algorithm>

#include "driver_internal.h"
#include "voice_format.h"

namespace kvt::driver {
namespace {

constexpr std::uint8_t kUp = 0xFF;
constexpr std::uint8_t kMaxLevel = 254;
constexpr std::uint8_t kMaxParam = 127;

std::uint32_t rate_period(const Context& ctx, int rate, int offset) {
  int x = (rate + offset) & 0xFF;
  if (x >= 128) x = 0;
  if (x > 95) x = 95;
  int y = 96 - x;
  if (y >= 32) y = 2 * y - 32;
  return static_cast<std::uint32_t>(y * ctx.rate_factor);
}

std::uint32_t shifted(std::uint32_t period, int shift) {
  const std::uint64_t v = static_cast<std::uint64_t>(period) << std::min(shift, 32);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, 0xFFFFFFFFu));
}

EnvelopeSegment depth_segment(std::uint32_t period, std::int8_t depth) {
  if (depth > 0) return {period, static_cast<std::uint8_t>(2 * depth), 1};
  if (depth < 0) return {period, static_cast<std::uint8_t>(-2 * depth), kUp};  // -128 gives 0: 256 steps
  return {period * 32, 2, 0};
}

void load_segment(PartSlot& p, std::uint32_t seg) {
  const EnvelopeSegment& s = p.env_table.segment[seg];
  p.env_seg = seg;
  p.env_period = s.period;
  p.env_count = s.period;
  p.env_steps = s.count;
  p.env_delta = s.delta;
}

void set_level(PartSlot& p, int level) { p.env_level = static_cast<std::uint16_t>(level << 8); }

}  // namespace

void build_envelope(const Context& ctx, PartSlot& p) noexcept {
  const std::uint8_t* a = p.env_params;
  const int shift = p.decay_shift;
  const int peak = std::min(p.peak_level, kMaxParam);
  const int initial = std::min(std::max<int>(a[0], 1), peak);
  EnvelopeTable& t = p.env_table;
  t.initial_level = static_cast<std::uint8_t>(2 * initial);

  const std::uint32_t attack = rate_period(ctx, a[1], p.rate_offset[0]);
  t.segment[0] = initial < peak ? EnvelopeSegment{attack, static_cast<std::uint8_t>(2 * (peak - initial)), kUp}
                                : EnvelopeSegment{attack * 32, 2, 0};

  t.segment[1] = depth_segment(rate_period(ctx, a[2], p.rate_offset[1]), static_cast<std::int8_t>(a[3]));
  t.segment[1].period = shifted(t.segment[1].period, shift);

  t.segment[2] = depth_segment(rate_period(ctx, a[4], p.rate_offset[1]), static_cast<std::int8_t>(a[5]));
  const bool endless = shift == 0 ? a[5] == 0 : (a[4] == 0 && a[5] == 0);
  if (endless) t.segment[2].count = 255;
  if (shift != 0) t.segment[2].period = shifted(t.segment[2].period, shift);

  t.segment[3] = {endless ? 0 : shifted(rate_period(ctx, a[6], p.rate_offset[1]), shift), 254, 1};
  t.segment[4] = {rate_period(ctx, a[7], p.rate_offset[2]), 254, 1};
}

void select_envelope_set(const Context& ctx, PartSlot& p, int set) noexcept {
  if (!p.has_voice()) return;
  const std::uint8_t* image = voice_image(p);
  const std::uint8_t* params = image + voice::kOffEnvelopeSets + set * voice::kEnvelopeSetSize;
  const std::uint8_t* levels = image + voice::kOffSetLevels + 2 * set;
  std::copy(params, params + kEnvelopeParams, p.env_params);
  p.peak_level = levels[0] == voice::kKeepDefault ? kMaxParam : levels[0];
  p.decay_shift = levels[1] == voice::kKeepDefault ? 0 : levels[1];
  build_envelope(ctx, p);
}

void key_on(const Context& ctx, PartSlot& p) noexcept {
  p.flags |= kKeyHeld;
  const std::uint8_t initial = p.env_table.initial_level;
  // A voice without samples, or a start at an empty loop, has nothing to play.
  const bool silent = !p.has_voice() || p.seq_ptr == kNoPosition || p.pos >= p.sample_end;
  set_level(p, silent ? 0 : initial);
  load_segment(p, initial == kMaxLevel ? 1 : 0);
  update_gains(ctx, p);
}

void key_off(PartSlot& p) noexcept {
  if (!(p.flags & kKeyHeld) || p.level() == 0 || p.env_seg == kReleaseSegment) return;
  load_segment(p, kReleaseSegment);
  p.flags &= ~kKeyHeld;
}

void damp(const Context& ctx, PartSlot& p) noexcept {
  if (p.level() == 0) return;
  p.env_period = static_cast<std::uint32_t>(ctx.rate_factor);
  p.env_count = p.env_period;
  p.env_steps = 255;
  p.env_delta = 2;
  set_level(p, (p.level() + 1) & 0xFE);
  p.flags &= ~kKeyHeld;
  update_gains(ctx, p);
}

void envelope_step(const Context& ctx, PartSlot& p) noexcept {
  const int level = p.env_delta == kUp ? std::min(p.level() + 1, int{kMaxLevel}) : (p.level() - p.env_delta) & 0xFF;
  set_level(p, level);
  if (level == 0) return;  // the voice stops until the next key-on
  update_gains(ctx, p);
  if (--p.env_steps == 0) {
    const std::uint32_t next = p.env_seg + 1;
    // A disabled (or missing) next segment lets the current one run on.
    if (next < kEnvelopeSegments && p.env_table.segment[next].period != 0) {
      load_segment(p, next);
      return;
    }
  }
  p.env_count = p.env_period;
}

void update_volume(const Context& ctx, PartSlot& p) noexcept {
  const int offset = static_cast<std::int8_t>(p.volseq.accumulator >> 8);
  p.eff_volume = static_cast<std::uint16_t>(std::clamp(p.volume + offset - 2 * p.fade_steps, 0, 255));
  update_gains(ctx, p);
}

void update_gains(const Context& ctx, PartSlot& p) noexcept {
  const std::uint32_t index = (static_cast<std::uint32_t>(p.env_level) * p.eff_volume) >> 16;
  const std::uint32_t v = (*ctx.volume_table)[index];
  const std::uint32_t g = (v * (p.part_gain & 0xFFFF)) >> 16;
  p.gain_left = ((g * p.pan_gain_left) >> 8) & 0xFFFF;
  p.gain_right = ((g * p.pan_gain_right) >> 8) & 0xFFFF;
}

}  // namespace kvt::driver
