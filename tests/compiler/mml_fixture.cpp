#include "mml_fixture.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "kvt/kvtc.h"
#include "mml_config.h"

namespace kvt::test {
namespace {

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

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
