#include "view_timer.h"

#include <chrono>
#include <system_error>

namespace kvt::host {
namespace {

constexpr auto kPeriod = std::chrono::milliseconds(50);
constexpr int kStopRequested = 2;

void run(PlaybackView& view, ViewClock& clock, std::atomic<int>& play_flag2) {
  auto next = std::chrono::steady_clock::now();
  for (;;) {
    next += kPeriod;
    std::this_thread::sleep_until(next);
    if (clock.wait_flag.load() != 0) continue;  // the done handler is moving the budget
    view.tick(clock);
    if (play_flag2.load() >= kStopRequested) {
      play_flag2.fetch_add(1);
      play_flag2.notify_all();
      return;
    }
  }
}

}  // namespace

bool ViewTimer::start(PlaybackView& view, ViewClock& clock, std::atomic<int>& play_flag2) {
  join();
  view.clock_started(clock);  // before the first tick can run
  try {
    thread_ = std::thread(run, std::ref(view), std::ref(clock), std::ref(play_flag2));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void ViewTimer::join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace kvt::host
