// The visual player's picture as the library keeps it: where the window
// is and whether it is meant to be seen, the song's header lines, the
// track names of the 17 rows and which keys are down. The window itself
// belongs to the front end: it hears of every change through its view
// backend, or takes a snapshot whenever it repaints.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "kvt/player.h"
#include "track_analyzer.h"

namespace kvt::host {

struct ViewHeader {
  std::string file_line;
  std::string title_line;
  std::string rate_label;
  std::string channel_label;
  std::string effect_label;
};

class ViewWindow final : public ViewCalls {
 public:
  void set_backend(const kvt_view_backend* backend);

  // The window's exports, on the front end's thread.
  int set_view(int left, int top, int visible);
  void open_view();
  void destroy_view();
  void closed();  // by the user: hidden, not destroyed
  int left_view() const { return left_view_; }
  int top_view() const { return top_view_; }
  int viewflag() const { return viewflag_; }

  // A new song: the background again, with its header.
  void show_header(ViewHeader header);
  // Empty rows, drawn again.
  void clear_rows();

  // From the analyser, on the view timer's thread.
  void set_red_point(int row, int key) override;
  void reset_red_point(int row, int key) override;
  void trackname(int row, const std::uint8_t* name, std::size_t length) override;

  kvt_view_snapshot snapshot() const;

 private:
  kvt_view_backend backend() const;
  void changed();  // under state_
  void mark_key(int row, int key, std::uint8_t down);

  mutable std::mutex state_;
  kvt_view_backend backend_{};
  ViewHeader header_;
  std::array<std::string, kViewRows> names_;
  std::array<std::array<std::uint8_t, kViewKeys>, kViewRows> lit_{};
  unsigned long serial_ = 0;

  int left_view_ = 0;
  int top_view_ = 0;
  std::atomic<int> viewflag_{0};
};

}  // namespace kvt::host
