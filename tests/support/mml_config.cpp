#include "mml_config.h"

#include <algorithm>
#include <iterator>

namespace kvt::test {
namespace {

void put16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(Bytes& b, std::size_t at, unsigned v) {
  put16(b, at, v & 0xFFFF);
  put16(b, at + 2, v >> 16);
}

}  // namespace

Bytes test_config() {
  constexpr unsigned kPcmTable = 0x20, kPcmCount = 4, kSplitTable = 0x100, kSplitCount = 11;
  Bytes b(0x200, 0);
  put32(b, 0x10, kPcmTable);
  put32(b, 0x14, kPcmCount);
  put32(b, 0x18, kSplitTable);
  put32(b, 0x1C, kSplitCount);
  struct Voice {
    const char* name;
    std::uint8_t key;
  };
  const Voice voices[] = {{"sine", 60}, {"saw", 64}, {"noise", 0}};
  unsigned at = kPcmTable + 2 * kPcmCount;
  for (unsigned i = 0; i < kPcmCount; ++i) {
    if (i >= std::size(voices)) {
      put16(b, kPcmTable + 2 * i, 0xFFFF);
      continue;
    }
    put16(b, kPcmTable + 2 * i, at - kPcmTable);
    b[at++] = voices[i].key;
    for (const char* p = voices[i].name; *p; ++p) b[at++] = static_cast<std::uint8_t>(*p);
    b[at++] = 0;
  }
  for (unsigned i = 0; i < kSplitCount; ++i) put16(b, kSplitTable + 2 * i, 0xFFFF);
  const unsigned splits = kSplitTable + 2 * kSplitCount;
  put16(b, kSplitTable + 2 * 10, splits - kSplitTable);
  const std::uint8_t records[] = {0, 0, 0xFE, 12, 0, 59, 1, 0, 3, 0xF4, 60, 127};
  std::copy(std::begin(records), std::end(records), b.begin() + splits);
  return b;
}

}  // namespace kvt::test
