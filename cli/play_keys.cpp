#include "play_keys.h"

#include <poll.h>
#include <unistd.h>

namespace kvt::cli {

const char* const kPlayKeysHelp =
    "keys: space pause/resume, q quit, n next song, p previous song, + louder (1 dB), - quieter (1 dB), ? these keys";

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
    const char c = pending_.front();
    pending_.erase(0, 1);
    switch (c) {
      case ' ': return PlayKey::pause;
      case 'q': return PlayKey::quit;
      case 'n': return PlayKey::next;
      case 'p': return PlayKey::previous;
      case '+': return PlayKey::louder;
      case '-': return PlayKey::quieter;
      case '?': return PlayKey::help;
      default: break;  // other keys do nothing
    }
  }
  return PlayKey::none;
}

}  // namespace kvt::cli
