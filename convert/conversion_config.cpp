#include "conversion_config.h"

#include <cstring>

namespace kvt::convert {
namespace {

constexpr std::uint16_t kUndefined = 0xFFFF;
constexpr std::size_t kSplitSize = 6, kRowSize = 16, kDrumSize = 8;
constexpr int kMaxRows = 128;
constexpr int kMaxSplits = 128;

class Image {
 public:
  explicit Image(const std::vector<std::uint8_t>& b) : b_(b) {}
  bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  std::uint8_t u8(std::size_t at) const { return b_[at]; }
  std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(b_[at] | b_[at + 1] << 8); }
  std::uint32_t u32(std::size_t at) const { return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16; }
  std::size_t size() const { return b_.size(); }

 private:
  const std::vector<std::uint8_t>& b_;
};

// Entry i of a table: the item's offset in the image, or none.
struct Table {
  const Image& image;
  std::size_t start;
  std::size_t count;
  bool fits() const { return image.has(start, 2 * count); }
  std::optional<std::size_t> item(std::size_t i) const {
    const std::uint16_t w = image.u16(start + 2 * i);
    if (w == kUndefined) return std::nullopt;
    return start + w;
  }
};

LayerRow layer_at(const Image& im, std::size_t at) {
  return {im.u16(at), im.u8(at + 2), im.u8(at + 3), im.u8(at + 4), im.u8(at + 5), static_cast<std::int8_t>(im.u8(at + 6))};
}

bool read_voices(const Table& t, std::vector<std::optional<VoiceFile>>& out) {
  out.assign(t.count, std::nullopt);
  for (std::size_t i = 0; i < t.count; ++i) {
    const auto at = t.item(i);
    if (!at) continue;
    if (!t.image.has(*at, 2)) return false;
    VoiceFile v{t.image.u8(*at), {}};
    std::size_t p = *at + 1;
    while (p < t.image.size() && t.image.u8(p) != 0) v.name += static_cast<char>(t.image.u8(p++));
    if (p >= t.image.size()) return false;  // no terminator
    out[i] = std::move(v);
  }
  return true;
}

// A split list runs up to its record whose high key is 127.
bool read_splits(const Table& t, std::vector<std::vector<SplitRecord>>& out) {
  out.assign(t.count, {});
  for (std::size_t i = 0; i < t.count; ++i) {
    const auto at = t.item(i);
    if (!at) continue;
    for (int k = 0; k < kMaxSplits; ++k) {
      const std::size_t r = *at + kSplitSize * k;
      if (!t.image.has(r, kSplitSize)) return false;
      const SplitRecord s{t.image.u16(r), static_cast<std::int8_t>(t.image.u8(r + 2)),
                          static_cast<std::int8_t>(t.image.u8(r + 3)), static_cast<std::int8_t>(t.image.u8(r + 4)),
                          static_cast<std::int8_t>(t.image.u8(r + 5))};
      out[i].push_back(s);
      if (s.high_key == 127) break;
    }
  }
  return true;
}

// Row 0, then variant rows while their bank byte is 1..127.
bool read_programs(const Table& t, std::vector<std::vector<ProgramRow>>& out) {
  out.assign(t.count, {});
  for (std::size_t p = 0; p < t.count; ++p) {
    const auto at = t.item(p);
    if (!at) continue;
    for (int row = 0; row < kMaxRows; ++row) {
      const std::size_t r = *at + kRowSize * row;
      if (!t.image.has(r, kRowSize)) {
        if (row == 0) return false;
        break;
      }
      const std::uint8_t bank = t.image.u8(r);
      if (row > 0 && (bank == 0 || bank > 127)) break;
      ProgramRow pr{bank, t.image.u8(r + 1), {layer_at(t.image, r + 2), layer_at(t.image, r + 9)}};
      if (pr.layer_count < 1 || pr.layer_count > 2) pr.layer_count = 1;
      out[p].push_back(pr);
    }
  }
  return true;
}

bool read_kits(const Table& t, std::vector<std::vector<DrumRecord>>& out) {
  out.assign(t.count, {});
  for (std::size_t p = 0; p < t.count; ++p) {
    const auto at = t.item(p);
    if (!at) continue;
    if (!t.image.has(*at, kDrumSize * kKeys)) return false;
    for (int k = 0; k < kKeys; ++k) {
      const std::size_t r = *at + kDrumSize * k;
      out[p].push_back({t.image.u16(r), t.image.u8(r + 2), static_cast<std::int8_t>(t.image.u8(r + 3)),
                        static_cast<std::int8_t>(t.image.u8(r + 4)), t.image.u8(r + 5)});
    }
  }
  return true;
}

}  // namespace

bool ConversionConfig::load(const std::vector<std::uint8_t>& bytes) {
  const Image im(bytes);
  if (!im.has(0, 0x28)) return false;
  const std::uint32_t voice_count = im.u32(0x14), split_count = im.u32(0x1C);
  if (voice_count > kMaxVoiceFiles || split_count > kMaxSplitLists) return false;
  const Table tables[] = {{im, im.u32(0x10), voice_count}, {im, im.u32(0x18), split_count},
                          {im, im.u32(0x20), kPrograms}, {im, im.u32(0x24), kPrograms}};
  for (const Table& t : tables)
    if (!t.fits()) return false;
  return read_voices(tables[0], voices_) && read_splits(tables[1], splits_) && read_programs(tables[2], programs_) &&
         read_kits(tables[3], kits_);
}

const VoiceFile* ConversionConfig::voice(int id) const {
  if (id < 0 || id >= static_cast<int>(voices_.size()) || !voices_[id]) return nullptr;
  return &*voices_[id];
}

const std::vector<SplitRecord>* ConversionConfig::splits(int index) const {
  if (index < 0 || index >= static_cast<int>(splits_.size()) || splits_[index].empty()) return nullptr;
  return &splits_[index];
}

const ProgramRow* ConversionConfig::program_row(int program, int bank) const {
  if (program < 0 || program >= static_cast<int>(programs_.size()) || programs_[program].empty()) return nullptr;
  const auto& rows = programs_[program];
  for (std::size_t r = 1; r < rows.size(); ++r)
    if (rows[r].bank == bank) return &rows[r];
  return &rows[0];
}

const DrumRecord* ConversionConfig::drum(int program, int key) const {
  if (program < 0 || program >= static_cast<int>(kits_.size()) || kits_[program].empty()) return nullptr;
  if (key < 0 || key >= kKeys) return nullptr;
  return &kits_[program][key];
}

}  // namespace kvt::convert
