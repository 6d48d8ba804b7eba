#include "wave_device.h"

#include <cstring>
#include <mutex>
#include <string>

#include "sdl_library.h"

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
bool audio_ready(const SdlLibrary& sdl) {
  if (sdl.WasInit(SDL_INIT_AUDIO) != 0) return true;
  // The process's signals are the program's: a library inside it takes none.
  sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  return sdl.InitSubSystem(SDL_INIT_AUDIO) == 0;
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

WaveResult WaveDevice::query_card(const WaveFormat& format) {
  if (format.channels < 1 || format.channels > 2 || format.rate <= 0) return WaveResult::bad_format;
  const SdlLibrary* sdl = audio_library();
  if (sdl == nullptr) return WaveResult::bad_device;
  if (!audio_ready(*sdl)) {
    note_failure(sdl->GetError());
    return WaveResult::bad_device;
  }
  if (sdl->GetNumAudioDevices(0) != 0 || sdl->GetCurrentAudioDriver() != nullptr) return WaveResult::ok;
  note_failure("no audio device");
  return WaveResult::bad_device;
}

const SdlLibrary* WaveDevice::audio_library() {
  const SdlLibrary* sdl = sdl_library();
  if (sdl == nullptr) note_failure(sdl_library_failure().c_str());
  return sdl;
}

std::string WaveDevice::last_failure() {
  std::lock_guard<std::mutex> hold(failure_lock);
  return failure;
}

WaveResult WaveDevice::open(const WaveFormat& format, DoneHandler on_done) {
  if (device_ != 0) return WaveResult::allocated;
  if (const WaveResult r = query_card(format); r != WaveResult::ok) return r;
  SDL_AudioSpec want = spec_for(format), have{};
  want.callback = audio_callback;
  want.userdata = this;
  set_done_handler(std::move(on_done));
  const SdlLibrary& sdl = *sdl_library();  // query_card saw it loaded
  device_ = sdl.OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts if the card differs
  if (device_ == 0) {
    note_failure(sdl.GetError());
    return WaveResult::bad_device;
  }
  note_failure("");
  started_ = false;
  return WaveResult::ok;
}

WaveResult WaveDevice::write(WaveBuffer& buffer) {
  if (device_ == 0) return WaveResult::bad_device;
  if (const WaveResult r = enqueue(buffer); r != WaveResult::ok) return r;
  if (!started_.exchange(true)) sdl_library()->PauseAudioDevice(device_, 0);
  return WaveResult::ok;
}

void WaveDevice::reset() {
  if (device_ == 0) return;
  const SdlLibrary& sdl = *sdl_library();  // an open device means it is loaded
  sdl.LockAudioDevice(device_);  // holds the audio thread out of the queue
  drain();
  sdl.UnlockAudioDevice(device_);
}

void WaveDevice::close() {
  if (device_ == 0) return;
  reset();
  sdl_library()->CloseAudioDevice(device_);  // waits for the audio thread to leave
  device_ = 0;
}

void WaveDevice::audio_callback(void* self, std::uint8_t* stream, int length) {
  static_cast<WaveDevice*>(self)->fill(stream, static_cast<std::size_t>(length));
}

}  // namespace kvt::host
