#include "play_session.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "display_text.h"
#include "stop_signals.h"

namespace kvt::cli {
namespace {

constexpr auto kStatusPeriod = std::chrono::milliseconds(200);

// Set from the library's thread when what plays has ended.
class EndNotice {
 public:
  kvt_notify_target target() { return {this, on_command}; }
  bool wait_for(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, limit, [this] { return ended_; });
  }

 private:
  static void on_command(void* self, int id) {
    if (id != KVT_COMMAND_SONG_END && id != KVT_NOTICE_WAVE_DONE) return;
    auto* notice = static_cast<EndNotice*>(self);
    std::lock_guard<std::mutex> hold(notice->lock_);
    notice->ended_ = true;
    notice->changed_.notify_all();
  }

  std::mutex lock_;
  std::condition_variable changed_;
  bool ended_ = false;
};

std::string status_line(const PlayItem& item, const kvt_play_state& state) {
  const unsigned long seconds = state.rate > 0 ? state.frames / static_cast<unsigned long>(state.rate) : 0;
  char line[64];
  std::snprintf(line, sizeof line, "  %lu:%02lu", seconds / 60, seconds % 60);
  std::string text = item.label + line;
  if (!item.wave) {
    text += state.pass < 0 ? "  ending" : "  pass " + std::to_string(state.pass + 1);
  }
  return text;
}

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

}  // namespace

PlayOutcome play_to_end(const PlayItem& item, const playstruct& settings, TerminalUi& ui) {
  EndNotice end;
  const kvt_notify_target target = end.target();
  char title[256] = {};
  if (item.wave) {
    if (kvt_wave_play(item.path.c_str(), &target) != 0) {
      std::fprintf(stderr, "kvt: Can't Play! %s\n", item.path.c_str());
      return failed_to_start();
    }
    std::printf("%s\n", item.label.c_str());
  } else {
    if (_play(item.path.c_str(), settings, title, &target) != 0) return failed_to_start();
    std::printf("%s\n", to_utf8(title).c_str());
  }
  std::fflush(stdout);
  PlayOutcome outcome = PlayOutcome::ended;
  while (!end.wait_for(kStatusPeriod)) {
    if (stop_signal() != 0) {
      outcome = PlayOutcome::interrupted;
      break;
    }
    kvt_play_state state{};
    if (item.wave) {
      kvt_wave_state_get(&state);
    } else {
      kvt_play_state_get(&state);
    }
    ui.status(status_line(item, state));
  }
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
