// The player host's C exports over one default player instance.
#include <atomic>
#include <cstring>
#include <exception>

#include "atomic_file.h"
#include "export_barrier.h"
#include "kvt/player.h"
#include "output_options.h"
#include "output_wav.h"
#include "player_handle.h"
#include "render_job.h"
#include "song_events.h"
#include "song_image.h"
#include "voice_search.h"
#include "wave_device.h"

struct kvt_render {
  std::unique_ptr<kvt::host::RenderJob> job;
};

kvt_player& kvt::host::default_player() {
  static kvt_player player(nullptr, nullptr);  // stopped when the process ends
  return player;
}

namespace {

// The front end of _output_wav, whose rendering has a player of its own: a
// front end's event loop runs under the progress dialog, and a song
// started from it must not take the song being rendered away.
kvt::host::HostUi& default_render_ui() {
  static kvt::host::HostUi ui;
  return ui;
}

kvt::host::OutputOptions& default_render_options() {
  static kvt::host::OutputOptions options;
  return options;
}

// A failure nobody foresaw, shown through `ui`.
auto show_failure(const kvt::host::HostUi& ui) {
  return [&ui](const char* what) { ui.message((std::string("ERROR! ") + what).c_str(), KVT_ICON_EXCLAMATION); };
}

auto show_failure(kvt_player* player) { return show_failure(player->player.ui); }

int kvt_player_play_to(kvt_player* player, const char* song_path, const playstruct* settings, char* title_out,
                       const kvt_notify_target* notify) {
  if (song_path == nullptr || settings == nullptr) return 1;
  return kvt::export_barrier(
      1, [&] { return player->songs.play(song_path, *settings, title_out, notify, player->output); },
      show_failure(player));
}

int kvt_player_play_wave_to(kvt_player* player, const char* wav_path, const kvt_notify_target* notify) {
  return kvt::export_barrier(1, [&] { return player->waves.play(wav_path, notify); }, show_failure(player));
}

// A rendering's dialog loop may itself ask for another one, which would
// take the first one's player.
std::atomic<bool> rendering{false};

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
        kvt::host::default_player().player.ui.callbacks = callbacks;
        default_render_ui().callbacks = callbacks;
      },
      [](const char*) {});  // nothing to show it with yet
}

int _output_wav(const char* song_path, const char* wav_path, playstruct settings, char* title_out) {
  if (song_path == nullptr || wav_path == nullptr) return 1;
  if (rendering.exchange(true)) return 1;
  const kvt::host::HostUi& ui = default_render_ui();
  const int result = kvt::export_barrier(
      1, [&] { return kvt::host::output_wav(ui, song_path, wav_path, settings, default_render_options(), title_out); },
      show_failure(ui));
  rendering = false;
  return result;
}

void kvt_set_output_options(const kvt_output_options* options) {
  const kvt::host::OutputOptions chosen = kvt::host::read_output_options(options);
  kvt::export_barrier(
      [&] {
        kvt::host::default_player().output = chosen;
        default_render_options() = chosen;
      },
      [](const char*) {});  // the default player could not be made; _play will say so
}

int _play_init(void) {
  return kvt::export_barrier(
      1,
      [] {
        kvt::host::default_player();
        return 0;
      },
      [](const char*) {});
}

int _play(const char* song_path, playstruct settings, char* title_out, const kvt_notify_target* notify) {
  return kvt_player_play_to(&kvt::host::default_player(), song_path, &settings, title_out, notify);
}

void _waveout_stop(void) { kvt_player_stop(&kvt::host::default_player()); }

void kvt_play_state_get(kvt_play_state* state) { kvt_player_state(&kvt::host::default_player(), state); }

void kvt_keep_device_open(int keep) { kvt_player_keep_device_open(&kvt::host::default_player(), keep); }

void kvt_pause(int paused) { kvt_player_pause(&kvt::host::default_player(), paused); }

void kvt_set_gain_db(int db) { kvt_player_set_gain_db(&kvt::host::default_player(), db); }

int kvt_wave_play(const char* wav_path, const kvt_notify_target* notify) {
  return kvt_player_play_wave_to(&kvt::host::default_player(), wav_path, notify);
}

void kvt_wave_stop(void) { kvt_player_stop_wave(&kvt::host::default_player()); }

void kvt_wave_state_get(kvt_play_state* state) { kvt_player_wave_state(&kvt::host::default_player(), state); }

kvt_player* kvt_player_new(const kvt_host_ui* ui, const kvt_notify_target* notify) {
  return kvt::export_barrier<kvt_player*>(
      nullptr, [&] { return new kvt_player(ui, notify); }, [](const char*) {});
}

int kvt_player_play(kvt_player* player, const char* song_path, const playstruct* settings, char* title_out) {
  if (player == nullptr) return 1;
  return kvt_player_play_to(player, song_path, settings, title_out, &player->notify);
}

void kvt_player_set_output_options(kvt_player* player, const kvt_output_options* options) {
  if (player != nullptr) player->output = kvt::host::read_output_options(options);
}

void kvt_player_stop(kvt_player* player) {
  if (player == nullptr) return;
  kvt::export_barrier([&] { player->songs.waveout_stop(); }, show_failure(player));
}

void kvt_player_state(kvt_player* player, kvt_play_state* state) {
  if (state == nullptr) return;
  *state = kvt_play_state{};
  if (player == nullptr) return;
  kvt::export_barrier([&] { *state = player->songs.state(); }, show_failure(player));
}

void kvt_player_keep_device_open(kvt_player* player, int keep) {
  if (player == nullptr) return;
  kvt::export_barrier([&] { player->songs.keep_device_open(keep != 0); }, show_failure(player));
}

void kvt_player_pause(kvt_player* player, int paused) {
  if (player != nullptr) player->songs.pause(paused != 0);
}

void kvt_player_set_gain_db(kvt_player* player, int db) {
  if (player != nullptr) player->songs.set_gain_db(db);
}

int kvt_player_play_wave(kvt_player* player, const char* wav_path) {
  if (player == nullptr) return 1;
  return kvt_player_play_wave_to(player, wav_path, &player->notify);
}

void kvt_player_stop_wave(kvt_player* player) {
  if (player == nullptr) return;
  kvt::export_barrier([&] { player->waves.stop(); }, show_failure(player));
}

void kvt_player_wave_state(kvt_player* player, kvt_play_state* state) {
  if (state == nullptr) return;
  *state = kvt_play_state{};
  if (player == nullptr) return;
  kvt::export_barrier([&] { *state = player->waves.state(); }, show_failure(player));
}

void kvt_player_delete(kvt_player* player) {
  kvt::export_barrier([&] { delete player; }, [](const char*) {});
}

kvt_render* kvt_render_start(const kvt_host_ui* ui, const char* song_path, const char* wav_path,
                             const playstruct* settings, char* title_out) {
  return kvt_render_start_with_options(ui, song_path, wav_path, settings, nullptr, title_out);
}

kvt_render* kvt_render_start_with_options(const kvt_host_ui* ui, const char* song_path, const char* wav_path,
                                          const playstruct* settings, const kvt_output_options* options,
                                          char* title_out) {
  if (song_path == nullptr || wav_path == nullptr || settings == nullptr) return nullptr;
  kvt::host::HostUi front_end;
  if (ui != nullptr) front_end.callbacks = *ui;
  return kvt::export_barrier<kvt_render*>(
      nullptr,
      [&]() -> kvt_render* {
        auto job = kvt::host::RenderJob::start(front_end, song_path, wav_path, *settings,
                                               kvt::host::read_output_options(options), title_out);
        return job != nullptr ? new kvt_render{std::move(job)} : nullptr;
      },
      show_failure(front_end));
}

int kvt_render_poll(kvt_render* render, char* text, size_t size) {
  if (render == nullptr) return 1;
  return kvt::export_barrier(
      1,
      [&] {
        const bool done = render->job->poll();
        copy_truncated(render->job->progress_text(), text, size);
        return done ? 1 : 0;
      },
      [](const char*) {});
}

int kvt_render_wait(kvt_render* render, unsigned timeout_ms) {
  if (render == nullptr) return 1;
  return kvt::export_barrier(
      1, [&] { return render->job->poll(std::chrono::milliseconds(timeout_ms)) ? 1 : 0; }, [](const char*) {});
}

void kvt_render_cancel(kvt_render* render) {
  if (render != nullptr) render->job->cancel();
}

int kvt_render_finish(kvt_render* render) {
  if (render == nullptr) return KVT_RENDER_NO_FILE;
  const int outcome =
      kvt::export_barrier(int{KVT_RENDER_NO_FILE}, [&] { return render->job->finish(); }, [](const char*) {});
  delete render;
  return outcome;
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
