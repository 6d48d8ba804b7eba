// The state of one MIDI-to-song conversion: the settings, the
// configuration, the SMF reader's cursors, 17 channel slots of up to 64
// monophonic parts each, and the song-wide voice slots.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "conversion_config.h"
#include "memory_file.h"
#include "messages.h"

namespace kvt::convert {

inline constexpr int kSlots = 17;         // 0 the conductor, 1..16 the MIDI channels
inline constexpr int kPartsPerSlot = 64;  // the 64th is refused
inline constexpr int kMaxSongParts = 240;
inline constexpr int kMaxSongVoices = 255;
inline constexpr int kMaxTracks = 128;
inline constexpr int kDrumMaps = 3;
inline constexpr std::size_t kNone = SIZE_MAX;
inline constexpr int kUnset = INT_MIN;

// Song data command bytes the converter writes.
enum Code : std::uint8_t {
  kLoopStart = 0x60, kLoopEnd = 0x61, kCallMark = 0x63, kDefaultLength = 0x6A, kVolume = 0x6D, kPan = 0x70,
  kTempo = 0x71, kGate = 0x72, kProgram = 0x73, kTie = 0x74, kRest = 0x75, kVibrato = 0x76, kDetune8 = 0x77,
  kEnvelope = 0x78, kReverb = 0x7C, kChorusTap = 0x7D, kDetune16 = 0x7E, kOctaveShift = 0x7F,
  kSwingPeriod = 0xE3, kSwing = 0xE4, kSwingOff = 0xE5, kChorusInput = 0xE6, kPartGain = 0xE9,
  kEnvelopeRates = 0xEB, kMeasure = 0xFB, kKeyForce = 0xFC, kText = 0xFD, kKeyGroup = 0xFE,
};

// A part's command stream in a buffer of fixed capacity.
struct PartStream {
  std::vector<std::uint8_t> bytes;  // reserved to `capacity` once
  std::size_t capacity = 0;
  int message_number = 0;  // of "Too long track! Memory over. #n"
};

struct Part {
  PartStream stream;
  int note = -1;      // layer x 128 + key; +256 while held by the pedal
  std::int64_t held_since = 0;  // order of holding, so the oldest held note goes first
  int note_byte = 0;  // the song note it plays
  int drum_key = -1;  // the drum key this part plays
  std::int64_t last_tick = 0;
  std::int64_t last_off = 0;
  std::int64_t rounding = 0;
  int default_length = 24;
  int earlier[2] = {24, 24};  // the last two lengths written
  std::size_t pending = kNone;  // the note or rest byte whose length comes next
  std::size_t tie = kNone;      // a tie written between two pieces of one note
  // What the part last received, so that only changes are written. A new
  // part has nothing written yet: centre pan, no modulation, no detune and
  // no rate offsets are what the driver starts every part with.
  int velocity_code = kUnset;
  std::int64_t volume_word = kUnset;
  int pan = 64;
  int modulation = 0;
  int detune = 0;
  int rates[3] = {0, 0, 0};
  int program = 0x82;  // none yet
  int split = kUnset;
  int track = kUnset;
  // What the part's volume word and detune are made from.
  bool drum = false;
  std::int64_t level = 0;
  int key_level = 64;
  int detune_offset = 0;
};

struct Channel {
  std::vector<Part> parts;
  int program = 0;
  int bank = 0;  // from controller 0, taken at the next program change
  int program_bank = 0;
  int split_index[2] = {0, 0};
  int volume = 110;
  int expression = 127;
  int brightness = 64;
  int pan = 64;
  int modulation = 0;
  int bend = 64;
  int bend_range = 2;
  int fine_tune = 64;
  int coarse_tune = 64;
  int sense_depth = 64;
  int sense_offset = 64;
  int reverb = 0;
  int chorus = 0;
  int rates[3] = {0, 0, 0};  // attack, decay, release offsets
  bool sustain = false;
  std::int64_t held = 0;
  int parameter_msb = 127, parameter_lsb = 127;
  bool non_registered = false;
  int drum_map = 0;  // 0 melodic
  bool named = false;
  std::size_t name_field = kNone;  // in part 0's stream, format 0
};

struct DrumKeySetting {
  int pitch = 64;
  int fine = 64;
  int level = kUnset;
  int pan = kUnset;
  int key_level = 64;
  int rate_a = 0;
  int rate_b = 0;
};

struct Track {
  std::size_t pos = 0;  // where reading resumes
  std::size_t end = 0;  // end of the chunk: a track stops there at the latest
  std::int64_t time = -1;
  int running_status = -1;
};

struct Converter {
  Messages messages;
  mid2kvt_settings settings{};
  ConversionConfig config;
  memory_file input;
  memory_file output;

  // SMF reader.
  int timebase = 48;  // MIDI ticks per quarter, or per second with SMPTE timing
  int song_ticks_per_unit = 48;  // song ticks per quarter, or per second at 120 bpm
  bool smpte = false;
  int format1 = 0;
  std::vector<Track> tracks;
  int current_track = 0;
  std::int64_t now = 0;  // tick of the event being handled

  std::array<Channel, kSlots> channels;
  std::array<std::array<DrumKeySetting, kKeys>, kDrumMaps> drum_maps;
  int master_volume = 127;
  int key_shift = 0;
  std::vector<int> voice_slot = std::vector<int>(kMaxVoiceFiles, -1);
  std::array<std::uint8_t, 256> slot_key{};
  int slots_used = 0;
  std::vector<std::uint8_t> title;
  bool has_title = false;
  std::array<int, 16> block_channel{};
};

}  // namespace kvt::convert
