// kvt wav: render a song into a WAVE file.
#include <sys/stat.h>

#include <cstdio>

#include "commands.h"
#include "display_text.h"
#include "midi_options.h"
#include "play_options.h"
#include "song_sources.h"
#include "terminal_ui.h"

namespace kvt::cli {
namespace {

constexpr int kInterrupted = 130;

// Which file a path names now; a rename over it gives another inode.
ino_t file_identity(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

int run_wav(std::vector<std::string> list) {
  Arguments args(std::move(list));
  playstruct settings = default_play_settings();
  mid2kvt_settings midi = default_midi_settings();
  std::string song, out, config;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-o" || *option == "--output") {
        out = args.value();
      } else if (*option == "-c" || *option == "--config") {
        config = args.value();
      } else if (*option == "--bits") {
        settings.bit = args.choice({8, 16});
      } else if (!read_play_option(args, *option, settings) && !read_midi_option(args, *option, midi)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      if (!song.empty()) throw UsageError("one song at a time");
      song = *operand;
    }
  }
  if (song.empty()) throw UsageError("no song given");
  if (out.empty()) out = with_extension(song, ".wav");
  const auto data = song_for(song, config, midi);
  if (!data) return 1;

  const ino_t before = file_identity(out);
  const TerminalUi ui;
  char title[256] = {};
  const int result = _output_wav(data->path.c_str(), out.c_str(), settings, title);
  if (result != 0 || ui.message_shown()) return 1;
  if (ui.interrupted()) {
    if (file_identity(out) == before) {
      std::fprintf(stderr, "kvt: interrupted; no file written\n");
    } else {
      std::fprintf(stderr, "kvt: interrupted; %s holds the part rendered so far\n", out.c_str());
    }
    return kInterrupted;
  }
  std::printf("%s\n%s\n", to_utf8(title).c_str(), out.c_str());
  return 0;
}

}  // namespace

extern const Command kWavCommand{
    "wav",
    "kvt wav SONG.kvt|SONG.mml|SONG.mid|SONG.rcp [-o OUT.wav] [-c CONFIG.cfb] [--rate HZ] [--mono] [--effect N] [--fade N] "
    "[--loop N] [--bits 8|16] [--voices DIR1[:DIR2]] [MIDI OPTIONS]",
    "render a song into a WAVE file",
    "Renders SONG into a WAVE file, as fast as the processor allows. An MML\n"
    "source is compiled first (into SONG.KVT beside it), a MIDI file converted,\n"
    "an RCP file converted through MIDI (both in a private scratch directory,\n"
    "with the MIDI options below).\n"
    "  -o, --output FILE  the WAVE file (default: SONG with .wav)\n"
    "  -c, --config FILE  the voice configuration for MML and MIDI (default: the bank's)\n"
    "  --bits N           16 (default) or 8; 8-bit output is scaled to the song's peak\n",
    true,
    true,
    run_wav,
};

}  // namespace kvt::cli
