// The one way out of an exported function: whatever its work throws becomes
// the export's documented failure result, after `report` has told the
// caller why. No exception crosses into C.
#pragma once

#include <cstddef>
#include <cstring>
#include <exception>

#include "message_text.h"

namespace kvt {

template <class Result, class Work, class Report>
Result export_barrier(Result failure, Work&& work, Report&& report) noexcept {
  try {
    return work();
  } catch (const std::exception& e) {
    try {
      report(e.what());
    } catch (...) {  // nothing more can be said
    }
  } catch (...) {
    try {
      report("an unknown failure");
    } catch (...) {
    }
  }
  return failure;
}

// The same for an export that returns nothing.
template <class Work, class Report>
void export_barrier(Work&& work, Report&& report) noexcept {
  export_barrier(
      0,
      [&] {
        work();
        return 0;
      },
      report);
}

// A report for export_barrier that appends "ERROR! " and the reason as a
// line to the caller's message buffer.
inline auto append_failure_to(char* text, std::size_t size) {
  return [=](const char* what) {
    constexpr char kError[] = "ERROR! ";
    append_text(text, size, kError, sizeof kError - 1);
    append_text(text, size, what, std::strlen(what));
    append_text(text, size, "\n", 1);
  };
}

}  // namespace kvt
