// The per-tick modulators of a part: two vibratos, the pitch swing and the
// volume sequence.
#include "driver_internal.h"

namespace kvt::driver {
namespace {

void vibrato_note_on(Vibrato& v) {
  v.offset = 0;
  if (v.count == 0) return;
  v.step_countdown = static_cast<std::uint16_t>(v.count / 2);
  v.tick_countdown = v.speed;
  v.current_step = v.step;
  v.delay_countdown = v.delay;
}

void vibrato_tick(Vibrato& v) {
  if (v.count == 0) return;
  if (v.delay_countdown > 0) {
    --v.delay_countdown;
    return;
  }
  if (--v.tick_countdown != 0) return;  // speed 0 wraps: 256 ticks
  v.tick_countdown = v.speed;
  v.offset = static_cast<std::int16_t>(v.offset + v.current_step);
  if (--v.step_countdown != 0) return;
  v.step_countdown = v.count;
  if (v.count != 0xFFFF) v.current_step = static_cast<std::int16_t>(-v.current_step);
}

void swing_tick(PitchSwing& s) {
  if (s.direction > 0) {
    s.accumulator = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.accumulator) + s.step_size);
    if (s.accumulator >= 0 && s.accumulator >= s.upper_limit) {
      s.accumulator = s.upper_limit;
      s.direction = -1;
    }
  } else if (s.direction < 0) {
    s.accumulator = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.accumulator) - s.step_size);
    if (s.accumulator < 0 && s.accumulator <= s.lower_limit) {
      s.accumulator = s.lower_limit;
      s.direction = 1;
    }
  }
}

constexpr std::uint8_t kOnce = 1;          // shapes one note
constexpr std::uint8_t kAcrossNotes = 3;   // runs once from the first note on
constexpr std::uint8_t kAcrossActive = 5;  // mode 3 after its first note
constexpr std::uint8_t kFinished = 6;      // switches off at the next note

void volseq_load_next(VolumeSequence& v) {
  const VolumeSegment& s = v.segment[v.next];
  if (s.count == 0) {
    v.current_step = 0;
    v.countdown = 0;
    if (v.mode == kAcrossActive) v.mode = kFinished;
    return;
  }
  v.countdown = s.count;
  v.current_step = s.step;
  ++v.next;
}

void volseq_tick(PartSlot& p) {
  VolumeSequence& v = p.volseq;
  if (v.mode == 0) return;
  const std::uint16_t before = v.accumulator >> 8;
  v.accumulator = static_cast<std::uint16_t>(v.accumulator + v.current_step);
  if ((v.accumulator >> 8) != before) p.flags |= kVolumeDirty;
  if (--v.countdown == 0) volseq_load_next(v);
}

void volseq_note_on(PartSlot& p) {
  VolumeSequence& v = p.volseq;
  p.flags |= kVolumeDirty;
  switch (v.mode) {
    case 0: break;
    case kAcrossActive: volseq_tick(p); break;
    case kFinished:
      v.accumulator = 0;
      v.mode = 0;
      break;
    default:
      v.accumulator = v.start;
      v.next = 0;
      volseq_load_next(v);
      if (v.mode == kAcrossNotes) v.mode = kAcrossActive;
      else if (v.mode == kOnce) v.mode = kFinished;
      break;
  }
}

}  // namespace

void modulators_note_on(PartSlot& p) noexcept {
  vibrato_note_on(p.vibrato[0]);
  vibrato_note_on(p.vibrato[1]);
  p.swing.accumulator = 0;
  p.swing.direction = p.swing.initial_direction;
  volseq_note_on(p);
}

void modulators_tick(PartSlot& p) noexcept {
  vibrato_tick(p.vibrato[0]);
  vibrato_tick(p.vibrato[1]);
  swing_tick(p.swing);
  volseq_tick(p);
}

void set_vibrato(Vibrato& v, SongCursor& c) noexcept {
  const std::uint16_t count = c.word();
  if (count == 0) {
    v.count = 0;
    return;
  }
  const std::uint8_t speed = c.byte();
  const std::uint8_t delay = c.byte();
  const auto step = static_cast<std::int16_t>(c.word());
  v.count = count;
  v.speed = speed;
  v.delay = delay;
  v.step = step;
}

void set_swing(PartSlot& p, std::uint16_t period, std::int32_t step) noexcept {
  PitchSwing& s = p.swing;
  s.initial_direction = step >= 0 ? 1 : -1;
  s.step_size = step >= 0 ? static_cast<std::uint32_t>(step) : 0u - static_cast<std::uint32_t>(step);
  const std::uint32_t limit = (period * s.step_size) >> 1;
  s.upper_limit = static_cast<std::int32_t>(limit);
  s.lower_limit = -s.upper_limit;
  if (p.flags & kTiePending) {
    s.accumulator = 0;
    s.direction = s.initial_direction;
  }
}

void swing_off(PartSlot& p) noexcept {
  p.swing.direction = 0;
  p.swing.initial_direction = 0;
  p.swing.accumulator = 0;
}

void set_volume_sequence(PartSlot& p, SongCursor& c) noexcept {
  VolumeSequence& v = p.volseq;
  const std::uint8_t mode = c.byte();
  p.flags |= kVolumeDirty;
  v.accumulator = 0;
  v.mode = mode;
  if (mode == 0) return;
  v.start = static_cast<std::uint16_t>(c.sbyte() * 512);
  int n = 0;
  // Segments beyond the eighth are read over but not kept.
  for (std::uint8_t count = c.byte(); count != 0 && !c.overrun; count = c.byte()) {
    const auto step = static_cast<std::int16_t>(c.word() * 2);
    if (n < kVolumeSegments) v.segment[n++] = {count, step};
  }
  v.segment[n] = {0, 0};
  v.next = 0;
}

std::int16_t pitch_modulation(const PartSlot& p) noexcept {
  const int swing = static_cast<std::int16_t>(static_cast<std::uint32_t>(p.swing.accumulator) >> 16);
  return static_cast<std::int16_t>(p.vibrato[0].offset + p.vibrato[1].offset + p.detune + swing);
}

}  // namespace kvt::driver
