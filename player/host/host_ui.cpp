#include "host_ui.h"

#include <cstdio>

namespace kvt::host {

void HostUi::message(const char* text, int icon) const {
  if (callbacks.message != nullptr) {
    callbacks.message(callbacks.context, text, icon);
    return;
  }
  // Without a front end the library still tells someone why it failed.
  std::fprintf(stderr, "%s\n", text);
}

void HostUi::progress(const char* text) const {
  if (callbacks.progress != nullptr) callbacks.progress(callbacks.context, text);
}

bool HostUi::cancel_requested() const {
  return callbacks.cancel_requested != nullptr && callbacks.cancel_requested(callbacks.context) != 0;
}

void HostUi::finished() const {
  if (callbacks.finished != nullptr) callbacks.finished(callbacks.context);
}

}  // namespace kvt::host
