// Keeps the desktop from starting its screen saver while something plays,
// when the user asked for it: the desktop's idle inhibition over D-Bus.
// Without a session bus or a screen saver service it does nothing.
#pragma once

#include <QString>
#include <optional>

namespace kvt::app {

class ScreenSaverInhibitor {
 public:
  // Holds the inhibition while `awake` is true.
  void keep_awake(bool awake);
  ~ScreenSaverInhibitor();

 private:
  std::optional<unsigned> cookie_;
};

}  // namespace kvt::app
