#include "play_options.h"

#include <cstring>
#include <limits>

#include "asset_paths.h"
#include "clean_ends.h"

namespace kvt::cli {
namespace {

void set_dir(char (&field)[256], const std::string& dir) {
  if (dir.size() >= sizeof field) throw UsageError("voice directory too long: " + dir);
  std::memset(field, 0, sizeof field);
  std::memcpy(field, dir.data(), dir.size());
}

}  // namespace

void set_voice_dirs(playstruct& settings, const std::string& first, const std::string& second) {
  set_dir(settings.pcm_dir[0], first);
  set_dir(settings.pcm_dir[1], second);
}

int rate_index(int hz) {
  switch (hz) {
    case 44100: return 0;
    case 33075: return 1;
    case 22050: return 2;
    case 16538: return 3;
    default: return 4;  // 11025; choice() admits no other value
  }
}

const char* const kPlayOptionsHelp =
    "  --rate HZ          44100 (default), 33075, 22050 or 11025; 16538 when playing;\n"
    "                     48000 or 96000 (resampled from 44100) when writing a file\n"
    "  --mono             one channel instead of two\n"
    "  --effect N         0 none, 1 reverb, 2 reverb and chorus/delay (default)\n"
    "  --fade N           speed of the closing fade-out, 0 (default), 1 or 2 (slower);\n"
    "                     at tempo 120 (48 ticks a quarter note) it lasts 5.2, 26.0\n"
    "                     or 46.8 s when rendering and 5.2, 31.2 or 57.2 s when\n"
    "                     playing, at every rate; longer as the tempo is slower\n"
    "  --loop N           passes through a looping song before it fades out, 1\n"
    "                     (default) or more\n"
    "  --exact            end as the song data ends, cutting voices and effects off\n"
    "                     (without it voices fade out in 4 ms and effects die away)\n"
    "  --voices DIR[:DIR] voice directories, searched in order (default: the bank\n"
    "                     installed with kvt); a last component may hold * and ?\n"
    "  --keyboard         when playing: each track's keys, live on the terminal\n";

kvt_output_options default_output_options() { return frontend::clean_ends(1); }

playstruct default_play_settings() {
  playstruct s{};
  // The voice directories come from the bank once the command line is read.
  s.rate_index = 0;
  s.channel = 2;
  s.effect_level = 2;
  s.fade = 0;
  s.loop = 1;  // the output options' loop counts
  s.bit = 16;
  s.keyboard_flag = 0;
  return s;
}

bool read_play_option(Arguments& args, const std::string& option, playstruct& s, Output output) {
  if (option == "--rate") {
    s.rate_index = output == Output::sound_card ? rate_index(args.choice({44100, 33075, 22050, 16538, 11025}))
                                                : rate_index(args.choice({44100, 33075, 22050, 11025}));
  } else if (option == "--mono") {
    s.channel = 1;
  } else if (option == "--effect") {
    s.effect_level = args.choice({0, 1, 2});
  } else if (option == "--fade") {
    s.fade = args.choice({0, 1, 2});
  } else if (option == "--voices") {
    const std::string list = args.value();
    const std::size_t colon = list.find(':');
    set_voice_dirs(s, list.substr(0, colon), colon == std::string::npos ? std::string() : list.substr(colon + 1));
  } else if (option == "--keyboard" && output == Output::sound_card) {
    s.keyboard_flag = 1;
  } else {
    return false;
  }
  return true;
}

bool read_ending_option(Arguments& args, const std::string& option, kvt_output_options& o) {
  if (option == "--loop") {
    o.loop = args.number(1, std::numeric_limits<int>::max());
  } else if (option == "--exact") {
    o.clean_end = 0;
  } else {
    return false;
  }
  return true;
}

}  // namespace kvt::cli
