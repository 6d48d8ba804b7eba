// The visual player behind real-time playback: command 600 draws a new
// song's header, the view timer's start sets the analyser up, and each
// 50 ms period of the timer turns wall-clock time into analyser ticks, as
// far as the buffer-done notices let the view run ahead of the audio.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "playback_view.h"
#include "track_analyzer.h"
#include "view_window.h"

namespace kvt::host {

// Header texts as the window shows them; rate_index 0..4, channel 1 or 2.
ViewHeader view_header(const ViewSong& song);

class VisualPlayer final : public PlaybackView {
 public:
  ViewWindow& window() { return window_; }
  const TrackAnalyzer& analyzer() const { return analyzer_; }

  void show_song(const ViewSong& song) override;
  void clock_started(ViewClock& clock) override;
  void tick(ViewClock& clock) override;

 private:
  void int2756(ViewClock& clock);

  ViewWindow window_;
  TrackAnalyzer analyzer_;
  const std::uint8_t* song_ = nullptr;  // the playing song's image, loaded until the view acknowledges a stop
  std::size_t song_size_ = 0;
  std::atomic<int> tmt_count{0};
  std::atomic<int> reint_flag{0};
};

}  // namespace kvt::host
