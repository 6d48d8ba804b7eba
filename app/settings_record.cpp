#include "settings_record.h"

#include <algorithm>
#include <optional>

#include "atomic_file.h"
#include "program_paths.h"
#include "regular_file.h"
#include "utf8_text.h"

namespace kvt::app {

namespace {

using Bytes = std::array<std::uint8_t, kSettingsSize>;

// The values a field accepts, and what replaces any other.
struct Range {
  std::int32_t low;
  std::int32_t high;
  std::int32_t replacement;
};

struct IntField {
  std::int32_t Settings::*member;
  std::size_t offset;
  std::optional<Range> range;  // none: any value is kept
};

// Every integer of the record, in record order. `wav_bits` (8 or 16) is
// no range and is checked on its own.
constexpr IntField kIntFields[] = {
    {&Settings::play_rate, 536, Range{0, 6, 2}},        {&Settings::play_pan, 540, Range{0, 1, 0}},
    {&Settings::keep_converted, 544, Range{0, 1, 1}},   {&Settings::play_effect, 548, Range{0, 2, 1}},
    {&Settings::play_fade, 552, Range{0, 2, 0}},        {&Settings::play_loop, 556, Range{1, 2, 1}},
    {&Settings::wav_rate, 560, Range{0, 6, 4}},         {&Settings::wav_pan, 564, Range{0, 1, 1}},
    {&Settings::wav_effect, 568, Range{0, 2, 2}},       {&Settings::wav_fade, 572, Range{0, 2, 0}},
    {&Settings::wav_loop, 576, Range{1, 2, 1}},         {&Settings::main_width, 580, Range{0, 1280, 618}},
    {&Settings::main_height, 584, Range{0, 1024, 448}}, {&Settings::midi_reverb, 588, Range{0, 255, 90}},
    {&Settings::midi_chorus, 592, Range{0, 255, 100}},  {&Settings::midi_chorus_depth, 596, Range{1, 6, 2}},
    {&Settings::midi_volume, 600, Range{-15, 15, 0}},   {&Settings::midi_drum_volume, 604, Range{-15, 15, 0}},
    {&Settings::wav_bits, 864, std::nullopt},           {&Settings::reserved_zero, 868, Range{0, 0, 0}},
    {&Settings::main_left, 872, std::nullopt},          {&Settings::main_top, 876, std::nullopt},
    {&Settings::program_mode, 880, Range{0, 3, 0}},     {&Settings::cfg_select, 884, Range{0, 1, 0}},
    {&Settings::doc_visible, 888, Range{0, 1, 0}},      {&Settings::doc_left, 892, Range{0, 1280, 20}},
    {&Settings::doc_top, 896, Range{0, 1024, 20}},      {&Settings::doc_width, 900, Range{0, 1280, 600}},
    {&Settings::doc_height, 904, Range{0, 1024, 300}},  {&Settings::view_visible, 908, Range{0, 1, 0}},
    {&Settings::view_left, 912, Range{0, 1280, 40}},    {&Settings::view_top, 916, Range{0, 1024, 40}},
    {&Settings::no_screensaver, 920, Range{0, 1, 0}},   {&Settings::list_mode, 924, Range{0, 1, 0}},
    {&Settings::cur_album, 928, std::nullopt},
};

constexpr std::size_t kReservedHeadOffset = 0;
constexpr std::size_t kPcmDir1Offset = 20;
constexpr std::size_t kPcmDir2Offset = 276;
constexpr std::size_t kReservedMiddleOffset = 532;
constexpr std::size_t kLastDirOffset = 608;

// Raw bytes, whether held as chars (paths) or as bytes (reserved blocks).
template <typename T, std::size_t N>
void put_block(Bytes& bytes, std::size_t offset, const std::array<T, N>& block) {
  std::transform(block.begin(), block.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 [](T c) { return static_cast<std::uint8_t>(c); });
}

template <typename T, std::size_t N>
void get_block(const Bytes& bytes, std::size_t offset, std::array<T, N>& block) {
  const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
  std::transform(from, from + N, block.begin(), [](std::uint8_t b) { return static_cast<T>(b); });
}

void put_int(Bytes& bytes, std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t k = 0; k < 4; ++k) bytes[offset + k] = static_cast<std::uint8_t>(bits >> (8 * k));
}

std::int32_t get_int(const Bytes& bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (std::size_t k = 0; k < 4; ++k) bits |= static_cast<std::uint32_t>(bytes[offset + k]) << (8 * k);
  return static_cast<std::int32_t>(bits);
}

}  // namespace

std::string path_text(const SettingsPath& path) {
  const auto end = std::find(path.begin(), path.end(), '\0');
  return std::string(path.begin(), end);
}

void set_path_text(SettingsPath& path, const std::string& text) {
  // Cut between characters: half a character would make the name invalid.
  const std::size_t length = utf8_prefix(text, kSettingsPathSize - 1);
  path.fill('\0');
  std::copy_n(text.begin(), length, path.begin());
}

Settings fresh_settings(const ProgramPaths& paths) {
  Settings settings;
  set_path_text(settings.pcm_dir1, paths.voice_dir1);
  set_path_text(settings.pcm_dir2, paths.voice_dir2);
  set_path_text(settings.last_dir, paths.sample_dir);
  return settings;
}

void repair(Settings& settings) {
  for (const IntField& field : kIntFields) {
    std::int32_t& value = settings.*field.member;
    if (field.range && (value < field.range->low || value > field.range->high)) value = field.range->replacement;
  }
  if (settings.wav_bits != 8 && settings.wav_bits != 16) settings.wav_bits = 8;
}

std::array<std::uint8_t, kSettingsSize> to_bytes(const Settings& settings) {
  Bytes bytes{};
  put_block(bytes, kReservedHeadOffset, settings.reserved_head);
  put_block(bytes, kPcmDir1Offset, settings.pcm_dir1);
  put_block(bytes, kPcmDir2Offset, settings.pcm_dir2);
  put_block(bytes, kReservedMiddleOffset, settings.reserved_middle);
  put_block(bytes, kLastDirOffset, settings.last_dir);
  for (const IntField& field : kIntFields) put_int(bytes, field.offset, settings.*field.member);
  return bytes;
}

Settings from_bytes(const std::vector<std::uint8_t>& image) {
  Bytes bytes{};
  std::copy_n(image.begin(), std::min(image.size(), kSettingsSize), bytes.begin());
  Settings settings;
  get_block(bytes, kReservedHeadOffset, settings.reserved_head);
  get_block(bytes, kPcmDir1Offset, settings.pcm_dir1);
  get_block(bytes, kPcmDir2Offset, settings.pcm_dir2);
  get_block(bytes, kReservedMiddleOffset, settings.reserved_middle);
  get_block(bytes, kLastDirOffset, settings.last_dir);
  for (const IntField& field : kIntFields) settings.*field.member = get_int(bytes, field.offset);
  return settings;
}

Settings load_settings(const ProgramPaths& paths) {
  // A settings file is one record; anything much larger is no settings file.
  constexpr std::size_t kReadLimit = 64 * 1024;
  std::vector<std::uint8_t> image;
  if (read_regular_file(paths.inifile, kReadLimit, image) != FileRead::ok) return fresh_settings(paths);
  Settings settings = from_bytes(image);
  repair(settings);
  return settings;
}

bool save_settings(const ProgramPaths& paths, const Settings& settings) {
  const auto bytes = to_bytes(settings);
  return write_file_atomically(paths.inifile, bytes.data(), bytes.size());
}

}  // namespace kvt::app
