#include "song_events.h"

#include "song_format.h"

namespace kvt::song {
namespace {

constexpr std::uint32_t kCutOff = 0;

// Operand bytes of the commands whose size does not depend on their
// operands; the others are sized below.
std::uint32_t fixed_operands(std::uint8_t command) noexcept {
  switch (command) {
    case kRepeatEnd: case kRepeatBreak: case kCallMark: case kCallReturn: case kCall:
    case kTie: case kLoopPoint: case kSwingOff: case kEnd:
      return 0;
    case kTempo: case kGate: case kDetuneWord: case kPartGain:
      return 2;
    case kChorusInput: case kEnvelopeRateOffsets:
      return 3;
    case kMeasureInfo:
      return 4;
    case kChorusTap:
      return 10;
    default:
      // The commands without operands are 0xEC..0xF4 and 0xF6..0xFA.
      return (command >= 0xEC && command <= 0xFA) ? 0 : 1;
  }
}

std::uint32_t envelope_size(const std::uint8_t* e, std::uint32_t available) noexcept {
  if (available < 2) return kCutOff;
  if (e[1] >= kEnvParamCount) return 2;
  return available < 3 ? kCutOff : 3u + e[2];
}

std::uint32_t volume_sequence_size(const std::uint8_t* e, std::uint32_t available) noexcept {
  if (available < 2) return kCutOff;
  if (e[1] == 0) return 2;
  std::uint32_t at = 3;  // command, mode, start
  while (at < available && e[at] != 0) at += 3;  // count and step
  return at < available ? at + 1 : kCutOff;
}

std::uint32_t switchable_size(const std::uint8_t* e, std::uint32_t available, std::uint32_t off_size,
                              std::uint32_t on_size) noexcept {
  if (available < off_size) return kCutOff;
  bool off = true;
  for (std::uint32_t i = 1; i < off_size; ++i) off = off && e[i] == 0;
  return off ? off_size : on_size;
}

}  // namespace

std::uint32_t event_size(const std::uint8_t* event, std::uint32_t available) noexcept {
  if (available == 0) return kCutOff;
  const std::uint8_t b = event[0];
  std::uint32_t size;
  if (!is_command(b)) {
    size = (b & kDefaultLengthBit) ? 1 : 2;
  } else {
    switch (b) {
      case kVibrato1: case kVibrato2: case kPitchSwing: size = switchable_size(event, available, 3, 7); break;
      case kReverb: size = switchable_size(event, available, 2, 6); break;
      case kEnvelope: size = envelope_size(event, available); break;
      case kVolumeSequence: size = volume_sequence_size(event, available); break;
      case kText: size = available < 2 ? kCutOff : 2u + event[1]; break;
      default: size = 1 + fixed_operands(b);
    }
  }
  return size <= available ? size : kCutOff;
}

}  // namespace kvt::song
