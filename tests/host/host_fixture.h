// Scratch directories with songs and voice files, the play settings that
// point at them, and a front end that records what the library shows.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kvt/player.h"
#include "song_builder.h"

namespace kvt::test {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Writes `bytes` to `name` (directories created); returns the full path.
  std::string write(const std::string& name, const Bytes& bytes) const;
  std::string write_text(const std::string& name, const std::string& text) const {
    return write(name, Bytes(text.begin(), text.end()));
  }
  std::vector<std::string> entries() const;  // names in the top directory

 private:
  std::filesystem::path path_;
};

Bytes read_file(const std::string& path);

// What no reader may take for a file: a folder, a device and a pipe, the
// pipe held open at both ends so that a reader waiting for a writer would
// not wait for ever.
class NonRegularFiles {
 public:
  // The folder and the pipe are made in `dir`, their names ending in `extension`.
  NonRegularFiles(const ScratchDir& dir, const std::string& extension);
  ~NonRegularFiles();
  NonRegularFiles(const NonRegularFiles&) = delete;
  NonRegularFiles& operator=(const NonRegularFiles&) = delete;

  std::string folder, device = "/dev/zero", pipe;
  std::vector<std::string> all() const { return {folder, device, pipe}; }

 private:
  int held_ = -1;
};

playstruct settings_for(const std::string& dir1, const std::string& dir2 = {});

struct Shown {
  std::string text;
  int icon;
};

// Installs itself as the library's front end while it lives.
class RecordingUi {
 public:
  explicit RecordingUi(int cancel_after_polls = -1);
  ~RecordingUi();
  RecordingUi(const RecordingUi&) = delete;
  RecordingUi& operator=(const RecordingUi&) = delete;

  // The same front end for a player handle or a rendering.
  const kvt_host_ui& callbacks() const { return ui_; }

  std::vector<Shown> messages;
  std::vector<std::string> progress;
  int finished = 0;

 private:
  kvt_host_ui ui_{};
  int cancel_after_;
  int polls_ = 0;
};

// A single-note song on slot 0 whose voice file is "tone.kvw".
struct ToneSong {
  Bytes song;
  Bytes voice;
};
ToneSong tone_song(const std::vector<Bytes>& parts, bool wide_voice = true);
// A voice file as the loader leaves it in memory (its loop starts at 0).
Bytes loaded_voice(Bytes file);

// A scratch directory holding a tone song and its voice file.
class ToneSongTest : public ::testing::Test {
 protected:
  ToneSongTest(const std::vector<Bytes>& parts, const std::string& song_name, const std::string& voice_name)
      : tone(tone_song(parts)), song(dir.write(song_name, tone.song)) {
    dir.write(voice_name, tone.voice);
  }

  ScratchDir dir;
  ToneSong tone;
  std::string song;
};

}  // namespace kvt::test
