#include "output_wav.h"

#include "render_job.h"

namespace kvt::host {
namespace {

constexpr auto kPollPeriod = std::chrono::milliseconds(10);

}  // namespace

int output_wav(const HostUi& ui, const char* song_path, const char* wav_path, const playstruct& settings,
               const OutputOptions& options, char* title_out) {
  const std::unique_ptr<RenderJob> render = RenderJob::start(ui, song_path, wav_path, settings, options, title_out);
  if (render == nullptr) return 1;
  while (!render->poll(kPollPeriod)) {
    if (ui.cancel_requested()) render->cancel();
  }
  ui.finished();
  render->finish();
  return 0;
}

}  // namespace kvt::host
