// Where a rendered song ends. As the driver has always said, at the first
// block after every part has ended; with a clean end, when that block
// still sounds, later: with the first block in which the output (reverb,
// chorus and delay tails) has died away below -90 dBFS, or the last block
// of at most 10 s more. The effect
// stages' integer rounding leaves each channel at a fixed offset of a few
// steps that carries no sound, so what is measured is each channel's swing
// around its level.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvt::host {

class SongTail {
 public:
  enum class Block {
    song,  // part of the song; more follows
    last,  // the song's last block
    after  // the song ended before this block, which is not part of it
  };

  SongTail(bool clean_end, std::uint32_t rate);
  // Starts the song again.
  void restart() { tail_frames_ = 0; }
  // The block just rendered: the driver's result for it and all its
  // output values (every channel).
  Block classify(int driver_result, const std::int16_t* samples, std::size_t count, std::uint32_t frames);

 private:
  bool clean_end_;
  std::uint64_t limit_;  // frames after the driver's end
  std::uint64_t tail_frames_ = 0;
};

}  // namespace kvt::host
