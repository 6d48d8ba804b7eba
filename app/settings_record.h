// The settings record: everything the program remembers between runs, saved
// whole as the settings file, byte for byte the 932-byte little-endian
// layout that existing settings files have (reserved bytes kept as read).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvt::app {

struct ProgramPaths;

inline constexpr std::size_t kSettingsSize = 932;
inline constexpr std::size_t kSettingsPathSize = 256;

using SettingsPath = std::array<char, kSettingsPathSize>;  // NUL-terminated bytes

// `en`; `ent` is a second record of the same kind that a dialog edits.
struct Settings {
  std::array<std::uint8_t, 20> reserved_head{};
  SettingsPath pcm_dir1{};  // first voice directory (wildcards allowed)
  SettingsPath pcm_dir2{};  // second voice directory
  std::array<std::uint8_t, 4> reserved_middle{};
  std::int32_t play_rate = 2;       // rate index 0..6
  std::int32_t play_pan = 0;        // 0 stereo, 1 mono
  std::int32_t keep_converted = 0;  // 1: keep converted song data beside its source
  std::int32_t play_effect = 1;     // 0 none, 1 reverb, 2 reverb and chorus
  std::int32_t play_fade = 0;       // 0 fast, 1 normal, 2 slow
  std::int32_t play_loop = 1;       // passes before the fade-out, 1..2
  std::int32_t wav_rate = 4;
  std::int32_t wav_pan = 1;
  std::int32_t wav_effect = 2;
  std::int32_t wav_fade = 0;
  std::int32_t wav_loop = 1;
  std::int32_t main_width = 618;
  std::int32_t main_height = 448;
  std::int32_t midi_reverb = 90;
  std::int32_t midi_chorus = 100;
  std::int32_t midi_chorus_depth = 2;
  std::int32_t midi_volume = 0;
  std::int32_t midi_drum_volume = 0;
  SettingsPath last_dir{};  // where the open dialogs start
  std::int32_t wav_bits = 8;
  std::int32_t reserved_zero = 0;  // always 0
  std::int32_t main_left = 0;
  std::int32_t main_top = 0;
  std::int32_t program_mode = 0;  // 0 none, 1 repeat one, 2 continuous, 3 random
  std::int32_t cfg_select = 0;    // configuration slot
  std::int32_t doc_visible = 0;
  std::int32_t doc_left = 20;
  std::int32_t doc_top = 20;
  std::int32_t doc_width = 600;
  std::int32_t doc_height = 300;
  std::int32_t view_visible = 0;
  std::int32_t view_left = 40;
  std::int32_t view_top = 40;
  std::int32_t no_screensaver = 0;
  std::int32_t list_mode = 0;  // main list: 0 albums, 1 files of one album
  std::int32_t cur_album = 0;
};

// The path bytes up to their NUL.
std::string path_text(const SettingsPath& path);
// Stores `text` cut to at most 255 bytes between UTF-8 characters,
// NUL-terminated and NUL-padded.
void set_path_text(SettingsPath& path, const std::string& text);

// A new installation's settings: the default voice bank, the sample folder.
Settings fresh_settings(const ProgramPaths& paths);

// Every ranged field outside its range replaced by its repair value.
void repair(Settings& settings);

// The record as it is stored, and back. Bytes beyond `kSettingsSize` are
// ignored; a shorter image leaves the rest zero. Neither repairs.
std::array<std::uint8_t, kSettingsSize> to_bytes(const Settings& settings);
Settings from_bytes(const std::vector<std::uint8_t>& bytes);

// The settings file read and repaired, or the fresh settings when it cannot
// be read.
Settings load_settings(const ProgramPaths& paths);
// Writes the settings file whole, atomically; false when it could not be
// written (the earlier file stays as it was).
bool save_settings(const ProgramPaths& paths, const Settings& settings);

}  // namespace kvt::app
