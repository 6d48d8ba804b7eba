#include "library_texts.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "asset_paths.h"

namespace kvt::frontend {
namespace {

constexpr const char* kCatalogue = "locale/en/LC_MESSAGES/kvt97.mo";

std::string_view variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

bool names_japanese(std::string_view name) {
  return name.rfind("ja", 0) == 0 && (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

}  // namespace

LibraryTexts::LibraryTexts(const MessageCatalogue& english) : whole_(english) {
  for (auto& entry : english.entries(kReportContext)) fragments_.push_back(entry);
  std::stable_sort(fragments_.begin(), fragments_.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

std::string LibraryTexts::report(std::string_view utf8) const {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto fragment = std::find_if(fragments_.begin(), fragments_.end(),
                                       [&](const auto& f) { return utf8.substr(i).starts_with(f.first); });
    if (fragment == fragments_.end()) {
      out += utf8[i++];
    } else {
      out += fragment->second;
      i += fragment->first.size();
    }
  }
  return out;
}

std::string LibraryTexts::text(std::string_view utf8) const {
  const std::string* translation = whole_.find("", utf8);
  return translation == nullptr ? std::string(utf8) : *translation;
}

std::string english_catalogue_file() {
  return (std::filesystem::path(asset_dir()).parent_path() / kCatalogue).string();
}

bool locale_wants_japanese() {
  std::string_view locale = variable("LC_ALL");
  if (locale.empty()) locale = variable("LC_MESSAGES");
  if (locale.empty()) locale = variable("LANG");
  const bool plain = locale.empty() || locale == "C" || locale == "POSIX";
  const std::string_view languages = variable("LANGUAGE");
  if (!plain && !languages.empty()) return names_japanese(languages.substr(0, languages.find(':')));
  return names_japanese(locale);
}

const LibraryTexts& texts_for_locale() {
  static const LibraryTexts texts =
      locale_wants_japanese() ? LibraryTexts() : LibraryTexts(MessageCatalogue::load(english_catalogue_file()));
  return texts;
}

}  // namespace kvt::frontend
