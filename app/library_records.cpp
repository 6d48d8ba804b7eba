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

void copy_dirs(const Settings& en, playstruct& play) {
  copy_dir(en.pcm_dir1, play.pcm_dir[0]);
  copy_dir(en.pcm_dir2, play.pcm_dir[1]);
}

}  // namespace

void set_playstruct(const Settings& en, playstruct& play) {
  copy_dirs(en, play);
  play.rate_index = en.play_rate;
  play.channel = 2 - en.play_pan;
  play.effect_level = en.play_effect;
  play.fade = en.play_fade;
  play.loop = en.play_loop;
  play.keyboard_flag = 1;
}

void set_wavstruct(const Settings& en, playstruct& play) {
  copy_dirs(en, play);
  play.rate_index = en.wav_rate;
  play.channel = 2 - en.wav_pan;
  play.effect_level = en.wav_effect;
  play.fade = en.wav_fade;
  play.loop = en.wav_loop;
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
