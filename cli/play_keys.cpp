#include "play_keys.h"

#include <poll.h>
#include <unistd.h>

namespace kvt::cli {

const char* const kPlayKeysHelp =
    "keys: space pause/resume, q quit, n next song, p previous song, left/right back/forward 10 s, "
    "up/down forward/back 60 s, + louder (1 dB), - quieter (1 dB), ? these keys";

namespace {

constexpr char kEscape = '\x1b';

// The arrow key that the sequence after ESC [ or ESC O ends with.
PlayKey arrow(char final) {
  switch (final) {
    case 'A': return PlayKey::far_forward;
    case 'B': return PlayKey::far_back;
    case 'C': return PlayKey::forward;
    case 'D': return PlayKey::back;
    default: return PlayKey::none;
  }
}

PlayKey plain(char c) {
  switch (c) {
    case ' ': return PlayKey::pause;
    case 'q': return PlayKey::quit;
    case 'n': return PlayKey::next;
    case 'p': return PlayKey::previous;
    case '+': return PlayKey::louder;
    case '-': return PlayKey::quieter;
    case '?': return PlayKey::help;
    default: return PlayKey::none;  // other keys do nothing
  }
}

}  // namespace

int seek_seconds(PlayKey key) {
  switch (key) {
    case PlayKey::back: return -10;
    case PlayKey::forward: return 10;
    case PlayKey::far_back: return -60;
    case PlayKey::far_forward: return 60;
    default: return 0;
  }
}

PlayKeys::PlayKeys() {
  if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
  termios keys = saved_;
  keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  keys.c_cc[VMIN] = 0;
  keys.c_cc[VTIME] = 0;
  active_ = tcsetattr(STDIN_FILENO, TCSANOW, &keys) == 0;
}

PlayKeys::~PlayKeys() {
  if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
}

PlayKey PlayKeys::next() {
  if (!active_) return PlayKey::none;
  pollfd in{STDIN_FILENO, POLLIN, 0};
  char chunk[64];
  if (poll(&in, 1, 0) > 0) {
    if (const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk); n > 0) pending_.append(chunk, static_cast<std::size_t>(n));
  }
  while (!pending_.empty()) {
    if (pending_.front() != kEscape) {
      const PlayKey key = plain(pending_.front());
      pending_.erase(0, 1);
      if (key != PlayKey::none) return key;
      continue;
    }
    // An escape sequence: ESC, '[' or 'O', parameters, one final letter.
    if (pending_.size() < 2) return PlayKey::none;  // the rest is on its way
    if (pending_[1] != '[' && pending_[1] != 'O') {
      pending_.erase(0, 1);  // a lone Escape key
      continue;
    }
    std::size_t end = 2;
    while (end < pending_.size() && (pending_[end] < '@' || pending_[end] > '~')) ++end;
    if (end == pending_.size()) return PlayKey::none;
    const PlayKey key = arrow(pending_[end]);
    pending_.erase(0, end + 1);
    if (key != PlayKey::none) return key;
  }
  return PlayKey::none;
}

}  // namespace kvt::cli
