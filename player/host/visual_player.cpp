#include "visual_player.h"

#include <algorithm>
#include <iterator>

#include "song_image.h"

namespace kvt::host {
namespace {

constexpr int kUnitsPerPeriod = 66150;  // 50 ms x 2756.25 ticks x 480
constexpr int kFirstPeriodUnits = 33075;

constexpr const char* kRateLabels[] = {"44.10KHz", "33.08KHz", "22.05KHz", "16.54KHz", "11.03KHz"};
// Shift-JIS, as every text of the library.
constexpr const char kMono[] = "\x83\x82\x83\x6D\x83\x89\x83\x8B";
constexpr const char kStereo[] = "\x83\x58\x83\x65\x83\x8C\x83\x49";

}  // namespace

ViewHeader view_header(const ViewSong& song) {
  ViewHeader h;
  h.file_line = std::string("File  : ") + song.path;
  h.title_line = SongImage(song.image, song.size).title_line();
  const int rate = std::clamp(song.rate_index, 0, static_cast<int>(std::size(kRateLabels)) - 1);
  h.rate_label = kRateLabels[rate];
  h.channel_label = song.channel == 1 ? kMono : kStereo;
  h.effect_label = "Effect=" + std::to_string(std::clamp(song.effect_level, 0, 2));
  return h;
}

void VisualPlayer::show_song(const ViewSong& song) {
  song_ = song.image;
  song_size_ = song.size;
  window_.show_header(view_header(song));
}

// A new song's analysis starts from its first events, with every dot out,
// and catches up with a start later in the song.
void VisualPlayer::clock_started(ViewClock& clock) {
  clock.dmp_count = 0;
  tmt_count = kFirstPeriodUnits;
  reint_flag = 0;
  window_.clear_rows();
  analyzer_.init_analyze(song_, song_size_, window_);
  for (int t = 0; t < clock.start_ticks; ++t) analyzer_.dummy_play(window_);  // a song started later in
}

void VisualPlayer::tick(ViewClock& clock) {
  tmt_count += kUnitsPerPeriod;
  // A period that comes while the last one still runs only says so; the
  // running one then makes up for it.
  if (reint_flag.fetch_add(1) != 0) return;
  do {
    while (tmt_count >= kViewTickUnit) {
      int2756(clock);
      tmt_count -= kViewTickUnit;
    }
  } while (reint_flag.fetch_sub(1) > 1);
}

// One tick request: the catch-up ticks owed, then one more while the
// audio's budget allows.
void VisualPlayer::int2756(ViewClock& clock) {
  for (; clock.dmp_count.load() > 0; clock.dmp_count.fetch_sub(1)) analyzer_.dummy_play(window_);
  if (clock.fmt_count.load() >= kViewTickUnit) {
    analyzer_.dummy_play(window_);
    clock.fmt_count.fetch_sub(kViewTickUnit);
  }
}

}  // namespace kvt::host
