// The effect stage at the end of a block: chorus/delay units, the reverb,
// folding the effect bus into the dry mix, and mono packing.
#include <algorithm>
#include <cstring>

#include "driver_internal.h"

namespace kvt::driver {
namespace {

std::int16_t wrap16(std::int32_t v) { return static_cast<std::int16_t>(v); }

std::int16_t* reverb_line(Context& ctx) { return ctx.delay_adr; }
std::int16_t* chorus_ring(Context& ctx, int unit) { return ctx.delay_adr + kReverbSamples + unit * kRingSamples; }

std::int32_t tap_read(const std::int16_t* ring, const ChorusTap& t) {
  const std::int32_t a = ring[t.read];
  const std::int32_t b = ring[t.read + 1];
  return a + (((b - a) * t.fraction) >> 8);
}

void tap_advance(ChorusTap& t) {
  const std::uint32_t fraction = t.fraction + (t.speed & 0xFFu);
  t.fraction = static_cast<std::uint8_t>(fraction);
  t.read += (t.speed >> 8) + (fraction >> 8);
  if (t.read >= kRingCycle) t.read -= kRingCycle;
  if (--t.interval_countdown != 0) return;
  t.interval_countdown = t.interval;
  t.speed = static_cast<std::uint16_t>(t.speed + t.current_step);
  if (--t.turn_countdown != 0) return;
  t.current_step = static_cast<std::int16_t>(-t.current_step);
  t.turn_countdown = t.turn_length;
}

void tap_mix(std::int16_t* frame, const ChorusTap& t, std::int32_t v) {
  const auto out = static_cast<std::uint16_t>((v * t.gain) >> 8);
  frame[0] = wrap16(frame[0] + static_cast<std::int16_t>(out ^ t.left_mask));
  frame[1] = wrap16(frame[1] + static_cast<std::int16_t>(out ^ t.right_mask));
}

void run_chorus(Context& ctx, ChorusUnit& u, std::int16_t* ring, std::int16_t* half) {
  const std::uint32_t frames = ctx.block_frames;
  ChorusTap& first = u.tap[0];
  if (first.gain != 0) {
    for (std::uint32_t f = 0; f < frames; ++f) {
      std::int16_t* frame = half + 2 * f;
      const std::int32_t v = tap_read(ring, first);
      ring[u.write] = wrap16((frame[0] >> 1) + (frame[1] >> 1) + ((v * first.feedback) >> 8));
      if (++u.write == kRingSamples) {
        ring[0] = ring[kRingCycle];
        u.write = 1;
      }
      tap_mix(frame, first, v);
      tap_advance(first);
    }
  }
  for (int i = 1; i < kChorusTaps; ++i) {
    ChorusTap& t = u.tap[i];
    if (t.gain == 0) continue;
    for (std::uint32_t f = 0; f < frames; ++f) {
      tap_mix(half + 2 * f, t, tap_read(ring, t));
      tap_advance(t);
    }
  }
}

void run_reverb(Context& ctx, std::int16_t* half) {
  ReverbUnit& r = ctx.reverb;
  std::int16_t* line = reverb_line(ctx);
  const std::uint32_t samples = 2 * ctx.block_frames;
  for (std::uint32_t i = 0; i < samples; ++i) {
    const std::int32_t x = half[i];
    const std::int32_t d = line[r.position];
    half[i] = wrap16(x + ((d * r.level) >> 8));
    const std::int32_t t = (d * r.feedback) >> 8;
    line[r.position] = wrap16((r.previous >> 2) + t + x);
    r.previous = t;
    ++r.position;
    if (--r.countdown == 0) {
      r.position = 0;
      r.countdown = r.length;
    }
  }
}

void fold(const Context& ctx, std::int16_t* dry, const std::int16_t* bus) {
  for (std::uint32_t i = 0; i < 2 * ctx.block_frames; ++i) dry[i] = wrap16(dry[i] + bus[i]);
}

void reverb_and_fold(Context& ctx, std::int16_t* dry, std::int16_t* bus) {
  if (ctx.reverb.level == 0) {
    fold(ctx, dry, bus);
    return;
  }
  switch (ctx.reverb.mode) {
    case 1:
      run_reverb(ctx, bus);
      fold(ctx, dry, bus);
      break;
    case 2:
      fold(ctx, dry, bus);
      run_reverb(ctx, dry);
      break;
    default:
      run_reverb(ctx, dry);
      fold(ctx, dry, bus);
      break;
  }
}

void pack_mono(const Context& ctx, std::int16_t* dry) {
  for (std::uint32_t i = 0; i < ctx.block_frames; ++i) dry[i] = dry[2 * i];
}

}  // namespace

void reset_effects(Context& ctx) noexcept {
  ctx.reverb = ReverbUnit{};
  std::fill(std::begin(ctx.chorus), std::end(ctx.chorus), ChorusUnit{});
}

void set_reverb(Context& ctx, SongCursor& c) noexcept {
  const std::uint8_t level = c.byte();
  if (level == 0) {
    if (!c.overrun) ctx.reverb.level = 0;
    return;
  }
  const std::uint8_t feedback = c.byte();
  const std::uint16_t delay = c.word();
  const std::uint8_t mode = c.byte();
  if (c.overrun) return;
  ReverbUnit& r = ctx.reverb;
  r.level = level;
  r.feedback = (feedback * 192) >> 8;
  // The line length is 16-bit (0 standing for 65536) and must fit the
  // reverb's delay memory.
  std::uint32_t length = static_cast<std::uint16_t>(2 * delay * ctx.rate_factor);
  if (length == 0) length = 0x10000;
  r.length = std::min(length, kReverbSamples);
  r.countdown = r.length;
  r.position = 0;
  r.previous = 0;
  r.mode = mode <= 2 ? mode : 0;
}

void set_chorus_tap(Context& ctx, SongCursor& c) noexcept {
  const std::uint8_t unit = c.byte();
  const std::uint8_t tap = c.byte();
  const std::uint8_t gain = c.byte();
  const std::uint8_t feedback = c.byte();
  const std::uint16_t delay = c.word();
  const std::uint8_t depth = c.byte();
  const std::uint8_t rate = c.byte();
  const std::uint8_t speed_step = c.byte();
  const std::uint8_t phase = c.byte();
  // Units 2..5 have no delay memory and are never heard.
  if (c.overrun || unit >= kChorusUnits || tap >= kChorusTaps) return;
  ChorusUnit& u = ctx.chorus[unit];
  ChorusTap& t = u.tap[tap];
  t.gain = gain;
  t.feedback = feedback;
  const std::uint32_t lag = (static_cast<std::uint32_t>(delay) * ctx.rate_factor) % kRingCycle;
  t.read = lag == 0 ? 0 : kRingCycle - lag;  // a delay of 0 reads a whole ring cycle back
  t.fraction = 0;
  t.speed = 0x100;
  t.speed_step = speed_step;
  t.current_step = speed_step;
  t.turn_length = depth & 0xFE;
  t.turn_countdown = depth / 2;
  t.interval = static_cast<std::uint16_t>(rate * ctx.rate_factor);
  t.interval_countdown = t.interval;
  t.left_mask = (!ctx.mono && (phase & 2)) ? 0xFFFF : 0;
  t.right_mask = (!ctx.mono && (phase & 1)) ? 0xFFFF : 0;
  u.write = 0;
  u.active = true;
}

void set_chorus_input(Context& ctx, SongCursor& c) noexcept {
  const std::uint8_t unit = c.byte();
  const std::uint8_t bus = c.byte();
  c.skip(1);
  if (!c.overrun && unit < kChorusUnits) ctx.chorus[unit].input_bus = bus != 0 ? 1 : 0;
}

void finish_block(Context& ctx, std::int16_t* dry, std::int16_t* bus) noexcept {
  if (ctx.effects >= 2) {
    for (int i = 0; i < kChorusUnits; ++i) {
      ChorusUnit& u = ctx.chorus[i];
      if (u.active) run_chorus(ctx, u, chorus_ring(ctx, i), u.input_bus ? bus : dry);
    }
  }
  if (ctx.effects >= 1) reverb_and_fold(ctx, dry, bus);
  if (ctx.mono) pack_mono(ctx, dry);
}

}  // namespace kvt::driver
