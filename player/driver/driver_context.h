// One driver instance: the host's inputs, the part slots, the effect units
// and the delay memory. Several instances render independently.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "effect_units.h"
#include "isa.h"
#include "kvt/driver.h"
#include "part_slot.h"
#include "song_format.h"

namespace kvt::driver {

inline constexpr int kWorkSize = 384;  // bytes of one part slot as reported to hosts
inline constexpr int kTempoChanges = 8;
inline constexpr std::uint32_t kInitFrameKey = 0x8000;
inline constexpr std::uint32_t kFreeKey = 0xFFFFFFFF;

struct TempoChange {
  std::uint32_t frame_key;
  std::uint16_t samples_per_tick;
};

struct Context : kvt_driver_inputs {
  PartSlot work_adr[song::kDriverParts];
  std::int16_t delay_adr[kDelaySamples];

  // Fixed at init from the inputs.
  const std::array<std::uint16_t, 256>* volume_table;
  int rate_index;
  int rate_factor;
  bool mono;
  bool wide;  // 32-bit render path
  int effects;
  std::uint32_t block_frames;
  std::uint8_t offset_mode;
  // One past the last slot whose part started: the slots after it stay
  // ended, so the block loops stop there.
  int part_slots = song::kDriverParts;

  // Tick clock.
  std::uint16_t samples_per_tick;  // current
  std::uint16_t song_tempo;        // last set by part 1; starts every block
  std::uint32_t frame_key;         // of the tick being run
  TempoChange tempo_changes[kTempoChanges];
  int fade_speed_now;  // fade_speed as read at the start of the block
  std::uint32_t commands_left;  // of the block's command allowance, shared by the parts

  ReverbUnit reverb;
  ChorusUnit chorus[kChorusUnits];

  // Options the host sets; init keeps them.
  bool soft_part_end = false;  // a voice cut by its part's end fades out instead of stopping dead
  Isa isa = best_isa();        // the render loops' instruction set; tests and benchmarks pick others
  // Frames of that fade-out left per part; cleared at init.
  std::uint16_t end_ramp_left[song::kDriverParts];
};

// Bounded reader over the song image. Reading past the image yields zeros
// and marks the read as overrun; the caller then ends the part.
struct SongCursor {
  const std::uint8_t* data;
  std::uint32_t size;
  std::uint32_t pos;
  bool overrun = false;

  bool at_end() const { return pos >= size; }
  std::uint8_t peek() const { return pos < size ? data[pos] : 0; }
  std::uint8_t byte() {
    if (pos >= size) {
      overrun = true;
      return 0;
    }
    return data[pos++];
  }
  std::int8_t sbyte() { return static_cast<std::int8_t>(byte()); }
  std::uint16_t word() {
    const std::uint16_t lo = byte();
    return static_cast<std::uint16_t>(lo | (byte() << 8));
  }
  std::uint32_t dword() {
    const std::uint32_t lo = word();
    return lo | (static_cast<std::uint32_t>(word()) << 16);
  }
  void skip(std::uint32_t n) {
    if (pos > size || n > size - pos) {
      overrun = true;
      pos = size;
    } else {
      pos += n;
    }
  }
};

inline SongCursor cursor_at(const Context& ctx, std::uint32_t pos) {
  const auto size = ctx.fm ? static_cast<std::uint32_t>(std::min<std::size_t>(ctx.fm_size, 0xFFFFFFF0u)) : 0u;
  return SongCursor{ctx.fm, size, pos};
}

}  // namespace kvt::driver
