// The work of `kvt wav` on one song, the same whether it is the only one or
// one of several rendered at once.
#pragma once

#include <optional>
#include <string>

#include "audio_format.h"
#include "job_view.h"
#include "kvt/mid2kvt.h"
#include "kvt/player.h"

namespace kvt::cli {

// What the options ask for, the same for every song.
struct WavRequest {
  playstruct settings;
  kvt_output_options output_options;
  mid2kvt_settings midi;
  std::string config;
  std::optional<frontend::AudioFormat> format;
  int rate = 0;  // none asked for
  bool keep_partial = false;
  std::string out_dir;  // where default output names go; empty: beside each song
};

struct WavJobResult {
  int status;         // the command's exit status for this song
  std::string out;    // the output written, or that would have been
  std::string title;  // the song's title line, once rendered
};

// Refuses 8-bit samples for a lossy format, where they would only lose more.
void check_bits(const playstruct& settings, frontend::AudioFormat format);

// Renders `song` into `out` (empty: its default name). Says why on stderr
// when it fails, and when a stop signal ended it.
WavJobResult run_wav_job(const WavRequest& request, const std::string& song, std::string out, JobView& view);

}  // namespace kvt::cli
