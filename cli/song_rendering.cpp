#include "song_rendering.h"

#include <cstdio>

#include "display_text.h"
#include "progress_text.h"
#include "stop_signals.h"

namespace kvt::cli {
namespace {

// About as often as the library's own dialog loop looks at its cancel button.
constexpr unsigned kPollMilliseconds = 10;

struct Shown {
  JobView& view;
  bool message = false;
};

void on_message(void* context, const char* text, int) {
  auto* shown = static_cast<Shown*>(context);
  shown->view.close_status();
  std::fprintf(stderr, "kvt: %s\n", frontend::to_utf8(text).c_str());
  shown->message = true;
}

void on_progress(void* context, const char* text) { static_cast<Shown*>(context)->view.status(progress_line(text)); }

}  // namespace

SongRendering render_song(const std::string& song, const std::string& wav, const playstruct& settings,
                          const kvt_output_options& options, JobView& view) {
  Shown shown{view};
  const kvt_host_ui ui{&shown, on_message, on_progress, nullptr, nullptr};
  char title[256] = {};
  kvt_render* render = kvt_render_start_with_options(&ui, song.c_str(), wav.c_str(), &settings, &options, title);
  bool cancelled = false;
  // Waiting in the library rather than sleeping here ends the command as
  // soon as the file is complete.
  while (render != nullptr && kvt_render_wait(render, kPollMilliseconds) == 0) {
    if (!cancelled && stop_signal() != 0) {
      kvt_render_cancel(render);
      cancelled = true;
    }
  }
  const int outcome = render != nullptr ? kvt_render_finish(render) : int{KVT_RENDER_NO_FILE};
  view.close_status();
  return {outcome, shown.message || render == nullptr, frontend::to_utf8(title)};
}

}  // namespace kvt::cli
