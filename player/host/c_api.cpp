// The player host's C exports over one default player instance.
#include <atomic>
#include <cstring>
#include <exception>

#include "atomic_file.h"
#include "export_barrier.h"
#include "kvt/player.h"
#include "output_wav.h"
#include "realtime_playback.h"
#include "song_events.h"
#include "song_image.h"
#include "voice_search.h"
#include "wave_device.h"
#include "wave_file_playback.h"

namespace {

kvt::host::Player& default_player() {
  static kvt::host::Player player;  // lives as long as the process
  return player;
}

// WAVE rendering has a player of its own: a front end's event loop runs
// under the progress dialog, and a song started from it must not take the
// song being rendered away.
kvt::host::Player& render_player() {
  static kvt::host::Player player;
  return player;
}

// A failure nobody foresaw, shown through the front end of `player`.
auto show_failure(kvt::host::Player& (*player)()) {
  return [player](const char* what) {
    player().ui.message((std::string("ERROR! ") + what).c_str(), KVT_ICON_EXCLAMATION);
  };
}

// A rendering's dialog loop may itself ask for another one, which would
// take the first one's player.
std::atomic<bool> rendering{false};

// Playback of the default player; no visual player is attached yet.
struct DefaultPlayback {
  kvt::host::PlaybackView view;
  kvt::host::RealtimePlayback songs{default_player(), view};
  kvt::host::WaveFilePlayback waves;
};

DefaultPlayback& default_playback() {
  static DefaultPlayback playback;  // stopped when the process ends
  return playback;
}

void copy_truncated(const std::string& text, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return;
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

// The events of part `index` up to its end command or the image's end that
// `counts` takes, or -1 when the part is absent.
template <class Counts>
long count_part_events(const unsigned char* image, std::size_t size, unsigned index, unsigned long* offset,
                       Counts counts) {
  const kvt::host::SongImage song(image, size);
  if (image == nullptr || song.check() != kvt::host::SongCheck::ok) return -1;
  const auto start = song.part_start(index);
  if (!start) return -1;
  if (offset != nullptr) *offset = *start;
  long events = 0;
  for (std::size_t at = *start; at < size;) {
    const std::uint32_t n = kvt::song::event_size(image + at, static_cast<std::uint32_t>(std::min<std::size_t>(size - at, UINT32_MAX)));
    if (n == 0) break;
    if (counts(image[at])) ++events;
    if (image[at] == kvt::song::kEnd) break;
    at += n;
  }
  return events;
}

}  // namespace

extern "C" {

KVT_API const char* kvt_version(void) { return KVT_VERSION_TEXT; }

KVT_API int kvt_write_failure(void) { return kvt::last_write_failure(); }

KVT_API void kvt_device_failure(char* text, size_t size) {
  kvt::export_barrier([&] { copy_truncated(kvt::host::WaveDevice::last_failure(), text, size); },
                      [&](const char*) { copy_truncated({}, text, size); });
}

void kvt_set_host_ui(const kvt_host_ui* ui) {
  const kvt_host_ui callbacks = ui != nullptr ? *ui : kvt_host_ui{};
  kvt::export_barrier(
      [&] {
        default_player().ui.callbacks = callbacks;
        render_player().ui.callbacks = callbacks;
      },
      [](const char*) {});  // nothing to show it with yet
}

int _output_wav(const char* song_path, const char* wav_path, playstruct settings, char* title_out) {
  if (song_path == nullptr || wav_path == nullptr) return 1;
  if (rendering.exchange(true)) return 1;
  const int result = kvt::export_barrier(
      1, [&] { return kvt::host::output_wav(render_player(), song_path, wav_path, settings, title_out); },
      show_failure(render_player));
  rendering = false;
  return result;
}

int _play_init(void) {
  return kvt::export_barrier(
      1,
      [] {
        default_playback();
        return 0;
      },
      show_failure(default_player));
}

int _play(const char* song_path, playstruct settings, char* title_out, const kvt_notify_target* notify) {
  if (song_path == nullptr) return 1;
  return kvt::export_barrier(
      1, [&] { return default_playback().songs.play(song_path, settings, title_out, notify); },
      show_failure(default_player));
}

void _waveout_stop(void) {
  kvt::export_barrier([] { default_playback().songs.waveout_stop(); }, show_failure(default_player));
}

void kvt_play_state_get(kvt_play_state* state) {
  if (state == nullptr) return;
  *state = kvt_play_state{};
  kvt::export_barrier([&] { *state = default_playback().songs.state(); }, show_failure(default_player));
}

int kvt_wave_play(const char* wav_path, const kvt_notify_target* notify) {
  return kvt::export_barrier(
      1, [&] { return default_playback().waves.play(wav_path, notify); }, show_failure(default_player));
}

void kvt_wave_stop(void) {
  kvt::export_barrier([] { default_playback().waves.stop(); }, show_failure(default_player));
}

void kvt_wave_state_get(kvt_play_state* state) {
  if (state == nullptr) return;
  *state = kvt_play_state{};
  kvt::export_barrier([&] { *state = default_playback().waves.state(); }, show_failure(default_player));
}

int kvt_song_read_info(const unsigned char* image, std::size_t size, kvt_song_info* info, char* title,
                       std::size_t title_size) {
  if (image == nullptr) return KVT_SONG_NOT_SONG;
  const kvt::host::SongImage song(image, size);
  switch (song.check()) {
    case kvt::host::SongCheck::not_song: return KVT_SONG_NOT_SONG;
    case kvt::host::SongCheck::damaged: return KVT_SONG_DAMAGED;
    case kvt::host::SongCheck::ok: break;
  }
  const kvt::host::SongHeader h = song.header();
  if (info != nullptr) {
    *info = kvt_song_info{h.default_length, h.tempo,          h.part_table_end, h.voice_count,
                          h.offset_mode,    h.title_offset,   h.key_adj_offset, song.part_entries()};
  }
  kvt::export_barrier([&] { copy_truncated(song.title_line(), title, title_size); },
                      [&](const char*) { copy_truncated({}, title, title_size); });
  return KVT_SONG_OK;
}

int kvt_song_voice(const unsigned char* image, std::size_t size, unsigned index, unsigned* slot, const char** name) {
  const kvt::host::SongImage song(image, size);
  if (image == nullptr || song.check() != kvt::host::SongCheck::ok || index >= song.header().voice_count) return 1;
  const kvt::host::VoiceRecord record = song.voice(index);
  if (slot != nullptr) *slot = record.slot;
  if (name != nullptr) *name = record.name.data();
  return 0;
}

long kvt_song_part(const unsigned char* image, std::size_t size, unsigned index, unsigned long* offset) {
  return count_part_events(image, size, index, offset, [](std::uint8_t) { return true; });
}

long kvt_song_part_notes(const unsigned char* image, std::size_t size, unsigned index) {
  return count_part_events(image, size, index, nullptr, kvt::song::is_note);
}

int kvt_find_voice(const char* name, const playstruct* settings, char* path, std::size_t path_size) {
  if (name == nullptr || settings == nullptr) return 1;
  return kvt::export_barrier(
      1,
      [&] {
        const std::string found = kvt::host::find_voice_file(name, settings->pcm_dir);
        if (found.empty()) return 1;
        copy_truncated(found, path, path_size);
        return 0;
      },
      [](const char*) {});  // the result says all there is
}

}  // extern "C"
