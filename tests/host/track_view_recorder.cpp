#include "track_view_recorder.h"

#include <cstdio>

namespace kvt::test {

void TrackViewRecorder::set_red_point(int row, int key) {
  calls.push_back(std::to_string(ticks) + " set " + std::to_string(row) + " " + std::to_string(key));
}

void TrackViewRecorder::reset_red_point(int row, int key) {
  calls.push_back(std::to_string(ticks) + " reset " + std::to_string(row) + " " + std::to_string(key));
}

void TrackViewRecorder::trackname(int row, const std::uint8_t* name, std::size_t length) {
  std::string line = std::to_string(ticks) + " name " + std::to_string(row);
  if (length > 0) line += ' ';
  for (std::size_t i = 0; i < length; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", name[i]);
    line += hex;
  }
  calls.push_back(line);
}

FollowedSong::FollowedSong(Bytes image) : song(std::move(image)) {
  analyzer.init_analyze(song.data(), song.size(), view);
}

void FollowedSong::run(int count) {
  for (int i = 0; i < count; ++i, ++view.ticks) analyzer.dummy_play(view);
}

std::vector<std::string> follow(const Bytes& song, int ticks) {
  FollowedSong followed(song);
  followed.run(ticks);
  return followed.view.calls;
}

Bytes with_key_table(Bytes song, const std::vector<std::pair<int, std::uint8_t>>& entries) {
  const std::size_t at = song.size();
  song.resize(at + 256, 0xFF);
  for (const auto& [slot, entry] : entries) song[at + slot] = entry;
  song[0x0D] = static_cast<std::uint8_t>(at);
  song[0x0E] = static_cast<std::uint8_t>(at >> 8);
  return song;
}

}  // namespace kvt::test
