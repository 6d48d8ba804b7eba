#include "output_wav.h"

#include <new>
#include <thread>

#include "loader.h"
#include "wav_render.h"

namespace kvt::host {
namespace {

constexpr auto kPollPeriod = std::chrono::milliseconds(10);

// The dialog's side: shows what the worker reports and passes a cancel on,
// until the worker is done.
void run_progress_dialog(WavJob& job) {
  const HostUi& ui = job.player.ui;
  while (!job.mailbox.wait_done(kPollPeriod)) {
    job.mailbox.deliver(ui);
    int running = kRendering;
    if (ui.cancel_requested()) job.end_flag.compare_exchange_strong(running, kCancelAsked);
  }
  job.mailbox.deliver(ui);
  ui.finished();
}

}  // namespace

int output_wav(Player& player, const char* song_path, const char* wav_path, const playstruct& settings,
               char* title_out) {
  const std::uint32_t rate = wav_rate(settings.rate_index);
  if (rate == 0) return 1;
  player.tit = title_out;
  WavJob job(player, wav_path, rate, settings);
  if (fm_and_kvw(player, song_path, settings) != 0) return 1;
  job.buffer.reset(new (std::nothrow) std::int16_t[kWorkBufferSize / sizeof(std::int16_t)]);
  if (job.buffer == nullptr) {
    free_kvw(player);
    player.ui.message("No memory.", KVT_ICON_EXCLAMATION);
    return 1;
  }
  std::thread worker;
  try {
    worker = std::thread(render_wav, std::ref(job));
  } catch (const std::system_error&) {
    free_kvw(player);
    player.ui.message("No memory.", KVT_ICON_EXCLAMATION);
    return 1;
  }
  run_progress_dialog(job);
  worker.join();
  return 0;
}

}  // namespace kvt::host
