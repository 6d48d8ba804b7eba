// kvt wav: render a song into a WAVE, FLAC, Ogg Vorbis or Opus file, or
// onto standard output.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "atomic_file.h"
#include "audio_format.h"
#include "commands.h"
#include "display_text.h"
#include "file_reasons.h"
#include "file_checks.h"
#include "message_output.h"
#include "midi_options.h"
#include "pending_file.h"
#include "play_options.h"
#include "scratch_space.h"
#include "song_names.h"
#include "song_pipeline.h"
#include "song_warnings.h"
#include "stop_signals.h"
#include "terminal_ui.h"
#include "wav_output.h"

namespace kvt::cli {
namespace {

int failed_to_write(const std::string& out, int error) {
  report_write_failure(out, error);
  return 1;
}

// On a terminal an interrupt aborts: the output stays as it was before,
// unless the part rendered so far is asked for and there is one. The
// player's own file is kept as it is; any other output is made from it.
int interrupted(PendingFile& wav, bool keep_partial, const WavOutput& output, const std::string& scratch,
                TerminalUi& ui) {
  const std::string& out = output.path;
  const bool has_part = keep_partial && wav.written();
  if (has_part && (output.rendered_as_is() ? wav.keep() : deliver(wav.path(), output, scratch, ui, false))) {
    if (output.to_stdout()) {
      std::fprintf(stderr, "kvt: interrupted; the part rendered so far was written\n");
    } else {
      std::fprintf(stderr, "kvt: interrupted; %s holds the part rendered so far\n", out.c_str());
    }
  } else if (!output.to_stdout() && access(out.c_str(), F_OK) == 0) {
    std::fprintf(stderr, "kvt: interrupted; %s left as it was\n", out.c_str());
  } else {
    std::fprintf(stderr, "kvt: interrupted; no file written\n");
  }
  return stopped_status();
}

constexpr frontend::AudioFormat kWave = frontend::AudioFormat::wave;

frontend::AudioFormat format_option(const std::string& name) {
  if (const auto format = frontend::format_named(name)) return *format;
  throw UsageError("unknown format " + name + " (wav, flac, ogg or opus)");
}

// Whether the output can be written, told now rather than after a long
// rendering: a file as every output is, standard output when not a terminal.
bool can_write(const WavOutput& output) {
  if (!output.to_stdout()) return can_create(output.path);
  if (isatty(STDOUT_FILENO) == 0) return true;
  std::fprintf(stderr, "kvt: standard output is a terminal; send it to a program or a file\n");
  return false;
}

int run_wav(std::vector<std::string> list) {
  Arguments args(std::move(list));
  playstruct settings = default_play_settings();
  kvt_output_options output_options = default_output_options();
  mid2kvt_settings midi = default_midi_settings();
  std::string song, out, config;
  std::optional<frontend::AudioFormat> format;
  int rate = 0;  // none asked for
  bool keep_partial = false;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-o" || *option == "--output") {
        out = args.value();
      } else if (*option == "-c" || *option == "--config") {
        config = args.value();
      } else if (*option == "--format") {
        format = format_option(args.value());
      } else if (*option == "--rate") {
        rate = args.choice({44100, 48000, 96000, 33075, 22050, 11025});
      } else if (*option == "--keep-partial") {
        keep_partial = true;
      } else if (*option == "--bits") {
        settings.bit = args.choice({8, 16});
      } else if (!read_play_option(args, *option, settings) && !read_ending_option(args, *option, output_options) &&
                 !read_midi_option(args, *option, midi)) {
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
  if (out.empty()) out = frontend::with_extension(song, frontend::format_extension(format.value_or(kWave)));
  const WavOutput output(out, format, rate);
  if (settings.bit == 8 && frontend::is_lossy(output.format)) throw UsageError("--bits 8 needs a WAVE or FLAC output");
  settings.rate_index = rate_index(output.render_rate());
  if (const auto refusal = frontend::rate_refusal(output.format, output.rate)) {
    print_message(frontend::cannot("write", out, *refusal));
    return 1;
  }
  // A source is compiled into a song beside it on the way.
  const std::string compiled = frontend::has_extension(song, ".mml") ? frontend::compiled_song(song) : std::string();
  if (!output.to_stdout() && !is_distinct_output(out, {song, config, compiled})) return kOutputIsInput;
  if (!can_write(output)) return 1;
  const frontend::SongData data = frontend::song_for(song, config, midi);
  print_messages(data.messages);
  // Any output but the player's own file is made from a rendering here.
  std::optional<frontend::ScratchSpace> scratch;
  if (!output.rendered_as_is()) scratch.emplace();
  const std::string scratch_dir = scratch ? scratch->dir() : std::string();
  if (scratch && scratch_dir.empty()) return failed_to_write(out, last_write_failure());
  PendingFile wav(output.rendered_as_is() ? out : scratch_dir + "/rendering.wav");
  TerminalUi ui;
  // A conversion cannot be cancelled; a signal during it stops the command here.
  if (stop_signal() != 0) return interrupted(wav, false, output, scratch_dir, ui);
  if (!data.ok) return 1;
  if (wav.path().empty()) return failed_to_write(out, last_write_failure());

  char title[256] = {};
  kvt_set_output_options(&output_options);
  const int result = _output_wav(data.path.c_str(), wav.path().c_str(), settings, title);
  if (stop_signal() != 0) return interrupted(wav, keep_partial, output, scratch_dir, ui);
  if (result != 0 || ui.message_shown()) return failed_to_write(out, kvt_write_failure());
  if (output.rendered_as_is()) {
    if (!wav.keep()) return failed_to_write(out, errno);
  } else if (!deliver(wav.path(), output, scratch_dir, ui, true)) {
    return stop_signal() != 0 ? interrupted(wav, false, output, scratch_dir, ui) : 1;
  }
  if (output.to_stdout()) {
    // Standard output carries the sound alone.
    std::fprintf(stderr, "%s\n", frontend::to_utf8(title).c_str());
    return 0;
  }
  std::printf("%s\n%s\n", frontend::to_utf8(title).c_str(), out.c_str());
  if (const auto warning = frontend::no_sound_warning(out)) print_message(*warning);
  return 0;
}

}  // namespace

extern const Command kWavCommand{
    "wav",
    "kvt wav SONG.kvt|SONG.mml|SONG.mid|SONG.rcp [-o OUT.wav|OUT.flac|OUT.ogg|OUT.opus|-] [--format F] "
    "[-c CONFIG.cfb] [--rate HZ] [--mono] [--effect N] [--fade N] [--loop N] [--exact] [--bits 8|16] [--voices DIR1[:DIR2]] "
    "[--keep-partial] [MIDI OPTIONS]",
    "render a song into a WAVE file",
    "Renders SONG into a sound file, as fast as the processor allows. An MML\n"
    "source is compiled first (into SONG.KVT beside it), a MIDI file converted,\n"
    "an RCP file converted through MIDI (both in a private scratch directory,\n"
    "with the MIDI options below).\n"
    "  -o, --output FILE  the sound file (default: SONG with .wav, or the extension\n"
    "                     of --format); its extension .wav, .flac, .ogg or .opus\n"
    "                     chooses the format, any other makes a WAVE file; - writes\n"
    "                     the sound to standard output once it is rendered (a WAVE\n"
    "                     stream then holds its exact sizes)\n"
    "  --format F         wav, flac, ogg (Vorbis) or opus, whatever the extension;\n"
    "                     Opus is made at 48000 Hz, the default for it\n"
    "  -c, --config FILE  the voice configuration for MML and MIDI (default: the bank's)\n"
    "  --bits N           16 (default) or 8, for WAVE and FLAC; 8-bit output is\n"
    "                     scaled to the song's peak\n"
    "  --keep-partial     when interrupted, keep the part rendered so far as OUT\n"
    "                     (without it an earlier OUT stays as it was)\n",
    true,
    true,
    run_wav,
};

}  // namespace kvt::cli
