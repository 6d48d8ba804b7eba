#include "song_warnings.h"

#include <cstdint>
#include <vector>

#include "kvt/player.h"
#include "regular_file.h"
#include "song_file.h"

namespace kvt::frontend {
namespace {

constexpr std::size_t kWaveHeader = 44;

struct SongContent {
  int parts = 0;
  long notes = 0;
};

// Nothing when the file is no readable song: the player says so itself.
std::optional<SongContent> content_of(const std::string& song) {
  std::vector<std::uint8_t> image;
  kvt_song_info info{};
  if (read_song_file(song, image) != FileRead::ok ||
      kvt_song_read_info(image.data(), image.size(), &info, nullptr, 0) != KVT_SONG_OK) {
    return std::nullopt;
  }
  SongContent content;
  for (unsigned i = 0; i < info.part_entries && i < kDriverParts; ++i) {
    const long notes = kvt_song_part_notes(image.data(), image.size(), i);
    if (notes < 0) continue;
    ++content.parts;
    content.notes += notes;
  }
  return content;
}

Message warning(std::string text) { return {MessageKind::warning, std::move(text)}; }

}  // namespace

std::optional<Message> no_part_warning(const std::string& source, const std::string& song) {
  const auto content = content_of(song);
  if (!content || content->parts != 0) return std::nullopt;
  return warning(source + " names no part: a part's lines start with its capital letter A to P (\"A cde\")");
}

std::optional<Message> no_note_warning(const std::string& source, const std::string& song) {
  const auto content = content_of(song);
  if (!content || content->notes != 0) return std::nullopt;
  return warning("converting " + source + " produced no notes");
}

std::optional<Message> empty_song_warning(const std::string& song) {
  const auto content = content_of(song);
  if (!content || content->parts != 0) return std::nullopt;
  return warning(song + " has no parts");
}

std::optional<Message> no_sound_warning(const std::string& wave) {
  std::vector<std::uint8_t> bytes;
  if (read_regular_file(wave, kWaveHeader, bytes) != FileRead::ok || bytes.size() > kWaveHeader) return std::nullopt;
  return warning(wave + " holds no sound: the song lasts no time");
}

}  // namespace kvt::frontend
