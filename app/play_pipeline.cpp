#include "play_pipeline.h"

#include <algorithm>
#include <cctype>

#include "app_state.h"
#include "library_log.h"
#include "library_records.h"
#include "settings_record.h"
#include "song_conversions.h"
#include "song_document.h"
#include "song_names.h"
#include "user_prompts.h"

namespace kvt::app {

namespace {

bool one_case(const std::string& last, const char* lower) {
  std::string upper = lower;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  return last == lower || last == upper;
}

std::string temporary_midi(const PipelineContext& c) { return c.scratch_dir + "/kvt97.mid"; }

// The library's log as the viewer shows it, within the buffer's size.
void show_log(PipelineContext& c, const frontend::Outcome& outcome) {
  append_log(c.state.text, outcome.messages);
  c.repaint_viewer();
}

void start_log(PipelineContext& c) {
  c.state.status = "Using : " + c.config;
  c.state.text.clear();
}

void read_document(PipelineContext& c) {
  c.state.exist_doc = document(last_three_replaced(c.state.chosen, "doc"), c.state.text) == 0;
}

void play_song(PipelineContext& c, const std::string& song, PlayFlag flag) {
  read_document(c);
  c.state.play_flag = PlayFlag::idle;
  playstruct play{};
  set_playstruct(c.en, play);
  char title[256] = {};
  if (_play(song.c_str(), play, title, &c.notify) == 0) {
    c.state.play_flag = flag;
    c.state.title = title;
    kvt_play_state now{};
    kvt_play_state_get(&now);
    c.state.serial = now.serial;
  }
  c.repaint_viewer();
}

void play_wave(PipelineContext& c) {
  read_document(c);
  if (kvt_wave_play(c.state.chosen.c_str(), &c.notify) != 0) {
    c.state.play_flag = PlayFlag::idle;
    c.prompts.inform("Can't Play!", "KVT97", BoxIcon::error);
    return;
  }
  c.state.play_flag = PlayFlag::wave;
  kvt_play_state now{};
  kvt_wave_state_get(&now);
  c.state.serial = now.serial;
}

mid2kvt_settings conversion_settings(const Settings& en) {
  mid2kvt_settings conv{};
  set_convstruct(en, conv);
  return conv;
}

}  // namespace

PipelineBranch branch_for(const std::string& path) {
  if (path.size() < 3) return PipelineBranch::none;
  const std::string last = path.substr(path.size() - 3);
  if (one_case(last, "mml")) return PipelineBranch::mml;
  if (last_three_lower(path) == "kvt") return PipelineBranch::song;
  if (one_case(last, "mid")) return PipelineBranch::midi;
  if (one_case(last, "wav")) return PipelineBranch::wave;
  if (one_case(last, "rcp")) return PipelineBranch::rcp;
  return PipelineBranch::none;
}

std::string last_three_lower(const std::string& path) {
  if (path.size() < 3) return {};
  std::string last = path.substr(path.size() - 3);
  std::transform(last.begin(), last.end(), last.begin(), [](unsigned char c) { return std::tolower(c); });
  return last;
}

std::string last_three_replaced(const std::string& path, const char* letters) {
  return path.substr(0, path.size() < 3 ? 0 : path.size() - 3) + letters;
}

std::string converted_song(const PipelineContext& context) { return context.scratch_dir + "/kvt97.kvt"; }

void nandemo(PipelineContext& c) {
  const std::string source = c.state.chosen;
  c.state.play_flag = PlayFlag::idle;
  c.state.exist_doc = false;
  switch (branch_for(source)) {
    case PipelineBranch::none: return;
    case PipelineBranch::song: play_song(c, source, PlayFlag::song); return;
    case PipelineBranch::wave: play_wave(c); return;
    case PipelineBranch::mml: {
      // The compiler's own name for its output: letter case counts here.
      c.state.kept_song = frontend::compiled_song(source);
      start_log(c);
      const frontend::Outcome compiled = frontend::compile_mml(source, c.config);
      show_log(c, compiled);
      if (compiled.ok) play_song(c, c.state.kept_song, PlayFlag::song);
      return;
    }
    case PipelineBranch::midi:
    case PipelineBranch::rcp: {
      c.state.kept_song = last_three_replaced(source, "kvt");
      start_log(c);
      std::string midi = source;
      if (branch_for(source) == PipelineBranch::rcp) {
        midi = temporary_midi(c);
        const frontend::Outcome made = frontend::convert_rcp(source, midi);
        show_log(c, made);
        if (!made.ok) return;
      }
      const frontend::Outcome converted =
          frontend::convert_midi(midi, converted_song(c), c.config, conversion_settings(c.en));
      show_log(c, converted);
      if (converted.ok) play_song(c, converted_song(c), PlayFlag::converted_song);
      return;
    }
  }
}

}  // namespace kvt::app
