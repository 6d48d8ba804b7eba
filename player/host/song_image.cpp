#include "song_image.h"

#include <cstring>

#include "song_format.h"

namespace kvt::host {
namespace {

constexpr std::uint8_t kNoTitle = 0xFF;

}  // namespace

std::optional<std::uint16_t> SongImage::word_at(std::size_t offset) const {
  if (offset > size_ || size_ - offset < 2) return std::nullopt;
  return static_cast<std::uint16_t>(image_[offset] | (image_[offset + 1] << 8));
}

SongHeader SongImage::header() const {
  return SongHeader{
      image_[song::kOffDefaultLength],   *word_at(song::kOffTempo),    *word_at(song::kOffPartTableEnd),
      image_[song::kOffVoiceCount],      image_[song::kOffOffsetMode], *word_at(song::kOffTitle),
      *word_at(song::kOffKeyAdjust),
  };
}

// The offset just past the name of voice record `index`, when it is inside.
std::optional<std::size_t> SongImage::record_end(unsigned index) const {
  const auto record = word_at(header().part_table_end + 2u * index);
  if (!record || *record + 1u >= size_) return std::nullopt;
  const void* nul = std::memchr(image_ + *record + 1, 0, size_ - *record - 1);
  if (nul == nullptr) return std::nullopt;
  return static_cast<const std::uint8_t*>(nul) - image_;
}

bool SongImage::title_fits() const {
  const std::uint16_t at = header().title_offset;
  if (at == song::kAbsent) return true;
  if (at >= size_) return false;
  return image_[at] == kNoTitle || size_ - at - 1 >= image_[at];
}

SongCheck SongImage::check() const {
  if (size_ < sizeof song::kMagic || std::memcmp(image_, song::kMagic, sizeof song::kMagic) != 0) {
    return SongCheck::not_song;
  }
  if (size_ < song::kHeaderSize || !title_fits()) return SongCheck::damaged;
  for (unsigned i = 0; i < header().voice_count; ++i) {
    if (!record_end(i)) return SongCheck::damaged;
  }
  return SongCheck::ok;
}

std::string SongImage::title_line() const {
  const std::uint16_t at = header().title_offset;
  if (at == song::kAbsent || image_[at] == kNoTitle) return "Title : None";
  return "Title : " + std::string(reinterpret_cast<const char*>(image_ + at + 1), image_[at]);
}

VoiceRecord SongImage::voice(unsigned index) const {
  const std::uint16_t record = *word_at(header().part_table_end + 2u * index);
  const std::size_t end = *record_end(index);
  return VoiceRecord{image_[record],
                     std::string_view(reinterpret_cast<const char*>(image_ + record + 1), end - record - 1)};
}

unsigned SongImage::part_entries() const {
  const unsigned end = header().part_table_end;
  return end > song::kPartTableStart ? (end - song::kPartTableStart) / 2 : 0;
}

std::optional<std::uint32_t> SongImage::part_start(unsigned index) const {
  if (index >= part_entries()) return std::nullopt;
  const auto entry = word_at(song::kPartTableStart + 2u * index);
  if (!entry || *entry == song::kAbsent) return std::nullopt;
  const std::uint32_t start = header().offset_mode == song::kParagraphMode ? *entry * 16u : *entry;
  if (start >= size_) return std::nullopt;
  return start;
}

}  // namespace kvt::host
