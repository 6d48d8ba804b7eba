// Follows arbitrary bytes that pass the loader's check as the track view
// does, for a thousand ticks. Every call must name a dot of the keyboard
// or a name inside the input, a dot must go out only after it lit and
// light only while out, and the lit dots must be those that some part
// holds down.
#include <array>
#include <cstdint>

#include "fuzz_support.h"
#include "song_image.h"
#include "track_analyzer.h"

using kvt::fuzz::require;

namespace {

constexpr int kTicks = 1024;

class CheckingView final : public kvt::host::ViewCalls {
 public:
  CheckingView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  void set_red_point(int row, int key) override {
    require(on_keyboard(row, key) && !lit[row][key]);
    lit[row][key] = true;
  }
  void reset_red_point(int row, int key) override {
    require(on_keyboard(row, key) && lit[row][key]);
    lit[row][key] = false;
  }
  void trackname(int row, const std::uint8_t* name, std::size_t length) override {
    require(row >= 0 && row < kvt::host::kViewRows);
    require(name >= data_ && name <= data_ + size_ && length <= static_cast<std::size_t>(data_ + size_ - name));
  }

  std::array<std::array<bool, kvt::host::kViewKeys>, kvt::host::kViewRows> lit{};

 private:
  static bool on_keyboard(int row, int key) {
    return row >= 0 && row < kvt::host::kViewRows && key >= 0 && key < kvt::host::kViewKeys;
  }

  const std::uint8_t* data_;
  std::size_t size_;
};

void require_lit_dots_held(const CheckingView& view, const kvt::host::TrackAnalyzer& analyzer) {
  for (int row = 0; row < kvt::host::kViewRows; ++row) {
    for (int key = 0; key < kvt::host::kViewKeys; ++key) require(view.lit[row][key] == (analyzer.poti1[row][key] > 0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (kvt::host::SongImage(data, size).check() != kvt::host::SongCheck::ok) return 0;
  CheckingView view(data, size);
  kvt::host::TrackAnalyzer analyzer;
  analyzer.init_analyze(data, size, view);
  for (int tick = 0; tick < kTicks && !analyzer.ended(); ++tick) analyzer.dummy_play(view);
  require_lit_dots_held(view, analyzer);
  return 0;
}
