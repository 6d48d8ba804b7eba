// A WAVE rendering that the front end polls: a worker thread renders with
// a song and driver of its own, and the front end's thread picks up what
// it has to show whenever it looks.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "kvt/player.h"
#include "output_options.h"
#include "player_context.h"
#include "wav_render.h"

namespace kvt::host {

class RenderJob {
 public:
  // Loads the song and starts the worker. Nothing (after a message, except
  // for an unsupported rate index) when no rendering started.
  static std::unique_ptr<RenderJob> start(const HostUi& ui, const char* song_path, const char* wav_path,
                                          const playstruct& settings, const OutputOptions& options,
                                          char* title_out);
  ~RenderJob();  // cancels and waits
  RenderJob(const RenderJob&) = delete;
  RenderJob& operator=(const RenderJob&) = delete;

  // Waits up to `timeout` and hands what the worker has to show to the
  // front end; true once the worker is done.
  bool poll(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));
  std::string progress_text() { return job_.mailbox.shown(); }
  void cancel();
  // Waits for the worker, delivers the rest; KVT_RENDER_...
  int finish();

 private:
  RenderJob(const HostUi& ui, const char* wav_path, std::uint32_t rate, const playstruct& settings,
            const OutputOptions& options);

  Player player_;
  WavJob job_;
  std::thread worker_;
};

}  // namespace kvt::host
