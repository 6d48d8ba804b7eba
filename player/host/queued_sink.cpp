#include "queued_sink.h"

#include <cstring>

namespace kvt::host {
namespace {

// A chain linked through `next` turned oldest first; returns its new head
// and stores its last element in `last`.
WaveBuffer* reversed(WaveBuffer* newest, WaveBuffer* WaveBuffer::*next, WaveBuffer*& last) {
  WaveBuffer* oldest = nullptr;
  last = newest;
  while (newest != nullptr) {
    WaveBuffer* older = newest->*next;
    newest->*next = oldest;
    oldest = newest;
    newest = older;
  }
  return oldest;
}

// Appends a chain (oldest first, ending at `last`) to the queue front..back.
void append(WaveBuffer*& front, WaveBuffer*& back, WaveBuffer* WaveBuffer::*next, WaveBuffer* chain,
            WaveBuffer* last) {
  if (chain == nullptr) return;
  if (back == nullptr) {
    front = chain;
  } else {
    back->*next = chain;
  }
  back = last;
}

}  // namespace

QueuedSink::QueuedSink() : notifier_([this] { notification_loop(); }) {}

QueuedSink::~QueuedSink() {
  discard_notices();
  quit_ = true;
  done_posts_.fetch_add(1);
  done_posts_.notify_all();
  notifier_.join();
}

WaveResult QueuedSink::enqueue(WaveBuffer& buffer) {
  if (!buffer.prepared || buffer.queued.exchange(true)) return WaveResult::error;
  WaveBuffer* newest = written_.load(std::memory_order_relaxed);
  do {
    buffer.next_written = newest;
  } while (!written_.compare_exchange_weak(newest, &buffer, std::memory_order_release, std::memory_order_relaxed));
  return WaveResult::ok;
}

void QueuedSink::take_written() {
  WaveBuffer* last = nullptr;
  WaveBuffer* chain = reversed(written_.exchange(nullptr, std::memory_order_acquire), &WaveBuffer::next_written, last);
  append(front_, back_, &WaveBuffer::next_written, chain, last);
}

bool QueuedSink::has_queued() {
  take_written();
  return front_ != nullptr;
}

void QueuedSink::fill(std::uint8_t* out, std::size_t length) {
  take_written();
  while (length > 0 && front_ != nullptr && !paused_.load()) {
    WaveBuffer* b = front_;
    const std::size_t n = std::min(length, b->length - played_);
    std::memcpy(out, b->data + played_, n);
    out += n;
    length -= n;
    played_ += n;
    if (played_ == b->length) {
      front_ = b->next_written;  // read before the notice lets a writer reuse it
      if (front_ == nullptr) back_ = nullptr;
      played_ = 0;
      post_done(b);
    }
  }
  std::memset(out, 0, length);
}

void QueuedSink::drain() {
  take_written();
  for (WaveBuffer* b = front_; b != nullptr;) {
    WaveBuffer* next = b->next_written;
    post_done(b);
    b = next;
  }
  front_ = back_ = nullptr;
  played_ = 0;
}

void QueuedSink::post_done(WaveBuffer* buffer) {
  WaveBuffer* newest = done_.load(std::memory_order_relaxed);
  do {
    buffer->next_done = newest;
  } while (!done_.compare_exchange_weak(newest, buffer, std::memory_order_release, std::memory_order_relaxed));
  done_posts_.fetch_add(1, std::memory_order_release);
  done_posts_.notify_one();
}

WaveBuffer* QueuedSink::take_done_in_order() {
  WaveBuffer* last = nullptr;
  WaveBuffer* chain = reversed(done_.exchange(nullptr, std::memory_order_acquire), &WaveBuffer::next_done, last);
  append(pending_front_, pending_back_, &WaveBuffer::next_done, chain, last);
  return pending_front_;
}

void QueuedSink::discard_notices() {
  std::lock_guard<std::mutex> hold(notices_lock_);
  for (WaveBuffer* b = take_done_in_order(); b != nullptr; b = b->next_done) b->queued = false;
  pending_front_ = pending_back_ = nullptr;
  notices_done_.notify_all();
}

void QueuedSink::wait_idle() {
  std::unique_lock<std::mutex> hold(notices_lock_);
  notices_done_.wait(hold, [this] {
    return pending_front_ == nullptr && done_.load() == nullptr && notices_running_ == 0;
  });
}

void QueuedSink::notification_loop() {
  for (;;) {
    const std::uint32_t seen = done_posts_.load(std::memory_order_acquire);
    std::unique_lock<std::mutex> hold(notices_lock_);
    WaveBuffer* b = take_done_in_order();
    if (b == nullptr) {
      if (quit_) return;
      hold.unlock();
      done_posts_.wait(seen);
      continue;
    }
    pending_front_ = b->next_done;
    if (pending_front_ == nullptr) pending_back_ = nullptr;
    ++notices_running_;
    hold.unlock();
    b->queued = false;
    if (on_done_) on_done_(*b);
    hold.lock();
    --notices_running_;
    notices_done_.notify_all();
  }
}

}  // namespace kvt::host
