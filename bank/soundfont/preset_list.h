// Which presets to import: "0-7,24,128:0" names programs of bank 0, and
// with "BANK:" those of another bank.
#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace kvt::soundfont {

class PresetList {
 public:
  PresetList() = default;  // every preset
  // Throws std::invalid_argument naming the bad item.
  explicit PresetList(const std::string& text);
  bool has(int bank, int program) const;

 private:
  bool all_ = true;
  std::set<std::pair<int, int>> chosen_;
};

}  // namespace kvt::soundfont
