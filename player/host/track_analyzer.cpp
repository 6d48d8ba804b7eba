#include "track_analyzer.h"

#include <algorithm>

#include "song_format.h"
#include "song_image.h"

namespace kvt::host {
namespace {

using namespace song;

constexpr std::uint8_t kNoKey = 0x75;
constexpr std::uint8_t kShowPlayedKey = 0xFF;
constexpr std::uint8_t kFullGate = 32;
constexpr std::int32_t kEndedWait = 1000;  // song ticks between looks at an ended part
constexpr int kRepeatLevels = 16;
constexpr int kKeyAdjSize = 256;
constexpr int kOctave = 12;

// A read that never reaches a note or rest (a part calling itself, repeats
// of nothing but commands nested deep) would hold the view's clock for
// ever: past these counts the reading part's view ends instead. A song's
// 240 parts need a few thousand commands in their busiest tick.
constexpr std::uint32_t kCommandsPerRead = 1u << 14;
constexpr std::uint32_t kCommandsPerTick = 1u << 16;

// The counters wrap around like 32-bit machine words instead of
// overflowing: a part whose length byte is 0 waits 2^32 song ticks.
void count_down(std::int32_t& n) { n = static_cast<std::int32_t>(static_cast<std::uint32_t>(n) - 1u); }

void skip(ViewTrack& t, int n) { t.fmp += static_cast<std::uint32_t>(n); }

// Key adjust entry 0xC0 + n shifts the keys shown by n semitones.
std::int8_t voice_shift(std::uint8_t entry) {
  return entry >= 0x80 && entry != 0xFF ? static_cast<std::int8_t>(entry + 64) : 0;
}

// Rows past the keyboard's 17 (command 0xFE takes any byte) and forced keys
// past 95 (command 0xFC) have no dot: the part is still followed, but shows
// nothing there.
bool has_dot(int row, int key) { return row < kViewRows && key < kViewKeys; }

int played_key(const ViewTrack& t, std::uint8_t b) {
  if (t.fm_keyforce != kShowPlayedKey) return t.fm_keyforce;
  int n = static_cast<std::int8_t>((b & kLowMask) - t.fm_tencho2 + t.fm_tencho3);
  while (n < 0) n += kOctave;
  while (n >= kViewKeys) n -= kOctave;
  return n;
}

std::int32_t release_ticks(const ViewTrack& t) {
  if (static_cast<std::int8_t>(t.fm_keyforce) >= 0) return t.fm_mcn < 6 ? 4 : std::min(24, t.fm_mcn - 2);
  std::int32_t ticks = t.fm_mcn * t.gate3 / kFullGate - t.gate1;
  if (ticks <= 0) ticks = 1;
  return std::max<std::int32_t>(ticks, t.gate2);
}

// The repeat stack holds 16 levels. A 17th open, or a close or break with
// none open, comes only from a damaged song: that part's view ends.
void open_repeat(ViewTrack& t, std::uint8_t count) {
  if (t.fm_lpnest == kRepeatLevels) {
    t.fm_end = 1;
    return;
  }
  t.fm_lpcnt[t.fm_lpnest] = count;
  t.fm_lpp[t.fm_lpnest] = t.fmp;
  ++t.fm_lpnest;
}

// The innermost open repeat; -1, ending the part's view, when none is open.
int top_repeat(ViewTrack& t) {
  if (t.fm_lpnest == 0) t.fm_end = 1;
  return t.fm_lpnest - 1;
}

void close_repeat(ViewTrack& t) {
  const int top = top_repeat(t);
  if (top < 0) return;
  if (--t.fm_lpcnt[top] == 0) {  // a count of 0 wraps: 256 passes
    --t.fm_lpnest;
    return;
  }
  const std::uint32_t loop_start = t.fm_lpp[top];
  if (t.fm_lpcnt[top] == 1) t.fm_lpp[top] = t.fmp;  // the final pass breaks to here
  t.fmp = loop_start;
}

void break_repeat(ViewTrack& t) {
  const int top = top_repeat(t);
  if (top < 0 || t.fm_lpcnt[top] != 1) return;
  t.fmp = t.fm_lpp[top];
  --t.fm_lpnest;
}

}  // namespace

void TrackAnalyzer::init_analyze(const std::uint8_t* song, std::size_t size, ViewCalls& view) {
  fm = song;
  fm_size = size;
  const SongHeader header = SongImage(song, size).header();
  fm_timebase = 48;
  hyosi1 = hyosi2 = 4;
  // A tempo of 0 counts as 1, as in the driver, so that the clock runs.
  fm_tempo = std::max<std::int32_t>(header.tempo, 1);
  load_key_adj(header.key_adj_offset);
  for (auto& row : poti1) row.fill(0);
  commands_left = kCommandsPerTick;
  for (int p = 0; p < kViewParts; ++p) {
    ViewTrack& t = view_track[p];
    t = ViewTrack{};
    const std::uint32_t entry_at = kPartTableStart + 2u * p;
    if (entry_at >= header.part_table_end) continue;
    t.fm_keygroup = static_cast<std::uint8_t>(p % 16);
    t.fm_length = header.default_length;
    // An entry outside the image counts as absent.
    const std::uint32_t entry = entry_at + 1 < size ? fm[entry_at] | fm[entry_at + 1] << 8 : kAbsent;
    if (entry != kAbsent) {
      t.fm_end = 0;
      t.fmp = header.offset_mode == kParagraphMode ? entry * 16 : entry;
    }
    dummy_play2(p, view);
  }
  fm_tcn = fm_tempo;
}

// A table that does not fit in the image counts as none.
void TrackAnalyzer::load_key_adj(std::uint16_t offset) {
  if (offset == kAbsent || offset + std::size_t{kKeyAdjSize} > fm_size) {
    key_adj.fill(0xFF);
    return;
  }
  std::copy(fm + offset, fm + offset + kKeyAdjSize, key_adj.begin());
}

void TrackAnalyzer::dummy_play(ViewCalls& view) {
  if (--fm_tcn != 0) return;
  commands_left = kCommandsPerTick;
  for (int p = 0; p < kViewParts; ++p) dummy_play2(p, view);
  fm_tcn = fm_tempo;
}

bool TrackAnalyzer::ended() const {
  return std::all_of(view_track.begin(), view_track.end(), [](const ViewTrack& t) { return t.fm_end != 0; });
}

void TrackAnalyzer::dummy_play2(int part, ViewCalls& view) {
  ViewTrack& t = view_track[part];
  count_down(t.fm_mcn);
  count_down(t.fm_kcn);
  if (!t.fm_end && t.fm_kcn == 0 && !(inside(t) && fm[t.fmp] == kTie)) key_off(part, t.fm_keygroup, view);
  if (t.fm_mcn != 0) return;
  const int row = t.fm_keygroup;
  std::uint8_t b = read_event(part, view);
  if (!t.fm_end) t.fm_mcn = (b & kDefaultLengthBit) != 0 ? t.fm_length : get_byte(part);
  if (t.fm_end) {
    b = kRest;
    t.fm_mcn = kEndedWait;
  }
  t.fm_kcn = release_ticks(t);
  if ((b & kLowMask) < kViewKeys) {
    show_key(part, row, played_key(t, b), view);
  } else {
    key_off(part, row, view);
  }
}

// Runs the commands up to the next note or rest and returns its byte; a
// rest once the part has ended.
std::uint8_t TrackAnalyzer::read_event(int part, ViewCalls& view) {
  ViewTrack& t = view_track[part];
  for (std::uint32_t commands = 0; !t.fm_end; ++commands) {
    const std::uint8_t b = get_byte(part);
    if (t.fm_end) break;
    if (!is_command(b)) return b;
    if (commands == kCommandsPerRead || commands_left == 0) {
      t.fm_end = 1;
      break;
    }
    --commands_left;
    cmd_analyze(part, b, view);
  }
  return kRest;
}

// The part shows `key`: unless it is already shown, the key shown before
// (lit on `row`) goes out first.
void TrackAnalyzer::show_key(int part, int row, int key, ViewCalls& view) {
  ViewTrack& t = view_track[part];
  if (key == t.fm_key) return;
  key_off(part, row, view);
  t.fm_key = static_cast<std::uint8_t>(key);
  if (!has_dot(t.fm_keygroup, key)) return;
  if (++poti1[t.fm_keygroup][key] == 1) view.set_red_point(t.fm_keygroup, key);
}

void TrackAnalyzer::key_off(int part, int row, ViewCalls& view) {
  ViewTrack& t = view_track[part];
  if (has_dot(row, t.fm_key) && poti1[row][t.fm_key] > 0 && --poti1[row][t.fm_key] == 0) {
    view.reset_red_point(row, t.fm_key);
  }
  t.fm_key = kNoKey;
}

void TrackAnalyzer::cmd_analyze(int part, std::uint8_t command, ViewCalls& view) {
  ViewTrack& t = view_track[part];
  switch (command) {
    case kRepeatStart: open_repeat(t, get_byte(part)); break;
    case kRepeatEnd: close_repeat(t); break;
    case kRepeatBreak: break_repeat(t); break;
    case kCallMark: t.fm_ecs = t.fmp; break;
    case kCallReturn:
      if (t.fm_ecf == 1) {
        t.fm_ecf = 0;
        t.fmp = t.fm_ecr;
      }
      break;
    case kCall:
      // A call before any call mark goes nowhere, as in the driver.
      if (t.fm_ecs != kNoCallTarget) {
        t.fm_ecf = 1;
        t.fm_ecr = t.fmp;
        t.fmp = t.fm_ecs;
      }
      break;
    case kDefaultLength: t.fm_length = get_byte(part); break;
    case kTempo: {
      const std::uint16_t tempo = get_word(part);
      if (!t.fm_end) fm_tempo = std::max<std::int32_t>(tempo, 1);
      break;
    }
    case kGate:
      t.gate1 = get_byte(part);
      t.gate2 = get_byte(part);
      break;
    case kProgram:
    case kProgramKeepEnvelope: t.fm_tencho3 = voice_shift(key_adj[get_byte(part)]); break;
    case kTie:
    case kLoopPoint:
    case kSwingOff: break;
    case kVibrato1:
    case kPitchSwing:
    case kVibrato2:
      if (get_word(part) != 0) skip(t, 4);
      break;
    case kEnvelope:
      if (static_cast<std::int8_t>(get_byte(part)) < kEnvSelectSet0) skip(t, get_byte(part));
      break;
    case kReverb:
      if (get_byte(part) != 0) skip(t, 4);
      break;
    case kChorusTap: skip(t, 10); break;
    case kDetuneWord:
    case kPartGain: skip(t, 2); break;
    case kOctaveShift: t.fm_tencho2 = static_cast<std::int8_t>(static_cast<std::int8_t>(get_byte(part)) * kOctave); break;
    case kGateRatio: t.gate3 = get_byte(part); break;
    case kChorusInput:
    case kEnvelopeRateOffsets: skip(t, 3); break;
    case kVolumeSequence:
      if (get_byte(part) == 0) break;
      skip(t, 1);
      while (get_byte(part) != 0) skip(t, 2);  // 0 also once the image ends
      break;
    case kMeasureInfo: {
      const std::uint16_t timebase = get_word(part);
      const std::uint8_t beats = get_byte(part);
      const std::uint8_t unit = get_byte(part);
      if (t.fm_end) break;
      fm_timebase = timebase;
      hyosi1 = beats;
      hyosi2 = unit;
      break;
    }
    case kKeyForce: t.fm_keyforce = get_byte(part); break;
    case kText: text(part, view); break;
    case kKeyGroup: t.fm_keygroup = get_byte(part); break;
    case kEnd: t.fm_end = 1; break;  // the view does not follow the loop point
    default: skip(t, 1); break;
  }
}

// The row's track name: a signed length byte and the name. A name that
// runs past the image is cut at its end.
void TrackAnalyzer::text(int part, ViewCalls& view) {
  ViewTrack& t = view_track[part];
  const auto length = static_cast<std::int8_t>(get_byte(part));
  if (t.fm_end) return;
  if (t.fm_keygroup < kViewRows) {
    const std::size_t shown = std::min<std::size_t>(std::max<int>(length, 0), fm_size - t.fmp);
    view.trackname(t.fm_keygroup, fm + t.fmp, shown);
  }
  skip(t, length);
}

// Every read outside the image ends the part's view.
bool TrackAnalyzer::inside(ViewTrack& t) {
  if (t.fmp < fm_size) return true;
  t.fm_end = 1;
  return false;
}

std::uint8_t TrackAnalyzer::get_byte(int part) {
  ViewTrack& t = view_track[part];
  return inside(t) ? fm[t.fmp++] : 0;
}

std::uint16_t TrackAnalyzer::get_word(int part) {
  const std::uint8_t low = get_byte(part);
  return static_cast<std::uint16_t>(low | get_byte(part) << 8);
}

}  // namespace kvt::host
