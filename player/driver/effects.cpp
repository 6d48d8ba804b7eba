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

// One tap over a block. Tap 0 (WritesRing) also feeds the ring. The state
// is kept in locals: the ring stores could otherwise alias its byte fields.
template <bool WritesRing>
void run_tap(ChorusUnit& u, ChorusTap& t, std::int16_t* ring, std::int16_t* half, std::uint32_t frames) {
  // Read position as 24.8 fixed point: ring sample and 8-bit fraction.
  std::uint32_t at = (t.read << 8) | t.fraction;
  constexpr std::uint32_t kCycle = kRingCycle << 8;
  std::uint32_t speed = t.speed;
  std::uint32_t interval_countdown = t.interval_countdown;
  std::uint32_t write = u.write;
  const std::int32_t gain = t.gain;
  const std::int32_t feedback = t.feedback;
  const std::uint16_t left_mask = t.left_mask;
  const std::uint16_t right_mask = t.right_mask;
  for (std::uint32_t f = 0; f < frames; ++f) {
    std::int16_t* frame = half + 2 * f;
    const std::uint32_t read = at >> 8;
    const std::int32_t a = ring[read];
    const std::int32_t v = a + (((ring[read + 1] - a) * static_cast<std::int32_t>(at & 0xFFu)) >> 8);
    if constexpr (WritesRing) {
      ring[write] = wrap16((frame[0] >> 1) + (frame[1] >> 1) + ((v * feedback) >> 8));
      if (++write == kRingSamples) {
        ring[0] = ring[kRingCycle];
        write = 1;
      }
    }
    const auto out = static_cast<std::uint16_t>((v * gain) >> 8);
    frame[0] = wrap16(frame[0] + static_cast<std::int16_t>(out ^ left_mask));
    frame[1] = wrap16(frame[1] + static_cast<std::int16_t>(out ^ right_mask));
    at += speed;
    if (at >= kCycle) at -= kCycle;
    interval_countdown = (interval_countdown - 1) & 0xFFFFu;
    if (interval_countdown != 0) continue;
    // The sweep: the speed moves by the current step every interval and the
    // step turns after each turn length.
    interval_countdown = t.interval;
    speed = (speed + static_cast<std::uint32_t>(t.current_step)) & 0xFFFFu;
    if (--t.turn_countdown == 0) {
      t.current_step = static_cast<std::int16_t>(-t.current_step);
      t.turn_countdown = t.turn_length;
    }
  }
  t.read = at >> 8;
  t.fraction = static_cast<std::uint8_t>(at);
  t.speed = static_cast<std::uint16_t>(speed);
  t.interval_countdown = static_cast<std::uint16_t>(interval_countdown);
  if constexpr (WritesRing) u.write = write;
}

void run_chorus(Context& ctx, ChorusUnit& u, std::int16_t* ring, std::int16_t* half) {
  if (u.tap[0].gain != 0) run_tap<true>(u, u.tap[0], ring, half, ctx.block_frames);
  for (int i = 1; i < kChorusTaps; ++i) {
    if (u.tap[i].gain != 0) run_tap<false>(u, u.tap[i], ring, half, ctx.block_frames);
  }
}

void run_reverb(Context& ctx, std::int16_t* half) {
  ReverbUnit& r = ctx.reverb;
  const std::int32_t level = r.level;
  const std::int32_t feedback = r.feedback;
  std::int32_t previous = r.previous;
  const std::uint32_t samples = 2 * ctx.block_frames;
  for (std::uint32_t i = 0; i < samples;) {
    // Straight runs up to the end of the line.
    const std::uint32_t run = std::min(samples - i, r.countdown);
    std::int16_t* __restrict line = reverb_line(ctx) + r.position;
    std::int16_t* __restrict x = half + i;
    for (std::uint32_t k = 0; k < run; ++k) {
      const std::int32_t dry = x[k];
      const std::int32_t d = line[k];
      x[k] = wrap16(dry + ((d * level) >> 8));
      const std::int32_t t = (d * feedback) >> 8;
      line[k] = wrap16((previous >> 2) + t + dry);
      previous = t;
    }
    i += run;
    r.position += run;
    r.countdown -= run;
    if (r.countdown == 0) {
      r.position = 0;
      r.countdown = r.length;
    }
  }
  r.previous = previous;
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
