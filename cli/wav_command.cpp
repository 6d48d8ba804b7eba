// kvt wav: render a song into a WAVE file.
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "atomic_file.h"
#include "commands.h"
#include "display_text.h"
#include "file_checks.h"
#include "message_output.h"
#include "midi_options.h"
#include "pending_file.h"
#include "play_options.h"
#include "song_names.h"
#include "song_pipeline.h"
#include "song_warnings.h"
#include "stop_signals.h"
#include "terminal_ui.h"

namespace kvt::cli {
namespace {

int failed_to_write(const std::string& out, int error) {
  report_write_failure(out, error);
  return 1;
}

// On a terminal an interrupt aborts: the output stays as it was before,
// unless the part rendered so far is asked for and there is one.
int interrupted(PendingFile& wav, bool keep_partial, const std::string& out) {
  if (keep_partial && wav.written() && wav.keep()) {
    std::fprintf(stderr, "kvt: interrupted; %s holds the part rendered so far\n", out.c_str());
  } else if (access(out.c_str(), F_OK) == 0) {
    std::fprintf(stderr, "kvt: interrupted; %s left as it was\n", out.c_str());
  } else {
    std::fprintf(stderr, "kvt: interrupted; no file written\n");
  }
  return stopped_status();
}

int run_wav(std::vector<std::string> list) {
  Arguments args(std::move(list));
  playstruct settings = default_play_settings();
  mid2kvt_settings midi = default_midi_settings();
  std::string song, out, config;
  bool keep_partial = false;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-o" || *option == "--output") {
        out = args.value();
      } else if (*option == "-c" || *option == "--config") {
        config = args.value();
      } else if (*option == "--keep-partial") {
        keep_partial = true;
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
  const auto found = find_input(song);
  if (!found) return 1;
  song = *found;
  if (out.empty()) out = frontend::with_extension(song, ".wav");
  // A source is compiled into a song beside it on the way.
  const std::string compiled = frontend::has_extension(song, ".mml") ? frontend::compiled_song(song) : std::string();
  if (!is_distinct_output(out, {song, config, compiled})) return kOutputIsInput;
  if (!can_create(out)) return 1;
  const frontend::SongData data = frontend::song_for(song, config, midi);
  print_messages(data.messages);
  PendingFile wav(out);
  // A conversion cannot be cancelled; a signal during it stops the command here.
  if (stop_signal() != 0) return interrupted(wav, false, out);
  if (!data.ok) return 1;
  if (wav.path().empty()) return failed_to_write(out, last_write_failure());

  const TerminalUi ui;
  char title[256] = {};
  const int result = _output_wav(data.path.c_str(), wav.path().c_str(), settings, title);
  if (stop_signal() != 0) return interrupted(wav, keep_partial, out);
  if (result != 0 || ui.message_shown()) return failed_to_write(out, kvt_write_failure());
  if (!wav.keep()) return failed_to_write(out, errno);
  std::printf("%s\n%s\n", frontend::to_utf8(title).c_str(), out.c_str());
  if (const auto warning = frontend::no_sound_warning(out)) print_message(*warning);
  return 0;
}

}  // namespace

extern const Command kWavCommand{
    "wav",
    "kvt wav SONG.kvt|SONG.mml|SONG.mid|SONG.rcp [-o OUT.wav] [-c CONFIG.cfb] [--rate HZ] [--mono] [--effect N] [--fade N] "
    "[--loop N] [--bits 8|16] [--voices DIR1[:DIR2]] [--keep-partial] [MIDI OPTIONS]",
    "render a song into a WAVE file",
    "Renders SONG into a WAVE file, as fast as the processor allows. An MML\n"
    "source is compiled first (into SONG.KVT beside it), a MIDI file converted,\n"
    "an RCP file converted through MIDI (both in a private scratch directory,\n"
    "with the MIDI options below).\n"
    "  -o, --output FILE  the WAVE file (default: SONG with .wav)\n"
    "  -c, --config FILE  the voice configuration for MML and MIDI (default: the bank's)\n"
    "  --bits N           16 (default) or 8; 8-bit output is scaled to the song's peak\n"
    "  --keep-partial     when interrupted, keep the part rendered so far as OUT\n"
    "                     (without it an earlier OUT stays as it was)\n",
    true,
    true,
    run_wav,
};

}  // namespace kvt::cli
