// The track view's command analyser as a C export: a song's keys followed
// without sound, for front ends that draw a keyboard of their own and for
// `kvt keys`.
#include <memory>
#include <vector>

#include "export_barrier.h"
#include "kvt/player.h"
#include "song_image.h"
#include "track_analyzer.h"

namespace kvt::host {

// Hands the analyser's calls to the caller's callbacks.
class CallbackView final : public ViewCalls {
 public:
  explicit CallbackView(const kvt_view_calls* calls) : calls_(calls != nullptr ? *calls : kvt_view_calls{}) {}

  void set_red_point(int row, int key) override {
    if (calls_.set_dot != nullptr) calls_.set_dot(calls_.context, row, key);
  }
  void reset_red_point(int row, int key) override {
    if (calls_.reset_dot != nullptr) calls_.reset_dot(calls_.context, row, key);
  }
  void trackname(int row, const std::uint8_t* name, std::size_t length) override {
    if (calls_.name != nullptr) calls_.name(calls_.context, row, name, length);
  }

 private:
  kvt_view_calls calls_;
};

}  // namespace kvt::host

struct kvt_analyzer {
  kvt_analyzer(const unsigned char* image, std::size_t size, const kvt_view_calls* calls)
      : image(image, image + size), view(calls) {}

  std::vector<std::uint8_t> image;  // the caller's buffer may go away
  kvt::host::CallbackView view;
  kvt::host::TrackAnalyzer analyzer;
};

extern "C" {

kvt_analyzer* kvt_analyzer_new(const unsigned char* image, std::size_t size, const kvt_view_calls* calls) {
  if (image == nullptr || kvt::host::SongImage(image, size).check() != kvt::host::SongCheck::ok) return nullptr;
  return kvt::export_barrier<kvt_analyzer*>(
      nullptr,
      [&] {
        auto made = std::make_unique<kvt_analyzer>(image, size, calls);
        made->analyzer.init_analyze(made->image.data(), made->image.size(), made->view);
        return made.release();
      },
      [](const char*) {});  // NULL says all there is
}

int kvt_analyzer_tick(kvt_analyzer* analyzer) {
  if (analyzer == nullptr) return 1;
  return kvt::export_barrier(
      1,
      [&] {
        analyzer->analyzer.dummy_play(analyzer->view);
        return analyzer->analyzer.ended() ? 1 : 0;
      },
      [](const char*) {});
}

void kvt_analyzer_delete(kvt_analyzer* analyzer) {
  kvt::export_barrier([&] { delete analyzer; }, [](const char*) {});
}

}  // extern "C"
