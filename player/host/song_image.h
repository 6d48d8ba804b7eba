// The header, title and voice list of a song data image, checked so that
// nothing read from them lies outside the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvt::host {

struct SongHeader {
  std::uint8_t default_length;
  std::uint16_t tempo;
  std::uint16_t part_table_end;
  std::uint8_t voice_count;
  std::uint8_t offset_mode;
  std::uint16_t title_offset;
  std::uint16_t key_adj_offset;
};

struct VoiceRecord {
  std::uint8_t slot;
  std::string_view name;  // into the image
};

enum class SongCheck { ok, not_song, damaged };

class SongImage {
 public:
  SongImage(const std::uint8_t* image, std::size_t size) : image_(image), size_(size) {}

  // Magic, header, title block and every voice record of the list.
  SongCheck check() const;
  // The following need a checked image.
  SongHeader header() const;
  // "Title : None" or "Title : " and the title bytes.
  std::string title_line() const;
  VoiceRecord voice(unsigned index) const;
  unsigned part_entries() const;
  // Start of part `index`, or nothing when it is absent or outside the image.
  std::optional<std::uint32_t> part_start(unsigned index) const;

 private:
  std::optional<std::uint16_t> word_at(std::size_t offset) const;
  std::optional<std::size_t> record_end(unsigned index) const;
  bool title_fits() const;

  const std::uint8_t* image_;
  std::size_t size_;
};

}  // namespace kvt::host
