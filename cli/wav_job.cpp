#include "wav_job.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "arguments.h"
#include "atomic_file.h"
#include "batch_options.h"
#include "file_checks.h"
#include "file_reasons.h"
#include "message_output.h"
#include "pending_file.h"
#include "play_options.h"
#include "scratch_space.h"
#include "song_names.h"
#include "song_pipeline.h"
#include "song_rendering.h"
#include "song_warnings.h"
#include "stop_signals.h"
#include "wav_output.h"

namespace kvt::cli {
namespace {

WavJobResult failed_to_write(const std::string& out, int error) {
  report_write_failure(out, error);
  return {1, out, {}};
}

// An interrupt aborts: the output stays as it was before, unless the part
// rendered so far is asked for and there is one. The player's own file is
// kept as it is; any other output is made from it.
WavJobResult interrupted(PendingFile& wav, bool keep_partial, const WavOutput& output, const std::string& scratch,
                         JobView& view) {
  const std::string& out = output.path;
  const bool has_part = keep_partial && wav.written();
  if (has_part && (output.rendered_as_is() ? wav.keep() : deliver(wav.path(), output, scratch, view, false))) {
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
  return {stopped_status(), out, {}};
}

// Whether the output can be written, told now rather than after a long
// rendering: a file as every output is, standard output when not a terminal.
bool can_write(const WavOutput& output) {
  if (!output.to_stdout()) return can_create(output.path);
  if (isatty(STDOUT_FILENO) == 0) return true;
  std::fprintf(stderr, "kvt: standard output is a terminal; send it to a program or a file\n");
  return false;
}

}  // namespace

void check_bits(const playstruct& settings, frontend::AudioFormat format) {
  if (settings.bit == 8 && frontend::is_lossy(format)) throw UsageError("--bits 8 needs a WAVE or FLAC output");
}

WavJobResult run_wav_job(const WavRequest& request, const std::string& given, std::string out, JobView& view) {
  const auto found = find_input(given);
  if (!found) return {1, out.empty() ? given : out, {}};
  const std::string& song = *found;
  if (out.empty()) {
    out = default_output(song, frontend::format_extension(request.format.value_or(frontend::AudioFormat::wave)),
                         request.out_dir);
  }
  const WavOutput output(out, request.format, request.rate);
  check_bits(request.settings, output.format);
  playstruct settings = request.settings;
  settings.rate_index = rate_index(output.render_rate());
  if (const auto refusal = frontend::rate_refusal(output.format, output.rate)) {
    print_message(frontend::cannot("write", out, *refusal));
    return {1, out, {}};
  }
  // A source is compiled into a song beside it on the way.
  const std::string compiled = frontend::has_extension(song, ".mml") ? frontend::compiled_song(song) : std::string();
  if (!output.to_stdout() && !is_distinct_output(out, {song, request.config, compiled})) {
    return {kOutputIsInput, out, {}};
  }
  if (!can_write(output)) return {1, out, {}};
  const frontend::SongData data = frontend::song_for(song, request.config, request.midi);
  print_messages(data.messages);
  // Any output but the player's own file is made from a rendering here.
  std::optional<frontend::ScratchSpace> scratch;
  if (!output.rendered_as_is()) scratch.emplace();
  const std::string scratch_dir = scratch ? scratch->dir() : std::string();
  if (scratch && scratch_dir.empty()) return failed_to_write(out, last_write_failure());
  PendingFile wav(output.rendered_as_is() ? out : scratch_dir + "/rendering.wav");
  // A conversion cannot be cancelled; a signal during it stops the job here.
  if (stop_signal() != 0) return interrupted(wav, false, output, scratch_dir, view);
  if (!data.ok) return {1, out, {}};
  if (wav.path().empty()) return failed_to_write(out, last_write_failure());

  const SongRendering rendering = render_song(data.path, wav.path(), settings, request.output_options, view);
  if (stop_signal() != 0) return interrupted(wav, request.keep_partial, output, scratch_dir, view);
  if (rendering.outcome == KVT_RENDER_NO_FILE || rendering.message_shown) {
    return failed_to_write(out, kvt_write_failure());
  }
  if (output.rendered_as_is()) {
    if (!wav.keep()) return failed_to_write(out, errno);
  } else if (!deliver(wav.path(), output, scratch_dir, view, true)) {
    if (stop_signal() != 0) return interrupted(wav, false, output, scratch_dir, view);
    return {1, out, {}};
  }
  if (!output.to_stdout()) {
    if (const auto warning = frontend::no_sound_warning(out)) print_message(*warning);
  }
  return {0, out, rendering.title};
}

}  // namespace kvt::cli
