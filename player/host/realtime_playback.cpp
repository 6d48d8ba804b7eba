#include "realtime_playback.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <system_error>

#include "loader.h"
#include "output_gain.h"

namespace kvt::host {
namespace {

constexpr int kRingSlots = 3;
constexpr int kSilence = 3;
constexpr int kStatusWords = 10;
constexpr int kCallBytes = 4096;      // per channel: one driver call's output
constexpr int kDriverWorkSize = 16384;  // output plus the effect bus's scratch
constexpr int kBufferFrames = 12288;

constexpr int kEndMark = 1;
constexpr int kSilenceMark = 2;

constexpr int kIdle = 0;
constexpr int kPlaying = 1;
constexpr int kStopRequested = 2;

struct RateEntry {
  int rate;
  int buf_time;
};
constexpr RateEntry kRates[] = {{44100, 61440}, {33075, 81920}, {22050, 122880}, {16538, 163840}, {11025, 245760}};

// Blocks until `value` satisfies `done`.
template <typename Done>
void wait_until(const std::atomic<int>& value, Done done) {
  for (int seen = value.load(); !done(seen); seen = value.load()) value.wait(seen);
}

}  // namespace

RealtimePlayback::RealtimePlayback(Player& player, PlaybackView& view, std::unique_ptr<AudioSink> sink)
    : player_(player), view_(view), device_(std::move(sink)) {
  player_.driver->cpu_code = 1;  // every processor this runs on takes the 32-bit path
}

RealtimePlayback::~RealtimePlayback() { waveout_stop(); }

bool RealtimePlayback::take_rate(int rate_index) {
  if (rate_index < 0 || rate_index >= static_cast<int>(std::size(kRates))) return false;
  sb16 = rate_index;
  saisei_rate = kRates[rate_index].rate;
  buf_time = kRates[rate_index].buf_time * buffer_loop;
  return true;
}

void RealtimePlayback::fail(const char* text, int icon) {
  free_kvw(player_);
  player_.ui.message(text, icon);
}

int RealtimePlayback::play(const char* song_path, const playstruct& settings, char* title_out,
                           const kvt_notify_target* notify, const OutputOptions& options) {
  std::lock_guard<std::mutex> hold(control_);
  stop_locked();
  notice_ = Notice(notify, ++serial_);
  player_.tit = title_out;
  if (fm_and_kvw(player_, song_path, settings) != 0) return 1;

  take_rate(settings.rate_index);  // an unknown index keeps the previous rate
  channel = settings.channel;
  effect_level = settings.effect_level;
  fade = settings.fade < 0 ? 0 : settings.fade > 2 ? 2 : settings.fade;
  // The play settings' passes, of which the driver counted no more than 255.
  loop = options.loop > 0 ? options.loop : settings.loop > 0 && settings.loop < 256 ? settings.loop : 0;
  tail_ = SongTail(options.clean_end, static_cast<std::uint32_t>(saisei_rate));
  player_.driver->soft_part_end = options.clean_end;
  keyboard_flag = settings.keyboard_flag;
  player_.driver->fade_speed = 0;
  if (keyboard_flag == 1) {
    view_.show_song({song_path, sb16, channel, effect_level, player_.fm.bytes.get(), player_.fm.file_size});
  }

  if (!open_device()) return 1;

  driver::Context& d = *player_.driver;
  d.sb16 = sb16;
  d.channel = channel;
  d.effect_level = effect_level;
  d.dwDataSize = kDriverWorkSize;
  d.buffer = data_[0].get();
  driver::worksize();
  driver::init(d);
  reset_counters();
  skip_to(options.start_ms);
  if (!start_threads()) {
    fail("CreateThread Error: No memory!", KVT_ICON_EXCLAMATION);
    return 1;
  }
  acknowledged_at_ = kStopRequested + 2;  // render and feed thread
  clock_.start_ticks = static_cast<int>(skipped_buffers_.load() * (buf_time / kViewTickUnit));
  if (keyboard_flag == 1 && view_timer_.start(view_, clock_, play_flag2)) ++acknowledged_at_;
  clock_.start(buf_time);
  p1st_flag = 1;

  return queue_first_buffers() ? 0 : 1;
}

// Buffers 0 and 1 go to the device before the feed thread queues any.
bool RealtimePlayback::queue_first_buffers() {
  WaveResult first, second;
  {
    std::lock_guard<std::mutex> pcm(csPcm);
    first = device_->write(header_[0]);
    second = device_->write(header_[1]);
  }
  first_queued_ = true;
  hEvent2.signal();  // the feed thread may queue buffer 2 now
  if (first != WaveResult::ok || second != WaveResult::ok) {
    stop_locked();
    if (first == WaveResult::bad_device) {
      player_.ui.message("WaveOutWrite Error 0: Invalid Handle.", KVT_ICON_EXCLAMATION);
    } else if (first == WaveResult::no_memory) {
      player_.ui.message("WaveOutWrite Error 0: No memory.", KVT_ICON_NONE);
    } else {
      player_.ui.message("WaveOutWrite Error 0: Unexpected Error.", KVT_ICON_NONE);
    }
    return false;
  }
  return true;
}

// Opens the device for the song's format with its four buffers; false
// after the message, with the song freed.
bool RealtimePlayback::open_device() {
  const WaveFormat format{saisei_rate, channel};
  device_->pause(false);
  if (device_->is_open()) {
    if (format.rate == open_format_.rate && format.channels == open_format_.channels) return reopen_buffers();
    device_->close();
  }
  if (const WaveResult r = device_->query(format); r != WaveResult::ok) {
    char text[96];
    std::snprintf(text, sizeof text, "Not supported ..%dHz 16Bit %dChannel%s", saisei_rate, channel,
                  channel == 2 ? "\nRetry monaural sound\n" : "");
    fail(r == WaveResult::bad_format ? text : "WAVEERR_BADFORMAT: Unexpected Error !", KVT_ICON_INFORMATION);
    return false;
  }
  switch (device_->open(format, [this](WaveBuffer&) { on_buffer_done(); })) {
    case WaveResult::ok: break;
    case WaveResult::bad_device: fail("Not Open Device: Bad device", KVT_ICON_EXCLAMATION); return false;
    case WaveResult::allocated: fail("Not Open Device: Allocated", KVT_ICON_EXCLAMATION); return false;
    case WaveResult::no_memory: fail("Not Open Device: No memory", KVT_ICON_EXCLAMATION); return false;
    case WaveResult::bad_format: fail("Not Open Device: Bad format", KVT_ICON_EXCLAMATION); return false;
    case WaveResult::sync: fail("Not Open Device: Sync", KVT_ICON_EXCLAMATION); return false;
    case WaveResult::error: fail("Not Open Device: Unexpected Error!", KVT_ICON_EXCLAMATION); return false;
  }
  open_format_ = format;
  return reopen_buffers();
}

bool RealtimePlayback::reopen_buffers() {
  if (allocate_buffers()) return true;
  release_buffers();
  device_->close();
  fail("GlobalAlloc Error: No memory!", KVT_ICON_EXCLAMATION);
  return false;
}

void RealtimePlayback::keep_device_open(bool keep) {
  std::lock_guard<std::mutex> hold(control_);
  keep_device_open_ = keep;
  if (!keep && play_flag2.load() == kIdle) device_->close();
}

void RealtimePlayback::pause(bool paused) { device_->pause(paused); }

void RealtimePlayback::set_gain_db(int db) { gain_db_ = clamp_gain_db(db); }

bool RealtimePlayback::allocate_buffers() {
  // The last driver call of a buffer needs its whole work area from
  // channel x 20480 bytes in, past the declared length.
  const std::size_t declared = static_cast<std::size_t>(channel) * kCallBytes * buffer_loop;
  const std::size_t size = declared + static_cast<std::size_t>(4 - channel) * kCallBytes;
  for (int i = 0; i <= kSilence; ++i) {
    data_[i].reset(new (std::nothrow) std::uint8_t[size]);
    if (data_[i] == nullptr) return false;
    header_[i].assign(data_[i].get(), declared);
    AudioSink::prepare(header_[i]);
  }
  std::memset(data_[kSilence].get(), 0, declared);
  return true;
}

void RealtimePlayback::release_buffers() {
  for (int i = 0; i <= kSilence; ++i) {
    AudioSink::unprepare(header_[i]);
    data_[i].reset();
  }
}

void RealtimePlayback::reset_counters() {
  sw_make = 0;
  sw_send = 2;
  sw_play = 0;
  sw_limit = kRingSlots;
  for (std::atomic<int>& s : sw_status) s = 0;
  end_flag = 0;
  clock_.wait_flag = 0;
  last_pass_ = 0;
  first_queued_ = false;
}

// Starts the render thread, waits for the first three buffers, then starts
// the feed and stop threads. On failure everything is released again.
bool RealtimePlayback::start_threads() {
  try {
    hEvent1.reset();
    render_thread_ = std::thread(&RealtimePlayback::render_loop, this);
    wait_until(sw_make, [](int made) { return made >= kRingSlots; });
    hEvent2.reset();
    feed_thread_ = std::thread(&RealtimePlayback::feed_loop, this);
    hEventStop.reset();
    stop_thread_ = std::thread(&RealtimePlayback::stop_loop, this);
  } catch (const std::system_error&) {
    abandon_start();
    return false;
  }
  play_flag2 = kPlaying;
  return true;
}

void RealtimePlayback::abandon_start() {
  play_flag2 = kStopRequested;
  hEvent1.signal();
  hEvent2.signal();
  if (render_thread_.joinable()) render_thread_.join();
  if (feed_thread_.joinable()) feed_thread_.join();
  release_all();
}

void RealtimePlayback::waveout_stop() {
  std::lock_guard<std::mutex> hold(control_);
  stop_locked();
}

bool RealtimePlayback::stop_locked() {
  if (play_flag2.load() != kPlaying) return false;
  hEventStop.signal();
  wait_until(play_flag2, [](int flag) { return flag == kIdle; });
  stop_thread_.join();
  // No notice of this playback may reach the done handler any more.
  device_->discard_notices();
  if (!device_->on_notification_thread()) device_->wait_idle();
  return true;
}

// From the done handler: stops unless the control thread is starting or
// stopping already (it then stops this playback itself). The notice is
// copied while control_ is held: once it is released, play() may already
// put the next song's target in its place.
std::optional<Notice> RealtimePlayback::stop_at_song_end() {
  while (!control_.try_lock()) {
    if (play_flag2.load() != kPlaying) return std::nullopt;
    std::this_thread::yield();
  }
  std::lock_guard<std::mutex> hold(control_, std::adopt_lock);
  if (!stop_locked()) return std::nullopt;
  return notice_;
}

void RealtimePlayback::acknowledge_stop() {
  play_flag2.fetch_add(1);
  play_flag2.notify_all();
}

// Renders the next wave buffer of the song into `out`, the closing fade-out
// started as the passes require.
RealtimePlayback::Rendered RealtimePlayback::render_buffer(std::uint8_t* out) {
  driver::Context& d = *player_.driver;
  const std::size_t step = static_cast<std::size_t>(channel) * kCallBytes;
  int r = 0;
  for (int call = 0; call < buffer_loop; ++call) {
    d.buffer = out + call * step;
    r = driver::play(d);
    if (loop > 0 && driver::passes(d) >= loop) d.fade_speed = fade * 20 + 4;
    if (play_flag2.load() >= kStopRequested) return Rendered::stopped;
  }
  last_pass_ = r;
  const auto* samples = reinterpret_cast<const std::int16_t*>(out);
  const std::size_t count = step * static_cast<std::size_t>(buffer_loop) / sizeof(std::int16_t);
  return tail_.classify(r, samples, count, kBufferFrames) == SongTail::Block::song ? Rendered::song : Rendered::end;
}

// Before the threads start: renders the song silently up to about
// `start_ms` in, buffer by buffer as playback would, so that playing on
// from there sounds exactly as it would have. Stops at the song's end,
// after which only end-marked buffers follow.
void RealtimePlayback::skip_to(unsigned long start_ms) {
  const unsigned long long frames = static_cast<unsigned long long>(start_ms) * saisei_rate / 1000;
  const unsigned long long buffers = (frames + kBufferFrames / 2) / kBufferFrames;
  unsigned long skipped = 0;
  while (skipped < buffers) {
    ++skipped;
    if (render_buffer(data_[0].get()) != Rendered::song) break;
  }
  skipped_buffers_ = skipped;
}

void RealtimePlayback::render_loop() {
  const std::size_t count = static_cast<std::size_t>(channel) * kCallBytes * buffer_loop / sizeof(std::int16_t);
  for (;;) {
    while (sw_make.load() >= sw_limit.load() && play_flag2.load() < kStopRequested) hEvent1.wait();
    if (play_flag2.load() >= kStopRequested) return acknowledge_stop();
    hEvent2.signal();
    const int n = sw_make.load();
    std::uint8_t* out = data_[n % kRingSlots].get();
    const Rendered rendered = render_buffer(out);
    if (rendered == Rendered::stopped) return acknowledge_stop();
    std::atomic<int>& status = sw_status[n % kStatusWords];
    status.fetch_and(kSilenceMark);
    if (rendered == Rendered::end) status.fetch_or(kEndMark);
    apply_gain(reinterpret_cast<std::int16_t*>(out), count, gain_db_.load());  // after the end is judged on the song itself
    sw_make.store(n + 1);
    sw_make.notify_all();
    hEvent2.signal();  // queue it now rather than when the next buffer starts
    if (buffer_rendered) buffer_rendered();
  }
}

void RealtimePlayback::feed_loop() {
  for (;;) {
    while ((!first_queued_.load() || sw_send.load() >= sw_make.load()) && play_flag2.load() < kStopRequested) {
      hEvent2.wait();
    }
    if (play_flag2.load() >= kStopRequested) return acknowledge_stop();
    if (sw_status[sw_play.load() % kStatusWords].load() == kEndMark) end_flag.fetch_add(1);
    std::lock_guard<std::mutex> hold(csPcm);
    device_->write(header_[sw_send.load() % kRingSlots]);  // errors are ignored once running
    sw_send.fetch_add(1);
  }
}

void RealtimePlayback::stop_loop() {
  hEventStop.wait();
  play_flag2 = kStopRequested;
  play_flag2.notify_all();
  hEvent1.signal();
  hEvent2.signal();
  const int acknowledged = acknowledged_at_;
  wait_until(play_flag2, [acknowledged](int flag) { return flag >= acknowledged; });
  device_->reset();
  std::lock_guard<std::mutex> hold(csPcm);
  release_all();
}

void RealtimePlayback::release_all() {
  if (render_thread_.joinable()) render_thread_.join();
  if (feed_thread_.joinable()) feed_thread_.join();
  view_timer_.join();
  release_buffers();
  if (!keep_device_open_.load()) device_->close();
  free_kvw(player_);
  play_flag2 = kIdle;
  play_flag2.notify_all();
}

void RealtimePlayback::on_buffer_done() {
  if (play_flag2.load() == kIdle) return;  // a notice from before the teardown
  {
    std::lock_guard<std::mutex> hold(csPcm);
    const int finished = sw_status[sw_play.load() % kStatusWords].load();
    if (finished < kSilenceMark) {
      sw_play.fetch_add(1);
      sw_limit.fetch_add(1);
    }
    std::atomic<int>& now = sw_status[sw_play.load() % kStatusWords];
    if (sw_play.load() >= sw_send.load()) {
      if (play_flag2.load() == kPlaying) {
        device_->write(header_[kSilence]);
        now.fetch_or(kSilenceMark);
        // A starving card hides the end mark from the feed thread, which
        // only counts while a marked buffer is playing; count it here.
        if (finished == kEndMark) end_flag.fetch_add(1);
      }
    } else {
      now.fetch_and(~kSilenceMark);
      clock_.buffer_played(buf_time, p1st_flag.exchange(0) != 0);  // one buffer more may be shown
    }
    hEvent1.signal();
  }
  if (end_flag.load() > 1) {
    if (const std::optional<Notice> ended = stop_at_song_end()) ended->send(kCommandSongEnd);
    end_flag = 0;
  }
}

kvt_play_state RealtimePlayback::state() const {
  kvt_play_state s{};
  s.playing = play_flag2.load() == kPlaying ? 1 : 0;
  s.frames = s.playing != 0 ? (skipped_buffers_.load() + static_cast<unsigned long>(sw_play.load())) * kBufferFrames : 0;
  s.rate = saisei_rate;
  s.pass = last_pass_.load();
  s.serial = serial_.load();
  return s;
}

}  // namespace kvt::host
