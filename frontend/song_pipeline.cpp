#include "song_pipeline.h"

#include <optional>
#include <utility>

#include "song_conversions.h"
#include "song_names.h"
#include "song_warnings.h"

namespace kvt::frontend {
namespace {

// Appends a step's messages and takes over its success; true when it succeeded.
bool add_step(Outcome& whole, Outcome step) {
  for (Message& m : step.messages) whole.messages.push_back(std::move(m));
  whole.ok = step.ok;
  return step.ok;
}

void add_warning(SongData& song, std::optional<Message> warning) {
  if (warning) song.messages.push_back(std::move(*warning));
}

SongData converted(const std::string& path, bool rcp, const std::string& config, const mid2kvt_settings& midi) {
  SongData song;
  auto scratch = std::make_unique<ScratchSpace>();
  if (scratch->dir().empty()) {
    song.messages.push_back({MessageKind::error, "no private directory for the converted song"});
    return song;
  }
  std::string source = path;
  if (rcp) {
    source = scratch->dir() + "/kvt97.mid";
    if (!add_step(song, convert_rcp(path, source))) return song;
  }
  const std::string data = scratch->dir() + "/kvt97.kvt";
  if (!add_step(song, convert_midi(source, data, config, midi))) return song;
  add_warning(song, no_note_warning(path, data));
  song.path = data;
  song.scratch = std::move(scratch);
  return song;
}

}  // namespace

SongData song_for(const std::string& path, const std::string& config, const mid2kvt_settings& midi) {
  if (has_extension(path, ".mml")) {
    SongData song;
    if (add_step(song, compile_mml(path, config))) song.path = compiled_song(path);
    return song;
  }
  const bool rcp = has_extension(path, ".rcp");
  if (rcp || has_extension(path, ".mid") || has_extension(path, ".midi")) return converted(path, rcp, config, midi);
  SongData song;
  song.ok = true;
  song.path = path;
  add_warning(song, empty_song_warning(path));
  return song;
}

}  // namespace kvt::frontend
