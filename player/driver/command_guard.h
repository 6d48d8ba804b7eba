// Keeps the reading of a part's commands from spinning inside one tick. A
// read ends the part when it provably loops without reaching a note or rest,
// or when it costs more commands than any song needs.
#pragma once

#include <algorithm>
#include <cstdint>

#include "driver_context.h"

namespace kvt::driver {

// Commands one read may run before its note or rest...
inline constexpr std::uint32_t kCommandsPerRead = 1u << 24;
// ...and all reads of one block (or of the first ticks) together, so that
// the 240 parts of a hostile song cannot make a block take minutes.
inline constexpr std::uint32_t kCommandsPerBlock = 1u << 25;

// Everything that decides where reading goes next (entries above the
// repeat depth are written before they are read again). The next state
// follows from this one and the song alone, so meeting a state again proves
// a loop.
struct ReadingState {
  std::uint32_t pos = kNoPosition;
  std::uint16_t rep_depth = 0;
  RepeatEntry repeat[kRepeatDepth] = {};
  std::uint32_t call_target = kNoPosition;
  std::uint32_t return_ptr = kNoPosition;
  std::uint32_t loop_ptr = kNoPosition;

  ReadingState() = default;
  ReadingState(const PartSlot& p, std::uint32_t at) noexcept
      : pos(at), rep_depth(p.rep_depth), call_target(p.call_target), return_ptr(p.return_ptr), loop_ptr(p.loop_ptr) {
    std::copy(p.repeat, p.repeat + rep_depth, repeat);
  }

  bool is_state_of(const PartSlot& p, std::uint32_t at) const noexcept {
    if (at != pos || p.rep_depth != rep_depth) return false;
    // The innermost repeat changes most often.
    for (int i = rep_depth - 1; i >= 0; --i) {
      if (!(p.repeat[i] == repeat[i])) return false;
    }
    return p.call_target == call_target && p.return_ptr == return_ptr && p.loop_ptr == loop_ptr;
  }
};

// Guards one read. Loops are found by Brent's cycle search: the state is
// saved after 1, 2, 4, ... commands and compared with every later one.
class CommandGuard {
 public:
  // Counts the command whose operands start at `pos`; false when the part
  // has to end instead of running it.
  bool allows(Context& ctx, const PartSlot& p, std::uint32_t pos) noexcept {
    if (ctx.commands_left == 0 || commands_ == kCommandsPerRead) return false;
    --ctx.commands_left;
    ++commands_;
    if (saved_.is_state_of(p, pos)) return false;
    if (commands_ == next_save_) {
      saved_ = ReadingState(p, pos);
      next_save_ *= 2;
    }
    return true;
  }

 private:
  ReadingState saved_;
  std::uint32_t commands_ = 0;
  std::uint32_t next_save_ = 1;
};

}  // namespace kvt::driver
