// SDL's disk audio driver as the sound card: what reaches the card lands in
// a file, which the tests compare with the audio they expect.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "song_builder.h"

namespace kvt::test {

// Sends the card's output to `capture`; the card takes 512 frames per
// `delay_ms` (this process and the commands it starts).
void use_disk_card(const std::string& capture, int delay_ms);

// Little-endian 16-bit samples from `skip` bytes on.
std::vector<std::int16_t> samples_of(const Bytes& bytes, std::size_t skip = 0);

// The capture must be `expected`, `buffer_frames` at a time in order, with
// nothing but silence between them (a silence buffer, or the card waiting
// for the next buffer). The last buffer may go on past the expected audio.
::testing::AssertionResult plays_as(const std::vector<std::int16_t>& capture, const std::vector<std::int16_t>& expected,
                                    int channel, std::size_t buffer_frames);

}  // namespace kvt::test
