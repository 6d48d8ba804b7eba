#include "wave_device.h"

#include <SDL.h>

#include <cstring>
#include <mutex>
#include <string>

namespace kvt::host {
namespace {

constexpr int kDeviceFrames = 512;  // the card's own buffer, in frames; closing waits for two of them

std::mutex failure_lock;
std::string failure;  // why the card last could not be opened, in the audio layer's words

void note_failure(const char* reason) {
  std::lock_guard<std::mutex> hold(failure_lock);
  failure = reason;
}

// SDL's audio subsystem, started with the first device and kept.
bool audio_ready() {
  if (SDL_WasInit(SDL_INIT_AUDIO) != 0) return true;
  // The process's signals are the program's: a library inside it takes none.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SDL_AudioSpec spec_for(const WaveFormat& f) {
  SDL_AudioSpec want{};
  want.freq = f.rate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<std::uint8_t>(f.channels);
  want.samples = kDeviceFrames;
  return want;
}

}  // namespace

WaveDevice::WaveDevice() : notifier_([this] { notification_loop(); }) {}

WaveDevice::~WaveDevice() {
  close();
  discard_notices();
  {
    std::lock_guard<std::mutex> hold(notices_lock_);
    quit_ = true;
  }
  notices_ready_.notify_all();
  notifier_.join();
}

WaveResult WaveDevice::query(const WaveFormat& format) {
  if (format.channels < 1 || format.channels > 2 || format.rate <= 0) return WaveResult::bad_format;
  if (!audio_ready()) {
    note_failure(SDL_GetError());
    return WaveResult::bad_device;
  }
  if (SDL_GetNumAudioDevices(0) != 0 || SDL_GetCurrentAudioDriver() != nullptr) return WaveResult::ok;
  note_failure("no audio device");
  return WaveResult::bad_device;
}

std::string WaveDevice::last_failure() {
  std::lock_guard<std::mutex> hold(failure_lock);
  return failure;
}

WaveResult WaveDevice::open(const WaveFormat& format, DoneHandler on_done) {
  if (device_ != 0) return WaveResult::allocated;
  if (const WaveResult r = query(format); r != WaveResult::ok) return r;
  SDL_AudioSpec want = spec_for(format), have{};
  want.callback = audio_callback;
  want.userdata = this;
  on_done_ = std::move(on_done);
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts if the card differs
  if (device_ == 0) {
    note_failure(SDL_GetError());
    return WaveResult::bad_device;
  }
  note_failure("");
  queue_.clear();
  played_ = 0;
  started_ = false;
  return WaveResult::ok;
}

WaveResult WaveDevice::prepare(WaveBuffer& buffer) {
  if (buffer.data == nullptr || buffer.length == 0) return WaveResult::error;
  buffer.prepared = true;
  return WaveResult::ok;
}

WaveResult WaveDevice::write(WaveBuffer& buffer) {
  if (device_ == 0) return WaveResult::bad_device;
  if (!buffer.prepared || buffer.queued) return WaveResult::error;
  SDL_LockAudioDevice(device_);
  buffer.queued = true;
  queue_.push_back(&buffer);
  SDL_UnlockAudioDevice(device_);
  if (!started_.exchange(true)) SDL_PauseAudioDevice(device_, 0);
  return WaveResult::ok;
}

void WaveDevice::reset() {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  std::deque<WaveBuffer*> returned;
  returned.swap(queue_);
  played_ = 0;
  SDL_UnlockAudioDevice(device_);
  for (WaveBuffer* b : returned) notify(b);
}

void WaveDevice::discard_notices() {
  std::lock_guard<std::mutex> hold(notices_lock_);
  for (WaveBuffer* b : notices_) b->queued = false;
  notices_.clear();
  notices_done_.notify_all();
}

void WaveDevice::wait_idle() {
  std::unique_lock<std::mutex> hold(notices_lock_);
  notices_done_.wait(hold, [this] { return notices_.empty() && notices_running_ == 0; });
}

void WaveDevice::unprepare(WaveBuffer& buffer) { buffer.prepared = false; }

void WaveDevice::close() {
  if (device_ == 0) return;
  reset();
  SDL_CloseAudioDevice(device_);  // waits for the audio thread to leave
  device_ = 0;
}

void WaveDevice::audio_callback(void* self, std::uint8_t* stream, int length) {
  static_cast<WaveDevice*>(self)->fill(stream, static_cast<std::size_t>(length));
}

// On the audio thread, with the device locked: copy from the queued
// buffers, silence when none is left.
void WaveDevice::fill(std::uint8_t* stream, std::size_t length) {
  while (length > 0 && !queue_.empty()) {
    WaveBuffer* b = queue_.front();
    const std::size_t n = std::min(length, b->length - played_);
    std::memcpy(stream, b->data + played_, n);
    stream += n;
    length -= n;
    played_ += n;
    if (played_ == b->length) {
      queue_.pop_front();
      played_ = 0;
      notify(b);
    }
  }
  std::memset(stream, 0, length);
}

void WaveDevice::notify(WaveBuffer* buffer) {
  {
    std::lock_guard<std::mutex> hold(notices_lock_);
    notices_.push_back(buffer);
  }
  notices_ready_.notify_one();
}

void WaveDevice::notification_loop() {
  std::unique_lock<std::mutex> hold(notices_lock_);
  for (;;) {
    notices_ready_.wait(hold, [this] { return quit_ || !notices_.empty(); });
    if (notices_.empty()) return;  // quitting with nothing left
    WaveBuffer* b = notices_.front();
    notices_.pop_front();
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
