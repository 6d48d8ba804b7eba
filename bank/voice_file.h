// One ".kvw" voice file of the bank: 16-bit samples, a loop, a rate class,
// a tuning and four envelope sets.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvt::bank {

using EnvelopeSet = std::array<std::uint8_t, 8>;  // AL AR DR SL DRB SLB SR RR

struct EnvelopeShape {
  EnvelopeSet main;
  std::uint8_t decay_shift;
};

struct VoiceFile {
  std::string name;  // file name without ".kvw", at most 8 characters
  std::vector<std::int16_t> samples;
  std::uint32_t loop_start = 0;
  std::uint8_t rate_class = 2;  // 22050 Hz
  bool one_shot = false;
  std::uint16_t tuning = 0x8000;
  EnvelopeShape envelope{};
  // When given, the four sets as they are, in place of those made from `envelope`.
  std::optional<std::array<EnvelopeShape, 4>> sets;
};

// The file's bytes: the header, then the samples.
std::vector<std::uint8_t> voice_file_bytes(const VoiceFile& voice);

// The four sets made from one shape: as given, a softer attack, a short
// release, a long release.
std::array<EnvelopeSet, 4> envelope_sets(const EnvelopeSet& main);

}  // namespace kvt::bank
