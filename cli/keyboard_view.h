// The visual player's picture as terminal lines: the song's header, then
// each of the 17 track rows with its name and its keyboard, one character
// a key, the keys that are down in reverse video.
#pragma once

#include <string>
#include <vector>

#include "kvt/player.h"

namespace kvt::cli {

// The lowest and highest keys seen down so far in a song: a keyboard cut
// to the terminal's width keeps them in its middle.
class KeysInUse {
 public:
  void add(const kvt_view_snapshot& snapshot);
  bool any() const { return lowest_ <= highest_; }
  int lowest() const { return lowest_; }
  int highest() const { return highest_; }

 private:
  int lowest_ = KVT_VIEW_KEYS;  // none yet
  int highest_ = -1;
};

// The picture in lines of at most `columns` columns. Where the 96 keys do
// not fit, each row shows as many whole octaves as do.
std::vector<std::string> keyboard_lines(const kvt_view_snapshot& snapshot, int columns, const KeysInUse& keys);

}  // namespace kvt::cli
