#include "song_title.h"

#include <algorithm>
#include <vector>

#include "app_state.h"
#include "kvt/mid2kvt.h"
#include "play_pipeline.h"

namespace kvt::app {

namespace {

using TitleReader = int (*)(const char*, char*, std::size_t, char*, std::size_t);

TitleReader reader_for(const std::string& path) {
  const std::string last = last_three_lower(path);
  if (last == "kvt") return gettitle_fm;
  if (last == "mid") return gettitle_mid;
  if (last == "rcp") return gettitle_rcp;
  return nullptr;
}

}  // namespace

std::string song_title(const std::string& path, std::string& log) {
  const TitleReader reader = reader_for(path);
  if (reader == nullptr) return {};
  std::vector<char> text(kTextSize, '\0');
  std::copy_n(log.begin(), std::min(log.size(), kTextSize - 1), text.begin());
  char title[256] = {};
  const int found = reader(path.c_str(), title, sizeof title, text.data(), text.size());
  log.assign(text.data());
  return found == 0 ? std::string(title) : std::string("no title");
}

}  // namespace kvt::app
