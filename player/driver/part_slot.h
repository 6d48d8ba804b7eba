// The per-part work area of the driver. Plain data, so a copy of a slot is a
// copy of the part's whole play state.
#pragma once

#include <cstdint>

namespace kvt::driver {

inline constexpr std::uint32_t kNoPosition = 0xFFFFFFFF;  // seq_ptr, loop_ptr, call/return
inline constexpr std::uint16_t kNever = 0xFFFF;           // damp_at / keyoff_at
inline constexpr int kRepeatDepth = 16;
inline constexpr int kEnvelopeParams = 8;
inline constexpr int kEnvelopeSegments = 5;  // attack, decay, sustain, second decay, release
inline constexpr int kReleaseSegment = 4;
inline constexpr int kVolumeSegments = 8;

enum PartFlags : std::uint8_t {
  kTiePending = 0x08,
  kKeyHeld = 0x20,
  kVolumeDirty = 0x40,
};

struct RepeatEntry {
  std::uint8_t count;
  std::uint32_t position;

  bool operator==(const RepeatEntry&) const = default;
};

struct Vibrato {
  std::int16_t offset;
  std::uint8_t tick_countdown;
  std::uint8_t speed;
  std::uint16_t step_countdown;
  std::uint16_t count;
  std::int16_t current_step;
  std::int16_t step;
  std::uint8_t delay_countdown;
  std::uint8_t delay;
};

struct PitchSwing {
  std::int32_t accumulator;  // 16.16; the high word is the pitch offset
  std::uint32_t step_size;
  std::int8_t direction;  // +1, -1, 0 = off
  std::int8_t initial_direction;
  std::int32_t upper_limit;
  std::int32_t lower_limit;
  std::uint8_t short_period;
};

struct EnvelopeSegment {
  std::uint32_t period;  // samples per step; 0 = disabled
  std::uint8_t count;    // steps
  std::uint8_t delta;    // subtracted from the level each step
};

struct EnvelopeTable {
  std::uint8_t initial_level;  // doubled parameter scale, 0..254
  EnvelopeSegment segment[kEnvelopeSegments];
};

struct VolumeSegment {
  std::uint8_t count;  // ticks; 0 terminates
  std::int16_t step;   // 8.8 volume units per tick
};

struct VolumeSequence {
  std::uint8_t mode;
  std::uint16_t accumulator;  // 8.8; the high byte is a signed volume offset
  std::uint16_t start;
  std::int16_t current_step;
  std::uint8_t countdown;
  std::uint8_t next;  // index of the next segment to load
  VolumeSegment segment[kVolumeSegments + 1];
};

struct PartSlot {
  // sequence
  std::uint32_t seq_ptr;
  std::uint32_t loop_ptr;
  // pitch (16.16 fixed point)
  std::uint16_t step_frac;
  std::uint32_t step_int;
  std::uint32_t base_step;
  std::uint32_t tuning;
  // gain
  std::uint32_t gain_left;
  std::uint32_t gain_right;
  // sample: positions are sample indices from `sample_start`
  const std::uint8_t* sample_start;  // null = no voice
  std::uint32_t sample_end;          // number of samples
  std::uint32_t pos_frac;
  std::uint32_t pos;
  std::uint32_t loop_len;
  // envelope timing
  std::uint32_t env_period;
  std::uint32_t env_count;
  std::uint8_t loop_frac;
  // level
  std::uint16_t eff_volume;
  std::uint32_t part_gain;
  // timing
  std::uint16_t tick_count;
  std::uint32_t loop_count;  // passes; reported to the exports modulo 256, as ever
  std::uint16_t remaining;
  // state
  std::uint8_t flags;
  std::uint8_t ended;
  std::uint8_t default_len;
  // repeats and call
  std::uint16_t rep_depth;
  RepeatEntry repeat[kRepeatDepth];
  std::uint32_t call_target;
  std::uint32_t return_ptr;
  // volume and pan
  std::uint8_t volume;
  std::uint16_t pan_gain_left;
  std::uint16_t pan_gain_right;
  std::int8_t pan;
  std::uint8_t effect_send;
  // modulation
  Vibrato vibrato[2];
  std::int16_t detune;
  std::uint8_t gate_q;
  std::uint8_t gate_ticks;
  std::uint8_t gate_min;
  std::uint16_t damp_ticks;
  std::uint16_t damp_at;
  std::uint16_t keyoff_at;
  PitchSwing swing;
  // key
  std::int8_t transpose;
  std::uint8_t octave_shift;
  // envelope
  std::uint16_t env_level;  // level in the high byte, 0..254
  std::uint8_t env_delta;
  std::uint32_t env_seg;
  std::uint8_t env_steps;
  EnvelopeTable env_table;
  std::uint8_t env_params[kEnvelopeParams];
  std::uint8_t peak_level;
  std::uint8_t decay_shift;
  std::int8_t rate_offset[3];  // attack; decay and sustain; release
  // voice
  std::uint8_t sample_16bit;
  std::uint8_t rate_class;
  std::uint8_t key_offset;
  std::uint8_t one_shot;
  std::uint8_t start_at_loop;
  std::uint32_t fade_count;
  std::uint8_t fade_steps;
  std::uint16_t voice_slot;
  VolumeSequence volseq;

  std::uint8_t level() const { return static_cast<std::uint8_t>(env_level >> 8); }
  bool has_voice() const { return sample_start != nullptr; }
  bool sounding() const { return env_level != 0; }
};

}  // namespace kvt::driver
