// The front end's callbacks, with the defaults used when none are set.
#pragma once

#include "kvt/player.h"

namespace kvt::host {

struct HostUi {
  kvt_host_ui callbacks{};

  void message(const char* text, int icon = KVT_ICON_NONE) const;
  void progress(const char* text) const;
  bool cancel_requested() const;
  void finished() const;
};

}  // namespace kvt::host
