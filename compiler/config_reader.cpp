#include "config_reader.h"

#include <cstring>

namespace kvt::compiler {
namespace {

constexpr std::size_t kHeader = 0x20;
constexpr std::uint16_t kUndefined = 0xFFFF;
constexpr std::uint8_t kLastKey = 127;

std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

// Offsets of a table's entries, when the entry array lies inside the image.
bool table_fits(const std::vector<std::uint8_t>& b, std::uint32_t table, std::uint32_t count) {
  return table <= b.size() && count <= (b.size() - table) / 2;
}

bool read_pcm_index(Compiler& c, std::uint32_t table, std::uint32_t count) {
  const auto& b = c.pCfg;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t w = u16(b, table + 2 * i);
    if (w == kUndefined) continue;
    const std::size_t at = std::size_t{table} + w;
    if (at + 1 >= b.size() || std::memchr(b.data() + at + 1, 0, b.size() - at - 1) == nullptr) return false;
    c.pcm_key[i] = b[at];
    c.pcm_name[i] = reinterpret_cast<const char*>(b.data() + at + 1);
    c.pcm_define[i] = 1;
  }
  return true;
}

// A split list runs to its record with high key 127.
bool read_split_index(Compiler& c, std::uint32_t table, std::uint32_t count) {
  const auto& b = c.pCfg;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t w = u16(b, table + 2 * i);
    if (w == kUndefined) continue;
    const std::size_t start = std::size_t{table} + w;
    std::size_t records = 0;
    for (std::size_t at = start;; at += kSplitRecord) {
      if (at + kSplitRecord > b.size()) return false;
      ++records;
      if (b[at + 5] == kLastKey) break;
    }
    c.ms[i] = b.data() + start;
    c.ms_splits[i] = records;
    c.ms_define[i] = 1;
  }
  return true;
}

}  // namespace

bool read_config(Compiler& c) {
  std::fill(std::begin(c.pcm_define), std::end(c.pcm_define), 0);
  std::fill(std::begin(c.ms_define), std::end(c.ms_define), 0);
  std::fill(std::begin(c.pcm_use), std::end(c.pcm_use), -1);
  const auto& b = c.pCfg;
  if (b.size() < kHeader) return false;
  const std::uint32_t t1 = u32(b, 0x10), n1 = u32(b, 0x14), t2 = u32(b, 0x18), n2 = u32(b, 0x1C);
  if (n1 > kConfigVoices || n2 > kMultiVoices || !table_fits(b, t1, n1) || !table_fits(b, t2, n2)) return false;
  return read_pcm_index(c, t1, n1) && read_split_index(c, t2, n2);
}

}  // namespace kvt::compiler
