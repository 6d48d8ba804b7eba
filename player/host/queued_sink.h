// What every sink shares: the written buffers in play order, consumed by
// the thread that plays, and the notification thread that runs their
// buffer-done notices. Writers and the playing thread meet only through
// atomic links, so playing neither allocates nor waits for a lock.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "audio_sink.h"

namespace kvt::host {

class QueuedSink : public AudioSink {
 public:
  QueuedSink();
  ~QueuedSink() override;  // a derived sink closes itself first
  QueuedSink(const QueuedSink&) = delete;
  QueuedSink& operator=(const QueuedSink&) = delete;

  void discard_notices() override;
  void wait_idle() override;
  bool on_notification_thread() const override { return std::this_thread::get_id() == notifier_.get_id(); }
  void pause(bool paused) override { paused_ = paused; }

 protected:
  // Any thread: appends `buffer` to the play order.
  WaveResult enqueue(WaveBuffer& buffer);
  // The playing side, one thread at a time: copies `length` bytes of queued
  // audio into `out`, silence where none is queued, and posts the notice of
  // every buffer played to its end.
  void fill(std::uint8_t* out, std::size_t length);
  // The playing side (or whoever holds it out): every queued buffer gets
  // its notice without being played.
  void drain();
  // While nothing is queued.
  void set_done_handler(DoneHandler on_done) { on_done_ = std::move(on_done); }
  // The playing side: whether buffers are waiting to be played.
  bool has_queued();

 private:
  void take_written();
  void post_done(WaveBuffer* buffer);
  WaveBuffer* take_done_in_order();
  void notification_loop();

  DoneHandler on_done_;

  // Written, newest first, until the playing side takes them over.
  std::atomic<WaveBuffer*> written_{nullptr};
  // The playing side's own queue and how far its front buffer has played.
  WaveBuffer* front_ = nullptr;
  WaveBuffer* back_ = nullptr;
  std::size_t played_ = 0;

  // Played or reset buffers, newest first, until the notifier takes them.
  std::atomic<WaveBuffer*> done_{nullptr};
  std::atomic<std::uint32_t> done_posts_{0};  // the notifier sleeps on it

  std::mutex notices_lock_;  // the notifier's queue, discarding and waiting
  std::condition_variable notices_done_;
  WaveBuffer* pending_front_ = nullptr;  // notices taken over, oldest first
  WaveBuffer* pending_back_ = nullptr;
  int notices_running_ = 0;
  std::atomic<bool> quit_{false};
  std::atomic<bool> paused_{false};
  std::thread notifier_;
};

}  // namespace kvt::host
