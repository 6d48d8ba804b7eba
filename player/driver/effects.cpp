// The effect stage at the end of a block: chorus/delay units, the reverb,
// folding the effect bus into the dry mix, and mono packing.
#include <algorithm>
#include <cstring>

#include "driver_internal.h"
#include "effect_runs.h"

namespace kvt::driver {
namespace {

std::int16_t* reverb_line(Context& ctx) { return ctx.delay_adr; }
std::int16_t* chorus_ring(Context& ctx, int unit) { return ctx.delay_adr + kReverbSamples + unit * kRingSamples; }

// Frames up to the next of the sweep's interval events.
std::uint32_t frames_to_sweep(std::uint32_t interval_countdown) {
  return interval_countdown == 0 ? 0x10000 : interval_countdown;  // the 16-bit countdown wraps first
}

// One tap over a block, in runs split where the read or write position
// wraps and where the sweep moves the speed. Tap 0 (FeedsRing) also feeds
// the ring.
template <bool FeedsRing>
void run_tap(TapKernel kernel, ChorusUnit& u, ChorusTap& t, std::int16_t* ring, std::int16_t* half,
             std::uint32_t frames) {
  // Read position as 24.8 fixed point: ring sample and 8-bit fraction.
  constexpr std::uint32_t kCycle = kRingCycle << 8;
  TapRun run{ring, half, (t.read << 8) | t.fraction, t.speed, u.write, t.gain, t.feedback,
             t.left_mask | (std::uint32_t{t.right_mask} << 16)};
  std::uint32_t interval_countdown = t.interval_countdown;
  for (std::uint32_t f = 0; f < frames;) {
    std::uint32_t n = std::min(frames - f, frames_to_sweep(interval_countdown));
    if (run.speed != 0) n = std::min(n, (kCycle - run.at + run.speed - 1) / run.speed);
    if constexpr (FeedsRing) n = std::min(n, kRingSamples - run.write);
    run.frames = half + 2 * f;
    kernel(run, n);
    f += n;
    run.at += n * run.speed;
    if (run.at >= kCycle) run.at -= kCycle;
    if constexpr (FeedsRing) {
      run.write += n;
      if (run.write == kRingSamples) {
        ring[0] = ring[kRingCycle];
        run.write = 1;
      }
    }
    interval_countdown = (interval_countdown - n) & 0xFFFFu;
    if (interval_countdown != 0) continue;
    // The sweep: the speed moves by the current step every interval and the
    // step turns after each turn length.
    interval_countdown = t.interval;
    run.speed = (run.speed + static_cast<std::uint32_t>(t.current_step)) & 0xFFFFu;
    if (--t.turn_countdown == 0) {
      t.current_step = static_cast<std::int16_t>(-t.current_step);
      t.turn_countdown = t.turn_length;
    }
  }
  t.read = run.at >> 8;
  t.fraction = static_cast<std::uint8_t>(run.at);
  t.speed = static_cast<std::uint16_t>(run.speed);
  t.interval_countdown = static_cast<std::uint16_t>(interval_countdown);
  if constexpr (FeedsRing) u.write = run.write;
}

void run_chorus(Context& ctx, ChorusUnit& u, std::int16_t* ring, std::int16_t* half) {
  const EffectKernels& kernels = effect_kernels(ctx.isa);
  if (u.tap[0].gain != 0) run_tap<true>(kernels.feed_tap, u, u.tap[0], ring, half, ctx.block_frames);
  for (int i = 1; i < kChorusTaps; ++i) {
    if (u.tap[i].gain != 0) run_tap<false>(kernels.tap, u, u.tap[i], ring, half, ctx.block_frames);
  }
}

void run_reverb(Context& ctx, std::int16_t* half) {
  ReverbUnit& r = ctx.reverb;
  const ReverbKernel kernel = effect_kernels(ctx.isa).reverb;
  const std::uint32_t samples = 2 * ctx.block_frames;
  for (std::uint32_t i = 0; i < samples;) {
    // Straight runs up to the end of the line.
    const std::uint32_t run = std::min(samples - i, r.countdown);
    kernel(half + i, reverb_line(ctx) + r.position, run, r.level, r.feedback, r.previous);
    i += run;
    r.position += run;
    r.countdown -= run;
    if (r.countdown == 0) {
      r.position = 0;
      r.countdown = r.length;
    }
  }
}

void fold(const Context& ctx, std::int16_t* dry, const std::int16_t* bus) {
  effect_kernels(ctx.isa).fold(dry, bus, 2 * ctx.block_frames);
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
