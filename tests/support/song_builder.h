// Builders for small song data and voice images, and a harness that renders
// them through a driver context. Shared by the tests, benchmarks and fuzzers.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"

namespace kvt::test {

using Bytes = std::vector<std::uint8_t>;

struct VoiceParams {
  bool wide = true;                    // "FSPW" 16-bit, else 8-bit (already offset by 0x80)
  std::vector<std::int32_t> samples;   // signed 16-bit values, or 0..255 for 8-bit
  std::uint32_t loop_start = 0;
  std::uint8_t loop_fraction = 0;
  std::uint8_t rate_class = 0;
  std::uint8_t key_offset = 0;
  std::uint8_t default_set = 0;
  bool one_shot = false;
  std::uint16_t tuning = 0x8000;
  // Every set: flat at full level until key-off, then release at rate 92.
  std::array<std::array<std::uint8_t, 8>, 4> sets{{{127, 0, 0, 0, 0, 0, 0, 92},
                                                   {127, 0, 0, 0, 0, 0, 0, 92},
                                                   {127, 0, 0, 0, 0, 0, 0, 92},
                                                   {127, 0, 0, 0, 0, 0, 0, 92}}};
  std::array<std::uint8_t, 8> set_levels{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

// The voice image as the loader leaves it: header, samples and the copy of
// the loop-start sample after the last one.
Bytes make_voice(const VoiceParams& params);
// The voice as its ".kvw" file holds it: no copied sample after the data,
// and 8-bit samples signed.
Bytes voice_file(const VoiceParams& params);
// A looped 16-bit voice whose every sample is `value`.
Bytes dc_voice(std::int32_t value, std::uint32_t length = 64);

struct SongParams {
  std::uint8_t default_length = 48;
  std::uint16_t tempo = 1;  // one tick = 16 frames at 44.1 kHz
  bool paragraphs = false;
  std::vector<Bytes> parts;  // part 1 first; an empty part is absent
};
// What the loader reads besides the parts.
struct SongListing {
  // The voice list (slot and name), placed after the part table.
  std::vector<std::pair<std::uint8_t, std::string>> voices;
  std::optional<Bytes> title;  // a title block: length byte and text, at the end
};
Bytes make_song(const SongParams& params, const SongListing& listing = {});

struct Output {
  int rate_index = 0;
  int channel = 2;
  int effect_level = 0;
  int cpu_code = 1;
};

// Owns a context, its song, its voices and a block buffer of 16384 bytes.
class Harness {
 public:
  Harness(Bytes song, std::map<int, Bytes> voices, Output out = {});
  driver::Context& ctx() { return *ctx_; }
  driver::PartSlot& part(int index) { return ctx_->work_adr[index]; }
  void init();
  // Shorter blocks (at most 2048 frames), e.g. one tick each; restarts the song.
  void set_block_frames(int frames);
  int play();  // one block
  const std::int16_t* block() const { return buffer_.data(); }
  std::size_t block_samples() const;  // samples in the output of one block
  // The output of `blocks` blocks, concatenated.
  std::vector<std::int16_t> render(int blocks);
  // Left channel of stereo output (or the mono samples) of `blocks` blocks.
  std::vector<std::int16_t> render_left(int blocks);

 private:
  std::unique_ptr<driver::Context> ctx_;
  Bytes song_;
  std::map<int, Bytes> voices_;
  std::vector<std::int16_t> buffer_;
};

}  // namespace kvt::test
