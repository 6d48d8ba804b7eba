#include "voice_image.h"

#include <cstring>

#include "voice_format.h"

namespace kvt::host {
namespace {

std::uint32_t word(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

// The loop start in full, as the driver reads it.
std::uint64_t loop_start(const std::uint8_t* block) {
  const std::uint32_t high = word(block + voice::kOffLoopHigh);
  return (std::uint64_t{high == 0xFFFF ? 0 : high} << 16) | word(block + voice::kOffLoopLow);
}

constexpr std::uint8_t kUnsignedZero = 0x80;

}  // namespace

bool prepare_voice(std::uint8_t* block, std::size_t file_size) {
  if (file_size < voice::kHeaderSize) return false;
  const bool wide = std::memcmp(block, voice::kMagic16, 4) == 0;
  if (!wide && std::memcmp(block, voice::kMagic8, 4) != 0) return false;
  const std::size_t width = wide ? 2 : 1;
  const std::size_t samples = (file_size - voice::kHeaderSize) / width;
  const std::uint64_t loop = loop_start(block);
  if (loop > samples) return false;
  std::uint8_t* spare = block + file_size;
  if (!wide) {
    for (std::size_t i = voice::kHeaderSize; i < file_size; ++i) block[i] = static_cast<std::uint8_t>(block[i] + 0x80);
  }
  if (loop == samples) {
    // A loop point at the very end plays nothing after it: copy silence.
    spare[0] = wide ? 0 : kUnsignedZero;
    spare[1] = 0;
    return true;
  }
  const std::uint8_t* at_loop = block + voice::kHeaderSize + loop * width;
  std::memcpy(spare, at_loop, width);
  if (!wide) spare[1] = 0;
  return true;
}

}  // namespace kvt::host
