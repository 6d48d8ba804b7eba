// The caller's message buffer and the view that shows it while a
// conversion runs.
#pragma once

#include <cstddef>

#include "kvt/mid2kvt.h"

namespace kvt::convert {

struct Messages {
  char* text = nullptr;
  std::size_t size = 0;
  const kvt_message_view* view = nullptr;

  void append(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void append_bytes(const char* bytes, std::size_t count);
  void repaint(bool erase) const;
};

// Ends a conversion early; the reason is already in the messages.
struct Stop {};

}  // namespace kvt::convert
