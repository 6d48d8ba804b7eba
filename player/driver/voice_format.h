// Byte layout of a voice image (a ".kvw" voice file as loaded in memory).
#pragma once

#include <cstdint>

namespace kvt::voice {

inline constexpr char kMagic16[4] = {'F', 'S', 'P', 'W'};  // signed 16-bit samples
inline constexpr char kMagic8[4] = {'F', 'S', 'P', 'P'};   // 8-bit samples

inline constexpr std::uint32_t kOffLengthLow = 0x06;     // word
inline constexpr std::uint32_t kOffLoopLow = 0x08;       // word
inline constexpr std::uint32_t kOffLoopFraction = 0x0A;  // byte
inline constexpr std::uint32_t kOffRateClass = 0x0B;     // byte
inline constexpr std::uint32_t kOffKeyOffset = 0x0C;     // byte
inline constexpr std::uint32_t kOffDefaultSet = 0x0D;    // byte, low 2 bits
inline constexpr std::uint32_t kOffOneShot = 0x0E;       // byte
inline constexpr std::uint32_t kOffEnvelopeSets = 0x10;  // 4 x 8 bytes
inline constexpr std::uint32_t kOffTuning = 0x30;        // word, 0x8000 = 1.0
inline constexpr std::uint32_t kOffLengthHigh = 0x40;    // word, 0xFFFF reads as 0
inline constexpr std::uint32_t kOffLoopHigh = 0x42;      // word, 0xFFFF reads as 0
inline constexpr std::uint32_t kOffSetLevels = 0x48;     // 4 x (peak level, decay shift)
inline constexpr std::uint32_t kHeaderSize = 0x100;      // sample data follows

inline constexpr int kEnvelopeSets = 4;
inline constexpr int kEnvelopeSetSize = 8;
inline constexpr int kRateClasses = 11;
inline constexpr std::uint16_t kUnityTuning = 0x8000;
inline constexpr std::uint8_t kKeepDefault = 0xFF;  // in a set's level pair

}  // namespace kvt::voice
