// kvt wav: render a song into a WAVE, FLAC, Ogg Vorbis or Opus file, or
// onto standard output.
#include <cstdio>

#include "audio_format.h"
#include "batch_options.h"
#include "batch_runner.h"
#include "bank_option.h"
#include "commands.h"
#include "midi_options.h"
#include "play_options.h"
#include "standard_output.h"
#include "terminal_ui.h"
#include "wav_job.h"

namespace kvt::cli {
namespace {

constexpr frontend::AudioFormat kWave = frontend::AudioFormat::wave;

frontend::AudioFormat format_option(const std::string& name) {
  if (const auto format = frontend::format_named(name)) return *format;
  throw UsageError("unknown format " + name + " (wav, flac, ogg or opus)");
}

// The single job shows its progress on the terminal's status line.
class StatusLineView : public JobView {
 public:
  void status(const std::string& text) override { ui_.status(text); }
  void close_status() override { ui_.close_status(); }

 private:
  TerminalUi ui_;
};

int render_one(const WavRequest& request, const std::string& song, const std::string& out) {
  StatusLineView view;
  const WavJobResult result = run_wav_job(request, song, out, view);
  if (result.status != 0) return result.status;
  if (result.out == kStandardOutput) {
    // Standard output carries the sound alone.
    std::fprintf(stderr, "%s\n", result.title.c_str());
  } else {
    std::printf("%s\n%s\n", result.title.c_str(), result.out.c_str());
  }
  return 0;
}

int render_all(const WavRequest& request, const std::vector<std::string>& songs, int jobs) {
  check_bits(request.settings, request.format.value_or(kWave));
  return run_batch(songs, jobs, [&request](const std::string& song, JobView& view) {
    const WavJobResult result = run_wav_job(request, song, {}, view);
    return JobOutcome{result.status == 0, result.out + " (" + result.title + ")"};
  });
}

int run_wav(std::vector<std::string> list) {
  Arguments args(std::move(list));
  WavRequest request;
  request.settings = default_play_settings();
  request.output_options = default_output_options();
  request.midi = default_midi_settings();
  BatchOptions batch;
  std::optional<std::string> bank;
  std::vector<std::string> songs;
  std::string out;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-o" || *option == "--output") {
        out = args.value();
      } else if (*option == "-c" || *option == "--config") {
        request.config = args.value();
      } else if (*option == "--format") {
        request.format = format_option(args.value());
      } else if (*option == "--rate") {
        request.rate = args.choice({44100, 48000, 96000, 33075, 22050, 11025});
      } else if (*option == "--keep-partial") {
        request.keep_partial = true;
      } else if (*option == "--bits") {
        request.settings.bit = args.choice({8, 16});
      } else if (!read_play_option(args, *option, request.settings) &&
                 !read_ending_option(args, *option, request.output_options) &&
                 !read_midi_option(args, *option, request.midi) && !read_batch_option(args, *option, batch) &&
                 !read_bank_option(args, *option, bank)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      songs.push_back(*operand);
    }
  }
  if (songs.empty()) throw UsageError("no song given");
  use_bank(bank, &request.settings);
  if (!check_outputs(batch, songs.size(), out)) return 1;
  request.out_dir = batch.out_dir;
  if (songs.size() == 1) return render_one(request, songs.front(), out);
  return render_all(request, songs, job_count(batch));
}

}  // namespace

extern const Command kWavCommand{
    "wav",
    "kvt wav SONG.kvt|SONG.mml|SONG.mid|SONG.rcp... [-o OUT.wav|OUT.flac|OUT.ogg|OUT.opus|-] [--format F] "
    "[-j N] [--out-dir DIR] "
    "[-c CONFIG.cfb] [--bank NAME|DIR] [--rate HZ] [--mono] [--effect N] [--fade N] [--loop N] [--exact] [--bits 8|16] [--voices DIR1[:DIR2]] "
    "[--keep-partial] [MIDI OPTIONS]",
    "render songs into WAVE, FLAC, Ogg or Opus files",
    "Renders SONG into a sound file, as fast as the processor allows. An MML\n"
    "source is compiled first (into SONG.KVT beside it), a MIDI file converted,\n"
    "an RCP file converted through MIDI (both in a private scratch directory,\n"
    "with the MIDI options below). Several songs are rendered each into its own\n"
    "file, N at a time: a line tells each one done, a failing one is skipped,\n"
    "and the exit status is 1 when any failed.\n"
    "  -o, --output FILE  (one song only) the sound file (default: SONG with .wav, or the extension\n"
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
    "                     (without it an earlier OUT stays as it was)\n"
    "  -j, --jobs N       with several songs, how many are rendered at once\n"
    "                     (default: one a processor core)\n"
    "  --out-dir DIR      put each output, under its default name, in DIR (which\n"
    "                     must exist) rather than beside its song\n",
    true,
    true,
    run_wav,
    true,
};

}  // namespace kvt::cli
