// Program change, note pitch and the per-sample playback of a part's voice.
#include <algorithm>
#include <bit>
#include <cstring>

#include "driver_internal.h"
#include "tables.h"
#include "voice_format.h"
#include "voice_run.h"

namespace kvt::driver {
namespace {

std::uint16_t rd16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t high_word(const std::uint8_t* p) {
  const std::uint16_t w = rd16(p);
  return w == 0xFFFF ? 0 : w;
}

struct VoiceInfo {
  const std::uint8_t* image;
  bool wide;
  std::uint32_t length;
  std::uint32_t loop_start;
  std::uint8_t loop_fraction;
};

// A voice image is usable only when every sample the renderer can touch
// (the data plus the appended copy of the loop-start sample) lies inside it.
bool read_voice(const Context& ctx, int slot, VoiceInfo& v) {
  const std::uint8_t* image = ctx.kvw[slot];
  const std::size_t size = ctx.kvw_size[slot];
  if (image == nullptr || image == KVT_EMPTY_VOICE || size < voice::kHeaderSize) return false;
  v.image = image;
  v.wide = std::memcmp(image, voice::kMagic16, 4) == 0;
  v.length = (high_word(image + voice::kOffLengthHigh) << 16) | rd16(image + voice::kOffLengthLow);
  v.loop_start = (high_word(image + voice::kOffLoopHigh) << 16) | rd16(image + voice::kOffLoopLow);
  v.loop_fraction = image[voice::kOffLoopFraction];
  constexpr std::uint32_t kMaxLength = 1u << 30;
  if (v.length >= kMaxLength || image[voice::kOffRateClass] >= voice::kRateClasses) return false;
  if (v.loop_start > v.length) return false;
  // A loop shortened by a fraction needs a sample to loop over; a voice
  // without samples never plays, so its loop fields do not matter.
  if (v.loop_fraction != 0 && v.loop_start == v.length && v.length != 0) return false;
  const std::uint64_t need = voice::kHeaderSize + (std::uint64_t{v.length} + 1) * (v.wide ? 2 : 1);
  return need <= size;
}

void set_step(PartSlot& p, std::uint32_t step) {
  p.step_int = step >> 16;
  p.step_frac = static_cast<std::uint16_t>(step);
}

// Play positions inside the renderer are 48.16 fixed point: the sample
// index and its 16-bit fraction in one integer.
std::uint64_t fixed(std::uint32_t whole, std::uint32_t fraction) { return (std::uint64_t{whole} << 16) | fraction; }

// Moves a position that ran past the sample end back by whole loops;
// returns false when the voice has no loop and stops.
bool wrap_loop(const PartSlot& p, std::uint64_t& at) {
  if (p.one_shot == 1 || p.loop_len == 0) return false;
  const std::uint64_t end = fixed(p.sample_end, 0);
  const std::uint64_t loop = fixed(p.loop_len, 0) + p.loop_frac * 256u;
  at -= loop;
  if (at >= end) at -= ((at - end) / loop + 1) * loop;  // a step longer than the loop
  return true;
}

static_assert(std::endian::native == std::endian::little, "voice images are read in place");

// Renders up to `frames` frames in straight runs: each run ends at the
// frame that reaches the sample end (found with one division), where the
// loop wraps or the voice stops.
std::uint32_t render_frames(PartSlot& p, std::int16_t* out, std::uint32_t frames, VoiceKernel kernel) {
  VoiceRun r{p.sample_start,  fixed(p.pos, p.pos_frac), fixed(p.step_int, p.step_frac), p.sample_end,
             static_cast<std::int32_t>(p.gain_left), static_cast<std::int32_t>(p.gain_right)};
  const std::uint64_t end = fixed(p.sample_end, 0);
  std::uint32_t n = 0;
  // A note never starts at or past the sample end, but the position is
  // checked before any sample is read all the same.
  bool playing = r.at < end || wrap_loop(p, r.at);
  while (playing && n < frames) {
    std::uint32_t run = frames - n;
    if (r.step != 0) {
      run = static_cast<std::uint32_t>(std::min<std::uint64_t>(run, (end - r.at + r.step - 1) / r.step));
    }
    kernel(r, out + 2 * n, run);
    n += run;
    r.at += run * r.step;
    playing = r.at < end || wrap_loop(p, r.at);
  }
  if (!playing) p.env_level = 0;
  p.pos = static_cast<std::uint32_t>(r.at >> 16);
  p.pos_frac = static_cast<std::uint32_t>(r.at & 0xFFFF);
  return n;
}

VoiceKernel kernel_for(const Context& ctx, const PartSlot& p) {
  // Centred and mono parts have equal gains: one product serves both.
  return voice_kernels(ctx.isa)[voice_shape(ctx.wide, p.sample_16bit != 0, p.pan_gain_left == p.pan_gain_right)];
}

}  // namespace

void program_change(const Context& ctx, PartSlot& p, int slot, bool keep_envelope) noexcept {
  VoiceInfo v{};
  if (!read_voice(ctx, slot, v)) {
    p.env_level = 0;
    return;
  }
  const std::uint8_t* image = v.image;
  p.voice_slot = static_cast<std::uint16_t>(slot);
  p.sample_16bit = v.wide ? 1 : 0;
  p.sample_start = image + voice::kHeaderSize;
  p.sample_end = v.length;
  p.loop_len = v.length - v.loop_start - (v.loop_fraction != 0 ? 1 : 0);
  p.loop_frac = static_cast<std::uint8_t>(v.loop_fraction != 0 ? 256 - v.loop_fraction : 0);
  p.rate_class = image[voice::kOffRateClass];
  p.one_shot = image[voice::kOffOneShot];
  p.key_offset = image[voice::kOffKeyOffset];
  const std::uint16_t tuning = rd16(image + voice::kOffTuning);
  p.tuning = tuning == 0xFFFF ? voice::kUnityTuning : tuning;
  if (!keep_envelope) select_envelope_set(ctx, p, image[voice::kOffDefaultSet] & 3);
  p.start_at_loop = 0;
  p.env_level = 0;
}

void set_note_pitch(const Context& ctx, PartSlot& p, int key) noexcept {
  const int index = (key + p.key_offset) & 0xFF;
  const std::uint64_t entry = pitch_entry(p.rate_class, ctx.rate_index, index);
  const auto tuned = static_cast<std::uint32_t>((entry * p.tuning) >> 15);
  p.base_step = p.octave_shift >= 32 ? 0 : tuned >> p.octave_shift;
  set_step(p, p.base_step);
}

void apply_modulation(PartSlot& p, std::int16_t sum) noexcept {
  if (sum == 0) return;  // the step keeps its last value
  const std::int64_t product = static_cast<std::int64_t>(p.base_step) * (4096 + sum);
  set_step(p, static_cast<std::uint32_t>(product >> 12));
}

void start_sample(PartSlot& p) noexcept {
  p.pos = p.start_at_loop == 1 ? p.sample_end - p.loop_len : 0;
  p.pos_frac = 0;
}

std::uint32_t render_voice(const Context& ctx, PartSlot& p, std::int16_t* out, std::uint32_t frames) noexcept {
  const VoiceKernel kernel = kernel_for(ctx, p);
  std::uint32_t done = 0;
  while (done < frames && p.sounding()) {
    // Render straight up to the next envelope step.
    const std::uint32_t run = std::min(frames - done, p.env_count);
    const std::uint32_t n = render_frames(p, out + 2 * done, run, kernel);
    done += n;
    p.env_count -= n;
    if (!p.sounding()) break;
    if (p.env_count == 0) envelope_step(ctx, p);
  }
  return done;
}

}  // namespace kvt::driver
