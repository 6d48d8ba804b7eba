#include "render_job.h"

#include <new>
#include <system_error>

#include "loader.h"

namespace kvt::host {

RenderJob::RenderJob(const HostUi& ui, const char* wav_path, std::uint32_t rate, const playstruct& settings,
                     const OutputOptions& options)
    : job_(player_, wav_path, rate, settings, options) {
  player_.ui = ui;
}

std::unique_ptr<RenderJob> RenderJob::start(const HostUi& ui, const char* song_path, const char* wav_path,
                                            const playstruct& settings, const OutputOptions& options,
                                            char* title_out) {
  const std::uint32_t rate = wav_rate(settings.rate_index);
  if (rate == 0) return nullptr;
  std::unique_ptr<RenderJob> render(new (std::nothrow) RenderJob(ui, wav_path, rate, settings, options));
  if (render == nullptr) {
    ui.message("No memory.", KVT_ICON_EXCLAMATION);
    return nullptr;
  }
  Player& player = render->player_;
  player.tit = title_out;
  if (fm_and_kvw(player, song_path, settings) != 0) return nullptr;
  render->job_.buffer.reset(new (std::nothrow) std::int16_t[kWorkBufferSize / sizeof(std::int16_t)]);
  try {
    if (render->job_.buffer == nullptr) throw std::bad_alloc();
    render->worker_ = std::thread(render_wav, std::ref(render->job_));
  } catch (const std::exception&) {
    free_kvw(player);
    ui.message("No memory.", KVT_ICON_EXCLAMATION);
    return nullptr;
  }
  return render;
}

RenderJob::~RenderJob() {
  if (!worker_.joinable()) return;
  cancel();
  worker_.join();
}

bool RenderJob::poll(std::chrono::milliseconds timeout) {
  const bool done = job_.mailbox.wait_done(timeout);
  job_.mailbox.deliver(player_.ui);
  return done;
}

void RenderJob::cancel() {
  int running = kRendering;
  job_.end_flag.compare_exchange_strong(running, kCancelAsked);
}

int RenderJob::finish() {
  worker_.join();
  job_.mailbox.deliver(player_.ui);
  return job_.outcome;
}

}  // namespace kvt::host
