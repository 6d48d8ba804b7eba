#include "preset_list.h"

#include <charconv>

namespace kvt::soundfont {
namespace {

int number(const std::string& text, const std::string& item, int max) {
  int n = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc{} || end != text.data() + text.size() || n < 0 || n > max)
    throw std::invalid_argument("bad program list item '" + item + "'");
  return n;
}

}  // namespace

PresetList::PresetList(const std::string& text) : all_(false) {
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = std::min(text.find(',', from), text.size());
    const std::string item = text.substr(from, comma - from);
    std::string programs = item;
    int bank = 0;
    if (const std::size_t colon = item.find(':'); colon != std::string::npos) {
      bank = number(item.substr(0, colon), item, 128);
      programs = item.substr(colon + 1);
    }
    const std::size_t dash = programs.find('-');
    const int first = number(programs.substr(0, dash), item, 127);
    const int last = dash == std::string::npos ? first : number(programs.substr(dash + 1), item, 127);
    if (last < first) throw std::invalid_argument("bad program list item '" + item + "'");
    for (int p = first; p <= last; ++p) chosen_.insert({bank, p});
    from = comma + 1;
  }
}

bool PresetList::has(int bank, int program) const { return all_ || chosen_.count({bank, program}) > 0; }

}  // namespace kvt::soundfont
