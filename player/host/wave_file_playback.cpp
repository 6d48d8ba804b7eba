#include "wave_file_playback.h"

#include <algorithm>
#include <cstring>

#include "sdl_library.h"

namespace kvt::host {
namespace {

constexpr int kBytesPerSample = 2;

}  // namespace

int WaveFilePlayback::play(const char* path, const kvt_notify_target* notify) {
  stop();
  std::lock_guard<std::mutex> hold(control_);
  notice_ = Notice(notify, ++serial_);
  if (!decode(path)) return 1;
  const std::size_t frame = static_cast<std::size_t>(format_.channels) * kBytesPerSample;
  const std::size_t chunk = frame * static_cast<std::size_t>(std::max(format_.rate / 2, 1));
  chunks_ = std::vector<WaveBuffer>((pcm_.size() + chunk - 1) / chunk);
  for (std::size_t i = 0; i < chunks_.size(); ++i) {
    chunks_[i].assign(pcm_.data() + i * chunk, std::min(chunk, pcm_.size() - i * chunk));
  }
  chunks_done_ = 0;
  if (device_->open(format_, [this](WaveBuffer&) { on_done(); }) != WaveResult::ok) return 1;
  playing_ = true;
  for (WaveBuffer& b : chunks_) {
    AudioSink::prepare(b);
    if (device_->write(b) != WaveResult::ok) {
      playing_ = false;
      close_device();
      return 1;
    }
  }
  return 0;
}

// Into pcm_ as 16-bit samples at the file's own rate, at most two channels.
bool WaveFilePlayback::decode(const char* path) {
  pcm_.clear();
  const SdlLibrary* sdl = WaveDevice::audio_library();
  if (sdl == nullptr || path == nullptr) return false;
  SDL_AudioSpec loaded{};
  std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
  // SDL_LoadWAV spelled out: the macro would call SDL's functions directly.
  if (sdl->LoadWAV_RW(sdl->RWFromFile(path, "rb"), 1, &loaded, &data, &length) == nullptr) return false;
  const int channels = std::min<int>(loaded.channels, 2);
  SDL_AudioCVT cvt{};
  const int built = sdl->BuildAudioCVT(&cvt, loaded.format, loaded.channels, loaded.freq, AUDIO_S16SYS,
                                       static_cast<std::uint8_t>(channels), loaded.freq);
  bool ok = built >= 0 && length > 0;
  if (ok) {
    pcm_.resize(static_cast<std::size_t>(length) * static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(pcm_.data(), data, length);
    cvt.buf = pcm_.data();
    cvt.len = static_cast<int>(length);
    ok = built == 0 || sdl->ConvertAudio(&cvt) == 0;
    pcm_.resize(built == 0 ? length : static_cast<std::size_t>(cvt.len_cvt));
  }
  sdl->FreeWAV(data);
  const std::size_t frame = static_cast<std::size_t>(channels) * kBytesPerSample;
  pcm_.resize(pcm_.size() / frame * frame);
  format_ = WaveFormat{loaded.freq, channels};
  return ok && !pcm_.empty();
}

void WaveFilePlayback::on_done() {
  if (chunks_done_.fetch_add(1) + 1 == chunks_.size() && playing_.exchange(false)) notify_done();
}

void WaveFilePlayback::notify_done() { notice_.send(KVT_NOTICE_WAVE_DONE); }

void WaveFilePlayback::stop() {
  std::lock_guard<std::mutex> hold(control_);
  if (!device_->is_open()) return;
  const bool cut_short = playing_.exchange(false);
  close_device();
  if (cut_short) notify_done();
}

void WaveFilePlayback::close_device() {
  device_->close();
  device_->discard_notices();
  if (!device_->on_notification_thread()) device_->wait_idle();
}

kvt_play_state WaveFilePlayback::state() const {
  kvt_play_state s{};
  s.playing = playing_.load() ? 1 : 0;
  s.rate = format_.rate;
  s.serial = serial_.load();
  const std::size_t frame = static_cast<std::size_t>(format_.channels) * kBytesPerSample;
  const std::size_t done = std::min(chunks_done_.load(), chunks_.size());
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < done; ++i) bytes += chunks_[i].length;
  s.frames = frame != 0 ? static_cast<unsigned long>(bytes / frame) : 0;
  return s;
}

}  // namespace kvt::host
