// The keys that steer `kvt play` while stdin is a terminal: the terminal
// reads them one at a time without echoing them for as long as this
// exists, and gets its own mode back afterwards.
#pragma once

#include <termios.h>

#include <string>

namespace kvt::cli {

enum class PlayKey {
  none,
  pause,
  quit,
  next,
  previous,
  louder,
  quieter,
  help,
  back,          // 10 s
  forward,       // 10 s
  far_back,      // 60 s
  far_forward,   // 60 s
};

// How far a seeking key moves, in seconds; 0 for the other keys.
int seek_seconds(PlayKey key);

class PlayKeys {
 public:
  PlayKeys();   // does nothing when stdin is no terminal
  ~PlayKeys();  // the terminal's mode as it was
  PlayKeys(const PlayKeys&) = delete;
  PlayKeys& operator=(const PlayKeys&) = delete;

  // A key typed meanwhile, or none; never waits.
  PlayKey next();

 private:
  bool active_ = false;
  termios saved_{};
  std::string pending_;  // bytes read but not yet taken; an arrow key's sequence may come in pieces
};

// What the keys do, a line each, for `?`.
extern const char* const kPlayKeysHelp;

}  // namespace kvt::cli
