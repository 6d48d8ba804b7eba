// Runs the track view's command analyser over a song and records every
// call the view receives, one line each: "T set R K", "T reset R K",
// "T name R HEX", T being the ticks completed before the call.
#pragma once

#include <string>
#include <vector>

#include "song_builder.h"
#include "track_analyzer.h"

namespace kvt::test {

class TrackViewRecorder final : public host::ViewCalls {
 public:
  void set_red_point(int row, int key) override;
  void reset_red_point(int row, int key) override;
  void trackname(int row, const std::uint8_t* name, std::size_t length) override;

  int ticks = 0;
  std::vector<std::string> calls;
};

// A song and an analyser that follows it.
struct FollowedSong {
  explicit FollowedSong(Bytes image);
  // Runs `count` more ticks.
  void run(int count);

  Bytes song;
  TrackViewRecorder view;
  host::TrackAnalyzer analyzer;
};

// The calls of `ticks` ticks from the song's start on.
std::vector<std::string> follow(const Bytes& song, int ticks);

// The song with a key adjust table after everything else: slot, entry.
Bytes with_key_table(Bytes song, const std::vector<std::pair<int, std::uint8_t>>& entries);

}  // namespace kvt::test
