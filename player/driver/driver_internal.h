// Operations the parts of the driver call on one another. Everything here
// runs on the rendering thread and must neither allocate nor block.
#pragma once

#include <cstdint>

#include "driver_context.h"
#include "voice_format.h"

namespace kvt::driver {

// Envelope and gain.
void build_envelope(const Context& ctx, PartSlot& p) noexcept;
void select_envelope_set(const Context& ctx, PartSlot& p, int set) noexcept;
void key_on(const Context& ctx, PartSlot& p) noexcept;
void key_off(PartSlot& p) noexcept;
void damp(const Context& ctx, PartSlot& p) noexcept;
void envelope_step(const Context& ctx, PartSlot& p) noexcept;
void update_volume(const Context& ctx, PartSlot& p) noexcept;
void update_gains(const Context& ctx, PartSlot& p) noexcept;

// Voices and pitch.
inline const std::uint8_t* voice_image(const PartSlot& p) { return p.sample_start - voice::kHeaderSize; }
void program_change(const Context& ctx, PartSlot& p, int slot, bool keep_envelope) noexcept;
void set_note_pitch(const Context& ctx, PartSlot& p, int key) noexcept;
void apply_modulation(PartSlot& p, std::int16_t sum) noexcept;
void start_sample(PartSlot& p) noexcept;
// Renders up to `frames` frames into interleaved stereo `out`, stopping early
// when the voice falls silent. Returns the frames rendered.
std::uint32_t render_voice(const Context& ctx, PartSlot& p, std::int16_t* out, std::uint32_t frames) noexcept;

// Per-tick modulators.
void modulators_note_on(PartSlot& p) noexcept;
void modulators_tick(PartSlot& p) noexcept;
void set_vibrato(Vibrato& v, SongCursor& c) noexcept;
void set_swing(PartSlot& p, std::uint16_t period, std::int32_t step) noexcept;
void swing_off(PartSlot& p) noexcept;
void set_volume_sequence(PartSlot& p, SongCursor& c) noexcept;
std::int16_t pitch_modulation(const PartSlot& p) noexcept;

// Sequencer.
void execute_command(Context& ctx, int part, PartSlot& p, std::uint8_t cmd, SongCursor& c) noexcept;
void run_tick(Context& ctx, int part, PartSlot& p, std::uint32_t frame_key) noexcept;
void end_part(PartSlot& p) noexcept;
void set_tempo(Context& ctx, std::uint16_t word, std::uint32_t frame_key) noexcept;

// The end of a part: with soft_part_end a sounding voice fades out over a
// few milliseconds, rendered (additively into stereo `out`) from the frame
// where the part ended and on through the following blocks.
void start_end_ramp(Context& ctx, int part, const PartSlot& p) noexcept;
void render_end_ramp(Context& ctx, int part, PartSlot& p, std::int16_t* out, std::uint32_t frames) noexcept;

// Effects and output.
void reset_effects(Context& ctx) noexcept;
void set_reverb(Context& ctx, SongCursor& c) noexcept;
void set_chorus_tap(Context& ctx, SongCursor& c) noexcept;
void set_chorus_input(Context& ctx, SongCursor& c) noexcept;
void finish_block(Context& ctx, std::int16_t* dry, std::int16_t* bus) noexcept;

}  // namespace kvt::driver
