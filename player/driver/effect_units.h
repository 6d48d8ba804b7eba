// State of the shared effect units: one feedback-delay reverb and the
// chorus/delay units that own delay memory.
#pragma once

#include <cstdint>

namespace kvt::driver {

inline constexpr int kChorusUnitsAddressable = 6;  // a song may set units 0..5
inline constexpr int kChorusUnits = 2;             // only 0 and 1 have delay memory
inline constexpr int kChorusTaps = 8;
inline constexpr std::uint32_t kRingSamples = 4096;  // per unit; the last mirrors the first
inline constexpr std::uint32_t kRingCycle = kRingSamples - 1;
inline constexpr std::uint32_t kReverbSamples = 8192;
inline constexpr std::uint32_t kDelaySamples = kReverbSamples + kChorusUnits * kRingSamples;

struct ReverbUnit {
  std::uint8_t level;  // 0 = off
  std::uint32_t length;
  std::uint32_t countdown;
  std::int32_t feedback;
  std::uint32_t position;
  std::int32_t previous;
  std::uint8_t mode;
};

struct ChorusTap {
  std::uint8_t gain;
  std::uint8_t feedback;
  std::uint32_t read;
  std::uint8_t fraction;
  std::uint16_t speed;  // 8.8 ring positions per frame
  std::uint8_t speed_step;
  std::int16_t current_step;
  std::uint8_t turn_length;
  std::uint8_t turn_countdown;
  std::uint16_t interval;
  std::uint16_t interval_countdown;
  std::uint16_t left_mask;
  std::uint16_t right_mask;
};

struct ChorusUnit {
  ChorusTap tap[kChorusTaps];
  std::uint32_t write;
  std::uint8_t input_bus;  // 0 = dry mix, else the effect bus
  bool active;
};

}  // namespace kvt::driver
