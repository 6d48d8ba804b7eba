#include "conversions.h"

#include <QtGlobal>

#include "app_state.h"
#include "library_log.h"
#include "library_records.h"
#include "play_pipeline.h"
#include "settings_record.h"
#include "song_conversions.h"
#include "song_names.h"
#include "user_choices.h"
#include "user_prompts.h"

namespace kvt::app {

namespace {

const std::string kFinished = QT_TRANSLATE_NOOP("Messages", "変換が終了しました");

// The source from the open dialog of `kind`, with the viewer shown and
// emptied for the log; nothing when the dialog was cancelled.
bool choose_source(ConversionContext& c, OpenKind kind) {
  if (!c.choices.choose_file(kind, c.en, c.state.chosen)) return false;
  c.state.text.clear();
  c.state.title.clear();
  c.en.doc_visible = 1;
  c.show_viewer();
  return true;
}

// The library's log into the viewer; true when the work went well.
bool logged(ConversionContext& c, const frontend::Outcome& outcome) {
  append_log(c.state.text, outcome.messages);
  c.repaint_viewer();
  return outcome.ok;
}

void finished(ConversionContext& c, const std::string& text) { c.prompts.inform(text, "OK", BoxIcon::information); }

void midi_to_song(ConversionContext& c, const std::string& midi) {
  c.state.status = "Using : " + c.config;
  mid2kvt_settings conv{};
  set_convstruct(c.en, conv);
  if (logged(c, frontend::convert_midi(midi, frontend::with_extension(midi, ".kvt"), c.config, conv))) {
    finished(c, kFinished);
  }
}

bool rcp_to_midi(ConversionContext& c) {
  const std::string& rcp = c.state.chosen;
  return logged(c, frontend::convert_rcp(rcp, frontend::with_extension(rcp, ".mid")));
}

}  // namespace

void convert_mml(ConversionContext& c) {
  if (!choose_source(c, OpenKind::mml)) return;
  if (branch_for(c.state.chosen) != PipelineBranch::mml) return;  // other letter cases are left alone
  c.state.status = "Using : " + c.config;
  if (logged(c, frontend::compile_mml(c.state.chosen, c.config))) finished(c, kFinished);
}

void convert_midi(ConversionContext& c) {
  if (choose_source(c, OpenKind::midi)) midi_to_song(c, c.state.chosen);
}

void convert_to_wave(ConversionContext& c) {
  if (!choose_source(c, OpenKind::song)) return;
  const std::string song = c.state.chosen;
  if (branch_for(song) != PipelineBranch::song) {
    c.repaint_viewer();
    return;
  }
  c.state.status = "Converting : " + song;
  c.repaint_viewer();
  if (c.render_wave(song, last_three_replaced(song, "wav")))
    finished(c, QT_TRANSLATE_NOOP("Messages", "WAV出力終了しました"));
}

void convert_rcp_to_midi(ConversionContext& c) {
  if (choose_source(c, OpenKind::rcp) && rcp_to_midi(c)) finished(c, kFinished);
}

void convert_rcp_to_song(ConversionContext& c) {
  if (!choose_source(c, OpenKind::rcp) || !rcp_to_midi(c)) return;
  midi_to_song(c, frontend::with_extension(c.state.chosen, ".mid"));
}

}  // namespace kvt::app
