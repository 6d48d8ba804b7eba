#include "mml_fixture.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "kvt/kvtc.h"

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

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

MmlTest::MmlTest() {
  dir = std::filesystem::temp_directory_path() /
        ("kvtc-test-" + std::to_string(getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  config = dir / "test.cfb";
  const Bytes image = test_config();
  std::ofstream(config, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
}

MmlTest::~MmlTest() { std::filesystem::remove_all(dir); }

Compiled MmlTest::compile(const std::string& source, const std::string& name) {
  const std::filesystem::path mml = dir / name;
  std::ofstream(mml, std::ios::binary) << source;
  std::filesystem::remove(dir / "song.KVT");
  char text[KVTC_TEXT_SIZE] = {};
  Compiled c;
  c.result = _kvtc(mml.c_str(), config.c_str(), text);
  c.text = text;
  char song[4096];
  if (kvtc_song_path(mml.c_str(), song, sizeof song) == 0 && std::filesystem::exists(song)) c.object = read_file(song);
  return c;
}

Bytes MmlTest::part_bytes(const Compiled& c, int index, std::size_t count) const {
  if (c.object.size() < 0x90) return {};
  const unsigned start = c.object[0x10 + 2 * index] | (c.object[0x11 + 2 * index] << 8);
  if (start == 0xFFFF || start + count > c.object.size()) return {};
  return Bytes(c.object.begin() + start, c.object.begin() + start + count);
}

Bytes MmlTest::first_part(const Compiled& c) const {
  if (c.object.size() < 0x90) return {};
  const unsigned start = c.object[0x10] | (c.object[0x11] << 8);
  for (std::size_t i = start; i + 2 < c.object.size(); ++i) {
    if (c.object[i] == 0xFF && c.object[i + 1] == 0xFF && c.object[i + 2] == 0xFF) {
      return Bytes(c.object.begin() + start, c.object.begin() + i + 1);
    }
  }
  return {};
}

std::string error_text(const Compiled& c) {
  const std::size_t at = c.text.find("ERROR! ");
  return at == std::string::npos ? std::string() : c.text.substr(at);
}

}  // namespace kvt::test
