#include "message_catalogue.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>

namespace kvt::frontend {
namespace {

constexpr std::uint32_t kMagic = 0x950412DE;
constexpr std::size_t kHeaderSize = 28;
constexpr char kContextEnd = '\4';
constexpr std::size_t kLargestCatalogue = 16 << 20;

// Reads the catalogue's 32-bit words in whichever byte order it was written.
class Words {
 public:
  explicit Words(std::string_view bytes) : bytes_(bytes) {}

  bool start() {
    const auto magic = raw(0);
    if (!magic) return false;
    swapped_ = *magic != kMagic;
    return !swapped_ || swap(*magic) == kMagic;
  }

  std::optional<std::uint32_t> at(std::size_t offset) const {
    const auto word = raw(offset);
    if (!word) return std::nullopt;
    return swapped_ ? swap(*word) : *word;
  }

  // The string that the table entry at `offset` (length, then offset) names.
  std::optional<std::string_view> string(std::size_t offset) const {
    const auto length = at(offset), start = at(offset + 4);
    if (!length || !start || *start > bytes_.size() || *length >= bytes_.size() - *start) return std::nullopt;
    return bytes_.substr(*start, *length);
  }

 private:
  std::optional<std::uint32_t> raw(std::size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset);
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  }
  static std::uint32_t swap(std::uint32_t w) {
    return (w >> 24) | ((w >> 8) & 0xFF00) | ((w << 8) & 0xFF0000) | (w << 24);
  }

  std::string_view bytes_;
  bool swapped_ = false;
};

// A plural entry holds its forms one after another; the first one stands.
std::string_view first_form(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string key_of(std::string_view context, std::string_view original) {
  return context.empty() ? std::string(original) : std::string(context) + kContextEnd + std::string(original);
}

}  // namespace

MessageCatalogue MessageCatalogue::parse(std::string_view bytes) {
  Words words(bytes);
  if (bytes.size() < kHeaderSize || !words.start()) return {};
  const auto revision = words.at(4), count = words.at(8), originals = words.at(12), translations = words.at(16);
  if (!revision || *revision >> 16 > 1 || !count || !originals || !translations || *count > bytes.size() / 8) return {};
  MessageCatalogue catalogue;
  for (std::uint32_t i = 0; i < *count; ++i) {
    const auto original = words.string(std::size_t{*originals} + 8 * std::size_t{i});
    const auto translation = words.string(std::size_t{*translations} + 8 * std::size_t{i});
    if (!original || !translation) return {};
    // The empty original holds the catalogue's own description.
    if (original->empty() || translation->empty()) continue;
    catalogue.translations_.emplace(first_form(*original), first_form(*translation));
  }
  return catalogue;
}

MessageCatalogue MessageCatalogue::load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string bytes;
  char chunk[4096];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
    if (bytes.size() > kLargestCatalogue) return {};
  }
  return parse(bytes);
}

const std::string* MessageCatalogue::find(std::string_view context, std::string_view original) const {
  const auto found = translations_.find(key_of(context, original));
  return found == translations_.end() ? nullptr : &found->second;
}

std::map<std::string, std::string, std::less<>> MessageCatalogue::entries(std::string_view context) const {
  std::map<std::string, std::string, std::less<>> result;
  const std::string prefix = key_of(context, "");
  for (const auto& [key, translation] : translations_) {
    if (context.empty() ? key.find(kContextEnd) != std::string::npos : key.rfind(prefix, 0) != 0) continue;
    result.emplace(key.substr(prefix.size()), translation);
  }
  return result;
}

}  // namespace kvt::frontend
