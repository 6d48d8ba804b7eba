// A compiled message catalogue (the .mo format) read into memory.
//
// It is read here rather than through the C library's gettext because that
// answers only under a locale installed on the machine and other than C,
// and only by changing the whole process's locale and environment; the
// command must speak English under C too, and the desktop application
// switches language while it runs.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace kvt::frontend {

class MessageCatalogue {
 public:
  MessageCatalogue() = default;

  // The catalogue in `bytes`; empty when they are not one.
  static MessageCatalogue parse(std::string_view bytes);
  // The catalogue in the file; empty when it cannot be read or is none.
  static MessageCatalogue load(const std::string& path);

  // The translation of `original` in `context` ("" for none), or nothing.
  const std::string* find(std::string_view context, std::string_view original) const;

  // Every entry of `context`, original to translation.
  std::map<std::string, std::string, std::less<>> entries(std::string_view context) const;

  bool empty() const { return translations_.empty(); }

 private:
  // Keyed as the format keys them: context, '\4', original.
  std::map<std::string, std::string, std::less<>> translations_;
};

}  // namespace kvt::frontend
