// C++ interface of the sound driver over an explicit context.
#pragma once

#include <cstdint>
#include <memory>

#include "driver_context.h"

namespace kvt::driver {

// Inputs of a fresh context: no song, no voices, no buffer, stereo 44.1 kHz,
// no effects, the 32-bit path.
void set_default_inputs(Context& ctx);
std::unique_ptr<Context> make_context();

int worksize() noexcept;
// Restarts the song of ctx.fm from its beginning with the current inputs.
void init(Context& ctx) noexcept;
// Renders one block; see kvt_driver_play.
int play(Context& ctx) noexcept;
// The smallest pass count among the running parts, as play() returns it
// but not wrapped at 256; -1 once every part has ended.
std::int64_t passes(const Context& ctx) noexcept;

}  // namespace kvt::driver
