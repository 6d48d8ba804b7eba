#include "play_session.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "display_text.h"
#include "keyboard_view.h"
#include "library_texts.h"
#include "stop_signals.h"

namespace kvt::cli {
namespace {

constexpr auto kViewPeriod = std::chrono::milliseconds(50);  // the pace of the visual player's own clock
constexpr int kViewPeriodsPerStatus = 4;                     // the status line keeps its pace of 200 ms

// The ends the library announces, set from its thread. A song's end may
// come after the next song started, or after its loop gave up waiting;
// only the serial tells whose it is.
class EndNotices {
 public:
  kvt_notify_target target() { return {this, on_command}; }
  // Waits up to `limit` for `id` about the playback `serial`.
  bool wait_for(int id, unsigned long serial, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, limit, [&] { return last_[id] == serial; });
  }

 private:
  static void on_command(void* self, int id, unsigned long serial) {
    auto* notices = static_cast<EndNotices*>(self);
    std::lock_guard<std::mutex> hold(notices->lock_);
    notices->last_[id] = serial;
    notices->changed_.notify_all();
  }

  std::mutex lock_;
  std::condition_variable changed_;
  std::map<int, unsigned long> last_;  // by command, the serial it last came with
};

// Kept for the whole run and never destroyed: a song's end may still be on
// its way when its loop has returned, even while the process exits and the
// library's notice thread outlives this file's static objects.
EndNotices& end_notices() {
  static EndNotices* const notices = new EndNotices;
  return *notices;
}

kvt_play_state state_of(const PlayItem& item) {
  kvt_play_state state{};
  if (item.wave) {
    kvt_wave_state_get(&state);
  } else {
    kvt_play_state_get(&state);
  }
  return state;
}

std::string status_line(const PlayItem& item, const kvt_play_state& state, bool paused, int gain_db) {
  const unsigned long seconds = state.rate > 0 ? state.frames / static_cast<unsigned long>(state.rate) : 0;
  char line[64];
  std::snprintf(line, sizeof line, "  %lu:%02lu", seconds / 60, seconds % 60);
  std::string text = item.label + line;
  if (!item.wave) {
    text += state.pass < 0 ? "  ending" : "  pass " + std::to_string(state.pass + 1);
    if (gain_db != 0) text += "  " + std::string(gain_db > 0 ? "+" : "") + std::to_string(gain_db) + " dB";
    if (paused) text += "  paused";
  }
  return text;
}

// The visual player's picture on the terminal, drawn again only when it or
// the terminal's size has changed.
class LiveKeyboard {
 public:
  void follow(TerminalUi& ui) {
    const std::optional<TerminalSize> size = ui.picture_size();
    if (!size) return;
    kvt_view_snapshot snapshot{};
    kvt_view_snapshot_get(&snapshot);
    if (size == size_ && snapshot.serial == serial_) return;
    // The player's label, in the language the command speaks.
    const std::string channel = frontend::texts_for_locale().text(frontend::to_utf8(snapshot.channel_label));
    std::snprintf(snapshot.channel_label, sizeof snapshot.channel_label, "%s", channel.c_str());
    size_ = size;
    serial_ = snapshot.serial;
    keys_.add(snapshot);
    std::vector<std::string> lines = keyboard_lines(snapshot, size->columns, keys_);
    lines.resize(std::min(lines.size(), static_cast<std::size_t>(std::max(size->lines, 0))));
    ui.picture(lines);
  }

 private:
  std::optional<TerminalSize> size_;
  unsigned long serial_ = 0;
  KeysInUse keys_;  // of this song
};

// After the library's own message: what the user can do when the sound
// card is the reason.
PlayOutcome failed_to_start() {
  char reason[512] = {};
  kvt_device_failure(reason, sizeof reason);
  if (reason[0] != '\0') {
    std::fprintf(stderr, "kvt: no sound device could be opened (SDL: %s); set SDL_AUDIODRIVER, or render with kvt wav\n",
                 reason);
  }
  return PlayOutcome::failed;
}

// A song or WAVE file as it plays, steered by the keys.
class Playing {
 public:
  Playing(const PlayItem& item, const playstruct& settings, TerminalUi& ui, PlaySteering& steering)
      : item_(item), settings_(settings), ui_(ui), steering_(steering) {}

  // Starts it, with its title on stdout; false when it did not start.
  bool start(const kvt_notify_target& target) {
    target_ = target;
    const unsigned long start_ms = std::exchange(steering_.start_ms, 0);  // the first song's, even a WAVE file's
    if (item_.wave) {
      if (kvt_wave_play(item_.path.c_str(), &target_) != 0) {
        std::fprintf(stderr, "kvt: Can't Play! %s\n", item_.path.c_str());
        return false;
      }
      std::printf("%s\n", item_.label.c_str());
      serial_ = state_of(item_).serial;
    } else {
      char title[256] = {};
      if (!start_song(start_ms, title)) return false;
      std::printf("%s\n", frontend::to_utf8(title).c_str());
    }
    std::fflush(stdout);
    return true;
  }

  unsigned long serial() const { return serial_; }
  bool paused() const { return paused_; }

  // Carries out a key; returns how the song ends when the key ends it.
  std::optional<PlayOutcome> obey(PlayKey key) {
    switch (key) {
      case PlayKey::none: break;
      case PlayKey::quit: return PlayOutcome::quit;
      case PlayKey::next: return PlayOutcome::next;
      case PlayKey::previous: return PlayOutcome::previous;
      case PlayKey::help: ui_.note(kPlayKeysHelp); break;
      case PlayKey::pause:
        if (item_.wave) break;  // a WAVE file plays through a device of its own
        paused_ = !paused_;
        kvt_pause(paused_ ? 1 : 0);
        break;
      case PlayKey::louder:
      case PlayKey::quieter:
        steering_.gain_db = std::clamp(steering_.gain_db + (key == PlayKey::louder ? 1 : -1), -60, 24);
        kvt_set_gain_db(steering_.gain_db);
        break;
      case PlayKey::back:
      case PlayKey::forward:
      case PlayKey::far_back:
      case PlayKey::far_forward:
        if (item_.wave) break;
        if (!seek(seek_seconds(key))) return PlayOutcome::failed;
        break;
    }
    return std::nullopt;
  }

 private:
  // Plays the song from `start_ms` in, as a new start of it.
  bool start_song(unsigned long start_ms, char* title) {
    kvt_output_options options = steering_.output;
    options.start_ms = start_ms;
    kvt_set_output_options(&options);
    const int failed = _play(item_.path.c_str(), settings_, title, &target_);
    serial_ = state_of(item_).serial;
    paused_ = false;
    return failed == 0;
  }

  // Plays on `seconds` later (earlier when negative) than the card is; the
  // song is rendered again from its start up to there, silently.
  bool seek(int seconds) {
    const kvt_play_state now = state_of(item_);
    const long long at_ms = now.rate > 0 ? static_cast<long long>(now.frames) * 1000 / now.rate : 0;
    const long long to_ms = std::max(at_ms + seconds * 1000LL, 0LL);
    char title[256] = {};
    return start_song(static_cast<unsigned long>(to_ms), title);
  }

  const PlayItem& item_;
  const playstruct& settings_;
  TerminalUi& ui_;
  PlaySteering& steering_;
  kvt_notify_target target_{};
  unsigned long serial_ = 0;
  bool paused_ = false;
};

}  // namespace

PlayOutcome play_to_end(const PlayItem& item, const playstruct& settings, TerminalUi& ui, PlaySteering& steering) {
  EndNotices& ends = end_notices();
  Playing playing(item, settings, ui, steering);
  if (!playing.start(ends.target())) return failed_to_start();
  const int end = item.wave ? KVT_NOTICE_WAVE_DONE : KVT_COMMAND_SONG_END;
  const bool keyboard = settings.keyboard_flag == 1 && !item.wave;
  LiveKeyboard view;
  PlayOutcome outcome = PlayOutcome::ended;
  for (int period = 1; !ends.wait_for(end, playing.serial(), kViewPeriod); ++period) {
    if (stop_signal() != 0) {
      outcome = PlayOutcome::interrupted;
      break;
    }
    bool steered = false;
    for (PlayKey key; outcome == PlayOutcome::ended && (key = steering.keys.next()) != PlayKey::none; steered = true) {
      if (const auto ended = playing.obey(key)) outcome = *ended;
    }
    if (outcome != PlayOutcome::ended) break;
    if (keyboard) view.follow(ui);
    if (steered || period % kViewPeriodsPerStatus == 0) {
      ui.status(status_line(item, state_of(item), playing.paused(), steering.gain_db));
    }
  }
  if (outcome == PlayOutcome::failed) failed_to_start();
  // Closes the device of a finished WAVE file too.
  if (item.wave) {
    kvt_wave_stop();
  } else {
    _waveout_stop();
  }
  ui.close_status();
  return outcome;
}

}  // namespace kvt::cli
