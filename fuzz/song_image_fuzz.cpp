// Reads arbitrary bytes as a song data file and as a voice file, as the
// loader and the song summary do. Every view they return must lie inside
// the input.
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "song_events.h"
#include "song_image.h"
#include "voice_image.h"

using kvt::fuzz::require;

namespace {

void read_song(const std::uint8_t* data, std::size_t size) {
  const kvt::host::SongImage song(data, size);
  if (song.check() != kvt::host::SongCheck::ok) return;
  require(song.title_line().size() <= 8 + 255);
  for (unsigned i = 0; i < song.header().voice_count; ++i) {
    const kvt::host::VoiceRecord record = song.voice(i);
    const auto* name = reinterpret_cast<const std::uint8_t*>(record.name.data());
    require(name >= data && name + record.name.size() < data + size && name[record.name.size()] == 0);
  }
  for (unsigned i = 0; i < song.part_entries(); ++i) {
    const auto start = song.part_start(i);
    if (!start) continue;
    require(*start < size);
    for (std::size_t at = *start; at < size;) {
      const std::uint32_t n = kvt::song::event_size(data + at, static_cast<std::uint32_t>(size - at));
      if (n == 0 || data[at] == 0xFF) break;
      require(n <= size - at);
      at += n;
    }
  }
}

void read_voice(const std::uint8_t* data, std::size_t size) {
  // Exactly the file plus the spare bytes, so that ASan sees any overrun.
  const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size + kvt::host::kVoiceSpare]);
  std::memcpy(block.get(), data, size);
  kvt::host::prepare_voice(block.get(), size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  read_song(data, size);
  read_voice(data, size);
  return 0;
}
