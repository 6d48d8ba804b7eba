#include "library_records.h"

#include <algorithm>

namespace kvt::app {

namespace {

// Always NUL-terminated: a settings file may hold 256 bytes without one.
void copy_dir(const SettingsPath& dir, char (&to)[kSettingsPathSize]) {
  const std::string text = path_text(dir).substr(0, kSettingsPathSize - 1);
  std::fill(std::begin(to), std::end(to), '\0');
  std::copy(text.begin(), text.end(), to);
}

// What playing and WAVE output share: the voice directories, and their
// own rate, pan, effect, fade and loop fields.
void fill(const Settings& en, playstruct& play, int rate, int pan, int effect, int fade, int loop) {
  copy_dir(en.pcm_dir1, play.pcm_dir[0]);
  copy_dir(en.pcm_dir2, play.pcm_dir[1]);
  play.rate_index = rate;
  play.channel = 2 - pan;
  play.effect_level = effect;
  play.fade = fade;
  play.loop = loop;
}

}  // namespace

void set_playstruct(const Settings& en, playstruct& play) {
  fill(en, play, en.play_rate, en.play_pan, en.play_effect, en.play_fade, en.play_loop);
  play.keyboard_flag = 1;
}

void set_wavstruct(const Settings& en, playstruct& play) {
  fill(en, play, en.wav_rate, en.wav_pan, en.wav_effect, en.wav_fade, en.wav_loop);
  play.bit = en.wav_bits;
}

void set_convstruct(const Settings& en, mid2kvt_settings& conv) {
  conv.reverb = en.midi_reverb;
  conv.chorus = en.midi_chorus;
  conv.chorus_strength_x2 = 2 * en.midi_chorus_depth;
  conv.volume = en.midi_volume;
  conv.drum_volume = en.midi_drum_volume;
}

}  // namespace kvt::app
