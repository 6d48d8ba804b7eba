#include "wav_output.h"

#include <cerrno>

#include "atomic_file.h"
#include "audio_export.h"
#include "file_checks.h"
#include "message_output.h"
#include "pending_file.h"
#include "standard_output.h"
#include "stop_signals.h"

namespace kvt::cli {
namespace {

constexpr int kRenderedRates[] = {44100, 33075, 22050, 11025};

bool is_rendered_rate(int rate) {
  for (const int r : kRenderedRates) {
    if (r == rate) return true;
  }
  return false;
}

// What the player renders is what was asked for, but for where it goes.
bool is_plain_rendering(const WavOutput& output) {
  return output.format == frontend::AudioFormat::wave && is_rendered_rate(output.rate);
}

std::string shown_name(const WavOutput& output) {
  return output.to_stdout() ? std::string("standard output") : output.path;
}

// Writes the rendering as the new file `file`, showing how far it got.
bool export_to(const std::string& wave, const PendingFile& file, const WavOutput& output, JobView& view,
               bool stoppable) {
  const std::string shown = shown_name(output);
  if (file.path().empty()) {
    report_write_failure(shown, last_write_failure());
    return false;
  }
  const frontend::Outcome made =
      frontend::export_audio(wave, file.path(), {output.format, output.rate}, [&](int percent) {
        view.status("writing " + shown + " " + std::to_string(percent) + "%");
        return !stoppable || stop_signal() == 0;
      });
  view.close_status();
  print_messages(made.messages);
  return made.ok;
}

bool send_to_stdout(const std::string& file, const WavOutput& output) {
  const int error = copy_to_stdout(file);
  if (error != 0) report_write_failure(shown_name(output), error);
  return error == 0;
}

// The stream is sent only once it is complete, so a WAVE stream carries
// the exact sizes rather than the ones for a length not known.
bool deliver_to_stdout(const std::string& wave, const WavOutput& output, const std::string& scratch, JobView& view,
                       bool stoppable) {
  if (is_plain_rendering(output)) return send_to_stdout(wave, output);
  const PendingFile encoded(scratch + "/output" + frontend::format_extension(output.format));
  return export_to(wave, encoded, output, view, stoppable) && send_to_stdout(encoded.path(), output);
}

}  // namespace

WavOutput::WavOutput(std::string path_, std::optional<frontend::AudioFormat> format_, int rate_)
    : path(std::move(path_)),
      format(format_.value_or(frontend::format_for_output(path))),
      rate(rate_ != 0 ? rate_ : frontend::default_rate(format)) {}

bool WavOutput::to_stdout() const { return path == kStandardOutput; }

bool WavOutput::rendered_as_is() const { return !to_stdout() && is_plain_rendering(*this); }

int WavOutput::render_rate() const { return is_rendered_rate(rate) ? rate : kRenderedRates[0]; }

bool deliver(const std::string& wave, const WavOutput& output, const std::string& scratch, JobView& view,
             bool stoppable) {
  if (output.to_stdout()) return deliver_to_stdout(wave, output, scratch, view, stoppable);
  PendingFile file(output.path);
  if (!export_to(wave, file, output, view, stoppable)) return false;
  if (file.keep()) return true;
  report_write_failure(output.path, errno);
  return false;
}

}  // namespace kvt::cli
