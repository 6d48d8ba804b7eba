#include "convert_fixture.h"

#include <filesystem>
#include <vector>

#include "midi_config.h"
#include "song_events.h"

namespace kvt::test {

Bytes cat(std::initializer_list<Bytes> pieces) {
  Bytes out;
  for (const Bytes& p : pieces) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes conductor_opening() { return {0x7F, 0x01, 0xE3, 0x0A, 0x75}; }
Bytes format1_opening() { return conductor_opening(); }

Bytes channel_opening(int channel, const std::string& name) {
  Bytes b{0xFE, static_cast<std::uint8_t>(channel - 1), 0xFD, 0x10};
  std::string field = name;
  field.resize(16, ' ');
  b.insert(b.end(), field.begin(), field.end());
  return cat({b, conductor_opening()});
}

Bytes extra_part_opening(int channel) {
  return cat({{0xFE, static_cast<std::uint8_t>(channel - 1)}, conductor_opening()});
}

std::filesystem::path corpus_dir(const std::string& kind) {
  for (const std::filesystem::path& p : {std::filesystem::path(KVT_CORPUS_DIR), std::filesystem::path("/work/shared/corpus")})
    if (std::filesystem::is_directory(p / kind)) return p / kind;
  return {};
}

int ConvertTest::convert(const Bytes& midi) {
  const std::string in = dir.write("in.mid", midi);
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  std::vector<char> text(1 << 16, '\0');
  const std::string out = dir / "out.kvt";
  std::filesystem::remove(out);
  const int result = mid2kvt_convert(in.c_str(), cfg.c_str(), out.c_str(), &settings, nullptr, text.data(), text.size());
  messages = text.data();
  song = read_file(out);
  return result;
}

int ConvertTest::part_count() const {
  int n = 0;
  while (0x10 + 2 * n + 1 < 0x210 && (song[0x10 + 2 * n] != 0xFF || song[0x11 + 2 * n] != 0xFF)) ++n;
  return n;
}

Bytes ConvertTest::part(int n) const {
  const std::size_t start = 16 * (song.at(0x10 + 2 * n) | song.at(0x11 + 2 * n) << 8);
  std::size_t at = start;
  while (at < song.size() && song[at] != 0xFF) {
    const auto size = kvt::song::event_size(song.data() + at, static_cast<std::uint32_t>(song.size() - at));
    if (size == 0) break;
    at += size;
  }
  return Bytes(song.begin() + static_cast<long>(start), song.begin() + static_cast<long>(std::min(at + 1, song.size())));
}

std::int64_t ConvertTest::part_ticks(int n) const {
  const Bytes p = part(n);
  std::int64_t ticks = 0;
  int default_length = song[4];
  struct Loop {
    std::int64_t start_ticks;
    int count;
  };
  std::vector<Loop> loops;
  for (std::size_t at = 0; at < p.size() && p[at] != 0xFF;) {
    const std::uint8_t b = p[at];
    const int low = b & 0x7F;
    if (low < 0x60 || low == 0x75) {
      ticks += (b & 0x80) ? default_length : p[at + 1];
    } else if (b == 0x6A) {
      default_length = p[at + 1];
    } else if (b == 0x60) {
      loops.push_back({ticks, p[at + 1]});
    } else if (b == 0x61 && !loops.empty()) {
      const Loop l = loops.back();
      loops.pop_back();
      ticks = l.start_ticks + (ticks - l.start_ticks) * l.count;
    }
    at += kvt::song::event_size(p.data() + at, static_cast<std::uint32_t>(p.size() - at));
  }
  return ticks;
}

}  // namespace kvt::test
