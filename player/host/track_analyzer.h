// The visual player's silent copy of the sequencer: it walks every part's
// song data on the view's clock (2756.25 ticks a second) and knows which
// key each part shows on which keyboard row, and which text is a row's
// track name. It reads only the loaded song image and allocates nothing;
// what it finds it tells a ViewCalls, passed in with every call so that
// the analyser itself stays a plain, copyable value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kvt::host {

inline constexpr int kViewRows = 17;
inline constexpr int kViewKeys = 96;
inline constexpr int kViewParts = 256;
inline constexpr std::uint32_t kNoCallTarget = 0xFFFFFFFF;

// What the analyser tells the view, on the view timer's thread.
class ViewCalls {
 public:
  virtual ~ViewCalls() = default;
  virtual void set_red_point(int row, int key) = 0;
  virtual void reset_red_point(int row, int key) = 0;
  // The name's bytes as the song holds them (Shift-JIS), without the length byte.
  virtual void trackname(int row, const std::uint8_t* name, std::size_t length) = 0;
};

// One part as the view follows it.
struct ViewTrack {
  std::uint32_t fmp = 0;            // read position in the song image
  std::uint8_t fm_end = 1;          // 1: ended or absent
  std::int32_t fm_mcn = 1;          // song ticks until the next event is read
  std::int32_t fm_kcn = 0;          // song ticks until the shown key is released
  std::int32_t fm_length = 0;       // default length
  std::uint8_t fm_key = 0x75;       // key shown, 0..95; 0x75 none
  std::uint8_t fm_keygroup = 0;     // keyboard row
  std::uint8_t fm_keyforce = 0xFF;  // 0xFF: show the played key; else always this key
  std::int8_t fm_tencho2 = 0;       // octave shift x 12
  std::int8_t fm_tencho3 = 0;       // key adjustment of the current voice
  std::uint8_t gate1 = 0;           // gate ticks
  std::uint8_t gate2 = 1;           // minimum sounding ticks
  std::uint8_t gate3 = 32;          // gate ratio q, of 32
  std::uint8_t fm_lpnest = 0;       // open repeats
  std::array<std::uint8_t, 16> fm_lpcnt{};
  std::array<std::uint32_t, 16> fm_lpp{};
  std::uint32_t fm_ecs = kNoCallTarget;  // call target
  std::uint32_t fm_ecr = 0;              // return position
  std::uint8_t fm_ecf = 0;               // 1: a return is pending
};

struct TrackAnalyzer {
  // Sets every part up from the song's header and part table, with no key
  // down, and reads each part's first event (the song image must have
  // passed the loader's check and stay in place while the analyser is used).
  void init_analyze(const std::uint8_t* song, std::size_t size, ViewCalls& view);
  // One tick of the view's clock: every fm_tempo ticks, one song tick of
  // every part.
  void dummy_play(ViewCalls& view);
  // Whether every part has ended.
  bool ended() const;

  const std::uint8_t* fm = nullptr;
  std::size_t fm_size = 0;
  std::int32_t fm_tempo = 1;  // ticks per song tick
  std::int32_t fm_tcn = 1;    // ticks to the next song tick
  std::int32_t fm_timebase = 48;
  std::uint8_t hyosi1 = 4;
  std::uint8_t hyosi2 = 4;
  std::array<std::uint8_t, 256> key_adj{};
  std::array<std::array<std::uint16_t, kViewKeys>, kViewRows> poti1{};  // parts holding each key down
  std::array<ViewTrack, kViewParts> view_track{};

 private:
  void dummy_play2(int part, ViewCalls& view);
  void cmd_analyze(int part, std::uint8_t command, ViewCalls& view);
  void key_off(int part, int row, ViewCalls& view);
  std::uint16_t get_word(int part);
  std::uint8_t get_byte(int part);
  bool inside(ViewTrack& track);
  std::uint8_t read_event(int part, ViewCalls& view);
  void show_key(int part, int row, int key, ViewCalls& view);
  void text(int part, ViewCalls& view);
  void load_key_adj(std::uint16_t offset);

  std::uint32_t commands_left = 0;  // of the current song tick
};

}  // namespace kvt::host
