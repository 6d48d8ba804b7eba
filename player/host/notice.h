// Where a playback announces its end: the front end's notify target and the
// serial of the playback the notice is about.
#pragma once

#include "kvt/player.h"

namespace kvt::host {

struct Notice {
  kvt_notify_target target{};
  unsigned long serial = 0;

  Notice() = default;
  Notice(const kvt_notify_target* to, unsigned long playback)
      : target(to != nullptr ? *to : kvt_notify_target{}), serial(playback) {}

  void send(int id) const {
    if (target.command != nullptr) target.command(target.context, id, serial);
  }
};

}  // namespace kvt::host
