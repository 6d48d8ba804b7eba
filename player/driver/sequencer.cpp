// One tick of one part: damp and release points, event reading, notes and
// rests with their gate, the modulators, pitch and the fade-out.
#include <algorithm>

#include "command_guard.h"
#include "driver_internal.h"

namespace kvt::driver {
namespace {

using namespace song;

constexpr int kFadeSteps = 128;

bool tie_follows(const Context& ctx, const PartSlot& p) { return cursor_at(ctx, p.seq_ptr).peek() == kTie; }

void damp_or_release(const Context& ctx, PartSlot& p) {
  if (p.remaining == p.damp_at) {
    if (tie_follows(ctx, p)) p.flags |= kTiePending;
    else damp(ctx, p);
  } else if (p.remaining == p.keyoff_at) {
    if (tie_follows(ctx, p)) p.flags |= kTiePending;
    else key_off(p);
  }
}

void start_note(const Context& ctx, PartSlot& p, std::uint8_t b) {
  int key = (b & kLowMask) + p.transpose;
  if (p.transpose >= 0) {
    while (key > kHighestKey) key -= 12;
  } else {
    while (key < 0) key += 12;
  }
  set_note_pitch(ctx, p, key);
  if (p.flags & kTiePending) return;  // the sounding voice only glides to the new pitch
  modulators_note_on(p);
  start_sample(p);
  p.keyoff_at = 0;
  key_on(ctx, p);
}

void start_rest(PartSlot& p) {
  key_off(p);
  p.keyoff_at = kNever;
}

std::uint8_t event_length(const PartSlot& p, std::uint8_t b, SongCursor& c) {
  return (b & kDefaultLengthBit) ? p.default_len : c.byte();
}

// Length of the note or rest at the cursor, its gate point and a directly
// following rest merged into it.
void read_length(PartSlot& p, std::uint8_t b, SongCursor& c) {
  p.flags &= ~kTiePending;
  const std::uint16_t length = event_length(p, b, c);
  p.remaining = length;
  p.damp_at = p.damp_ticks;
  if (p.keyoff_at != kNever) {
    int r = ((length * p.gate_q) >> 5) + p.gate_ticks;
    if (r + p.gate_min >= length) r = std::max(length - p.gate_min, 0);
    p.keyoff_at = static_cast<std::uint16_t>(r);
  }
  const std::uint8_t next = c.peek();
  if (c.at_end() || !is_rest(next)) return;
  ++c.pos;
  const std::uint8_t extra = event_length(p, next, c);
  p.remaining = static_cast<std::uint16_t>(p.remaining + extra);
  p.keyoff_at = static_cast<std::uint16_t>(p.keyoff_at + extra);
}

// Reads commands up to the next note or rest and starts it. Returns false
// when the part ended.
bool read_events(Context& ctx, int part, PartSlot& p) {
  SongCursor c = cursor_at(ctx, p.seq_ptr);
  CommandGuard guard;
  while (!c.at_end()) {
    const std::uint8_t b = c.data[c.pos++];
    if (is_command(b)) {
      if (!guard.allows(ctx, p, c.pos)) break;
      execute_command(ctx, part, p, b, c);
      if (c.overrun) break;
      if (p.ended) return false;
      continue;
    }
    if (is_note(b) && p.has_voice()) start_note(ctx, p, b);
    else start_rest(p);
    read_length(p, b, c);
    if (c.overrun) break;
    p.seq_ptr = c.pos;
    return true;
  }
  end_part(p);
  return false;
}

void fade_and_volume(const Context& ctx, PartSlot& p) {
  bool stepped = false;
  if (ctx.fade_speed_now != 0 && --p.fade_count == 0) {
    p.fade_count = static_cast<std::uint32_t>(ctx.fade_speed_now);
    stepped = true;
    if (++p.fade_steps >= kFadeSteps) {
      p.ended = 1;
      p.fade_steps = 255;
      return;
    }
  }
  if (stepped || (p.flags & kVolumeDirty)) update_volume(ctx, p);
}

void advance(Context& ctx, int part, PartSlot& p) {
  p.flags &= ~kVolumeDirty;
  --p.remaining;
  damp_or_release(ctx, p);
  if (p.remaining != 0) {
    if (!p.sounding()) {
      fade_and_volume(ctx, p);
      return;
    }
    modulators_tick(p);
  } else if (!read_events(ctx, part, p)) {
    return;
  }
  apply_modulation(p, pitch_modulation(p));
  fade_and_volume(ctx, p);
}

}  // namespace

void end_part(PartSlot& p) noexcept {
  p.ended = 1;
  p.seq_ptr = kNoPosition;
}

void set_tempo(Context& ctx, std::uint16_t word, std::uint32_t frame_key) noexcept {
  const auto spt = static_cast<std::uint16_t>(std::min(ctx.rate_factor * std::max<int>(word, 1), 0xFFFF));
  ctx.samples_per_tick = spt;
  ctx.song_tempo = spt;
  TempoChange* slot = &ctx.tempo_changes[kTempoChanges - 1];
  for (TempoChange& t : ctx.tempo_changes) {
    if (t.frame_key == frame_key || t.frame_key == kFreeKey) {
      slot = &t;
      break;
    }
  }
  *slot = {frame_key, spt};
}

void run_tick(Context& ctx, int part, PartSlot& p, std::uint32_t frame_key) noexcept {
  ctx.frame_key = frame_key;
  for (const TempoChange& t : ctx.tempo_changes) {
    if (t.frame_key == frame_key) {
      ctx.samples_per_tick = t.samples_per_tick;
      break;
    }
  }
  if (p.seq_ptr != kNoPosition && !p.ended) advance(ctx, part, p);
  p.tick_count = ctx.samples_per_tick;
}

}  // namespace kvt::driver
