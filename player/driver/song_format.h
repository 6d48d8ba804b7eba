// Byte layout of a song data image: the header, the part table and the
// command bytes of the part event streams. Writers (the MML compiler, the
// MIDI converter) and readers (loader, driver, track view) share these names.
#pragma once

#include <cstdint>

namespace kvt::song {

inline constexpr char kMagic[4] = {'K', 'V', 'T', 'M'};

// Header fields (16 bytes at offset 0, little-endian).
inline constexpr std::uint32_t kHeaderSize = 0x10;
inline constexpr std::uint32_t kOffDefaultLength = 0x04;  // byte
inline constexpr std::uint32_t kOffTempo = 0x05;          // word
inline constexpr std::uint32_t kOffPartTableEnd = 0x07;   // word
inline constexpr std::uint32_t kOffVoiceCount = 0x09;     // byte
inline constexpr std::uint32_t kOffOffsetMode = 0x0A;     // byte
inline constexpr std::uint32_t kOffTitle = 0x0B;          // word
inline constexpr std::uint32_t kOffKeyAdjust = 0x0D;      // word
inline constexpr std::uint32_t kOffReserved = 0x0F;       // byte

inline constexpr std::uint32_t kPartTableStart = 0x10;
inline constexpr std::uint8_t kParagraphMode = 0x80;  // part offsets count 16-byte units
inline constexpr std::uint16_t kAbsent = 0xFFFF;      // absent part, no title, no key table
inline constexpr int kDriverParts = 240;              // parts the driver plays
inline constexpr int kViewParts = 256;                // parts the track view reads
inline constexpr int kVoiceSlots = 256;

// Event classes are decided by the low seven bits of the event byte.
inline constexpr std::uint8_t kLowMask = 0x7F;
inline constexpr std::uint8_t kDefaultLengthBit = 0x80;  // note/rest without a length byte
inline constexpr std::uint8_t kHighestKey = 0x5F;        // notes are 0x00..0x5F (95)

// Command bytes (the whole byte; 0xE0..0xFF are distinct from 0x60..0x7F).
enum Command : std::uint8_t {
  kRepeatStart = 0x60,
  kRepeatEnd = 0x61,
  kRepeatBreak = 0x62,
  kCallMark = 0x63,
  kCallReturn = 0x64,
  kCall = 0x65,
  kTransposeSet = 0x66,
  kTransposeAdd = 0x67,
  kPanAdd = 0x68,
  kNop69 = 0x69,
  kDefaultLength = 0x6A,
  kNop6B = 0x6B,
  kPeakLevel = 0x6C,
  kVolumeSet = 0x6D,
  kVolumeUp = 0x6E,
  kVolumeDown = 0x6F,
  kPanSet = 0x70,
  kTempo = 0x71,
  kGate = 0x72,
  kProgram = 0x73,
  kTie = 0x74,
  kRest = 0x75,
  kVibrato1 = 0x76,
  kDetuneByte = 0x77,
  kEnvelope = 0x78,
  kLoopPoint = 0x79,
  kDampPoint = 0x7A,
  kEffectSend = 0x7B,
  kReverb = 0x7C,
  kChorusTap = 0x7D,
  kDetuneWord = 0x7E,
  kOctaveShift = 0x7F,
  kPitchSwing = 0xE0,
  kGateRatio = 0xE1,
  kStartAtLoop = 0xE2,
  kSwingPeriod = 0xE3,
  kSwingStart = 0xE4,
  kSwingOff = 0xE5,
  kChorusInput = 0xE6,
  kVolumeSequence = 0xE7,
  kVibrato2 = 0xE8,
  kPartGain = 0xE9,
  kProgramKeepEnvelope = 0xEA,
  kEnvelopeRateOffsets = 0xEB,
  kRestDefault = 0xF5,
  kMeasureInfo = 0xFB,
  kKeyForce = 0xFC,
  kText = 0xFD,
  kKeyGroup = 0xFE,
  kEnd = 0xFF,
};

// Operands of command 0x78 (envelope control).
inline constexpr std::uint8_t kEnvParamCount = 10;    // n = 0..9 address AL..MR
inline constexpr std::uint8_t kEnvSelectSet0 = 16;    // n = 16..19 select a set
inline constexpr std::uint8_t kEnvSelectDefault = 20; // n = 20 the voice's default set
inline constexpr std::uint8_t kEnvUnchanged = 0x80;   // operand byte that keeps a value

inline constexpr bool is_note(std::uint8_t b) { return (b & kLowMask) <= kHighestKey; }
inline constexpr bool is_rest(std::uint8_t b) { return (b & kLowMask) == kRest; }
inline constexpr bool is_command(std::uint8_t b) { return !is_note(b) && !is_rest(b); }

}  // namespace kvt::song
