#include "rcp_converter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "memory_file.h"
#include "rcp_same_measure.h"

namespace kvt::convert {
namespace {

constexpr int kMaxSounding = 256;
constexpr int kMaxLoopDepth = 256;
constexpr int kHeaderTracks = 18;
constexpr std::int64_t kLongestDelta = 0x0FFFFFFF;  // four bytes of a variable-length quantity
constexpr std::int64_t kEventBudget = 20'000'000;   // loops that would never end
constexpr int kTrackSizeLimit = 0x10000;

// How a nested conversion ends early: one loop pass is over, or the track.
struct PassEnd {
  int depth;
};
struct TrackEnd {};

struct NoteOff {
  std::int64_t remaining;
  int key;
  int channel;  // the note's own, should the track change channel meanwhile
};

struct Rcp {
  Messages messages;
  memory_file input;
  memory_file output;
  std::string title;
  int timebase = 48;
  int tempo = 120;

  int track = 0;
  int channel = 0;
  std::int64_t pending_delta = 0;
  std::size_t track_start = 0;
  std::vector<NoteOff> offs;
  int depth = 0;
  std::size_t loop_start[kMaxLoopDepth] = {};
  bool repeat[kMaxLoopDepth] = {};
  std::size_t same_return = 0;
  int same_state = 0;  // 0 normal, 1 inside a referenced measure, 2 at its end
  int same_loops = 0;
  MeasureLeads measure_leads;
  std::int64_t events = 0;
};

[[noreturn]] void fail(Rcp& r, const char* message) {
  r.messages.append(message, r.track);
  throw Stop{};
}

void out(Rcp& r, int byte) { fputc2(r.output, byte & 0xFF, r.messages); }

void out_varlen(Rcp& r, std::int64_t v) {
  if (v > kLongestDelta) fail(r, "ERROR! Track %d waits longer than a MIDI delta time can hold.\n");
  std::uint8_t groups[4];
  int n = 0;
  do {
    groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v > 0);
  while (n > 1) out(r, groups[--n] | 0x80);
  out(r, groups[0]);
}

// The delta before an event: the time not yet written.
void begin_event(Rcp& r) {
  out_varlen(r, r.pending_delta);
  for (NoteOff& o : r.offs) o.remaining -= r.pending_delta;
  r.pending_delta = 0;
}

bool channel_on(const Rcp& r) { return r.channel >= 0 && r.channel < 16; }

// Time moves on by `t` since the last event written; notes whose gate ends
// before then get their note-offs on the way.
void advance(Rcp& r, std::int64_t t) {
  for (;;) {
    auto next = std::min_element(r.offs.begin(), r.offs.end(),
                                 [](const NoteOff& a, const NoteOff& b) { return a.remaining < b.remaining; });
    if (next == r.offs.end() || next->remaining >= t) break;
    const NoteOff off = *next;
    r.pending_delta = std::max<std::int64_t>(off.remaining, 0);
    begin_event(r);
    r.offs.erase(next);
    out(r, 0x90 | off.channel);
    out(r, off.key);
    out(r, 0);
    t -= std::max<std::int64_t>(off.remaining, 0);
  }
  r.pending_delta = t;
}

void channel_event(Rcp& r, int status, std::initializer_list<int> data) {
  begin_event(r);
  out(r, status | r.channel);
  for (int d : data) out(r, d & 0x7F);
}

void tempo_meta(Rcp& r, std::int64_t us) {
  out(r, 0xFF);
  out(r, 0x51);
  out(r, 0x03);
  for (int shift : {16, 8, 0}) out(r, static_cast<int>(us >> shift));
}

// Reads past continuation events (0xF7 and three bytes each).
void skip_continuations(Rcp& r) {
  for (;;) {
    const int b = fgetc2(r.input);
    if (b != 0xF7) {
      if (b >= 0) fseek2(r.input, -1, 1);
      return;
    }
    for (int i = 0; i < 3; ++i) fgetc2(r.input);
  }
}

void note(Rcp& r, int key, int step, int gate, int velocity) {
  if (key == 60 && gate == 0) velocity = 0;
  const auto sounding = std::find_if(r.offs.begin(), r.offs.end(), [&](const NoteOff& o) { return o.key == key; });
  if (sounding != r.offs.end()) {
    sounding->remaining = std::max<std::int64_t>(sounding->remaining, r.pending_delta + gate);
    advance(r, step + r.pending_delta);
    return;
  }
  if (!channel_on(r)) {  // a switched-off track: its events are skipped
    advance(r, step + r.pending_delta);
    return;
  }
  if (static_cast<int>(r.offs.size()) >= kMaxSounding)
    fail(r, "ERROR! More than 256 notes sound at once in track %d.\n");
  channel_event(r, 0x90, {key, velocity});
  r.offs.push_back({gate, key, r.channel});
  advance(r, step);
}

void convert_events(Rcp& r);

void loop_end(Rcp& r, int count) {
  if (r.depth == 0) return;
  if (r.repeat[r.depth - 1]) {
    if (r.same_state != 0) --r.same_loops;
    throw PassEnd{r.depth};
  }
  for (int pass = 1; pass < count; ++pass) {
    if (r.same_state != 0) ++r.same_loops;
    r.repeat[r.depth - 1] = true;
    fsetpos2(r.input, r.loop_start[r.depth - 1]);
    const int level = r.depth;
    try {
      convert_events(r);
    } catch (const PassEnd& end) {
      if (end.depth != level) throw;
    }
  }
  r.repeat[r.depth - 1] = false;
  --r.depth;
}

void same_measure(Rcp& r, int gate, int velocity) {
  if (r.same_state != 0) return;  // references do not nest
  r.same_return = ftell2(r.input);
  const auto measure = referenced_measure(r.measure_leads, r.input, r.track, r.track_start, gate, velocity);
  if (!measure) fail(r, "ERROR! The measure references of track %d go round in a circle.\n");
  fsetpos2(r.input, *measure);
  r.same_state = 1;
  r.same_loops = 0;
  convert_events(r);
  r.same_state = 0;
  fsetpos2(r.input, r.same_return);
}

// Converts until the end of the track, of a referenced measure, or of one
// loop pass.
void convert_events(Rcp& r) {
  for (;;) {
    if (r.same_state == 2 && r.same_loops == 0) return;
    if (++r.events > kEventBudget) fail(r, "ERROR! The loops of track %d do not end.\n");
    int e[4];
    for (int& b : e) b = fgetc2(r.input);
    if (std::any_of(e, e + 4, [](int b) { return b < 0; }) || e[0] + e[1] + e[2] + e[3] == 0) return;
    const int code = e[0], step = e[1], gate = e[2], velocity = e[3];
    if (code < 0x80) {
      note(r, code, step, gate, velocity);
      continue;
    }
    if ((code >= 0x90 && code <= 0x97) || (code >= 0xC0 && code <= 0xCF) || (code >= 0xDC && code <= 0xDF) ||
        code == 0xE5) {
      advance(r, r.pending_delta + step);
      continue;
    }
    const bool on = channel_on(r);
    switch (code) {
      case 0x98:
        skip_continuations(r);
        advance(r, r.pending_delta + step);
        break;
      case 0xE2:
        if (on) {
          channel_event(r, 0xB0, {0x00, velocity});
          out(r, 0);
          out(r, 0x20);
          out(r, 0x00);
          out(r, 0);
          out(r, 0xC0 | r.channel);
          out(r, gate & 0x7F);
        }
        advance(r, r.pending_delta + step);
        break;
      case 0xE6:
        r.channel = gate - 1;
        advance(r, r.pending_delta + step);
        break;
      case 0xE7:
        if (gate > 0) {  // a tempo of 0 cannot be written
          begin_event(r);
          tempo_meta(r, 60000000 / (2 * gate));
        }
        advance(r, r.pending_delta + step);
        break;
      case 0xEA:
      case 0xEC:
        if (on) channel_event(r, code == 0xEA ? 0xD0 : 0xC0, {gate});
        advance(r, r.pending_delta + step);
        break;
      case 0xEB:
      case 0xED:
      case 0xEE:
        if (on) channel_event(r, code == 0xEB ? 0xB0 : code == 0xED ? 0xA0 : 0xE0, {gate, velocity});
        advance(r, r.pending_delta + step);
        break;
      case 0xF5: break;
      case 0xF6: skip_continuations(r); break;
      case 0xF8: loop_end(r, step); break;
      case 0xF9:
        if (r.depth >= kMaxLoopDepth) fail(r, "ERROR! Loops are nested more than 256 deep in track %d.\n");
        r.loop_start[r.depth] = ftell2(r.input);
        r.repeat[r.depth] = false;
        ++r.depth;
        break;
      case kSameMeasure: same_measure(r, gate, velocity); break;
      case 0xFD:
        if (r.same_state == 1) r.same_state = 2;
        break;
      case 0xFE: throw TrackEnd{};  // from any depth
      default:
        r.messages.append("ERROR! Unknown event code 0x%02X in track %d.\n", code, r.track);
        throw Stop{};
    }
  }
}

void find_magic(Rcp& r) {
  if (scan_to(r.input, "RCM-")) return;
  r.messages.append("Gee... It's not RCP file!\n");
  throw Stop{};
}

std::string read_text(Rcp& r, int size) {
  std::string s;
  bool ended = false;
  for (int i = 0; i < size; ++i) {
    const int b = fgetc2(r.input);
    if (i == size - 1 || b <= 0) ended = true;
    if (!ended) s += static_cast<char>(b);
  }
  return s;
}

void read_header(Rcp& r) {
  find_magic(r);
  fseek2(r.input, 28, 1);
  r.title = read_text(r, 64);
  read_text(r, 336);  // the memo
  fseek2(r.input, 16, 1);
  const int low = fgetc2(r.input) & 0xFF;
  const int tempo = fgetc2(r.input) & 0xFF;
  fseek2(r.input, 2 + 1 + 1 + 12 + 4 + 12 + 4 + 1, 1);
  const int high = fgetc2(r.input) & 0xFF;
  fseek2(r.input, 14 + 16 + 512 + 384, 1);
  r.timebase = low + 256 * high;
  r.tempo = tempo > 0 ? tempo : 120;  // no tempo: the usual 120
}

void write_midi_header(Rcp& r) {
  for (int b : {int{'M'}, int{'T'}, int{'h'}, int{'d'}, 0, 0, 0, 6, 0, 1, 0, kHeaderTracks, r.timebase >> 8, r.timebase})
    out(r, b);
}

// Notes still sounding end with the track; then the end-of-track event and
// the chunk length.
void finish_track(Rcp& r, std::size_t length_field) {
  std::stable_sort(r.offs.begin(), r.offs.end(),
                   [](const NoteOff& a, const NoteOff& b) { return a.remaining < b.remaining; });
  for (const NoteOff& o : r.offs) {
    begin_event(r);
    out(r, 0x90 | o.channel);
    out(r, o.key);
    out(r, 0);
  }
  r.offs.clear();
  begin_event(r);
  for (int b : {0xFF, 0x2F, 0x00}) out(r, b);
  const std::size_t end = ftell2(r.output);
  const std::size_t length = end - length_field - 4;
  if (length >= kTrackSizeLimit) fail(r, "ERROR! Track %d is 65536 bytes or more in MIDI.\n");
  fsetpos2(r.output, length_field);
  for (int shift : {24, 16, 8, 0}) out(r, static_cast<int>(length >> shift));
  fsetpos2(r.output, end);
}

// Converts one track block; false at the end of the blocks.
bool convert_track(Rcp& r) {
  r.track_start = ftell2(r.input);
  const int size_low = fgetc2(r.input), size_high = fgetc2(r.input);
  if (size_low < 0 || size_high < 0 || size_low + size_high == 0) return false;
  fseek2(r.input, 2, 1);
  r.channel = fgetc2(r.input) & 0xFF;
  fseek2(r.input, 3, 1);
  const std::string comment = read_text(r, 36);

  for (int b : {int{'M'}, int{'T'}, int{'r'}, int{'k'}, 0, 0, 0, 0}) out(r, b);
  const std::size_t length_field = ftell2(r.output) - 4;
  r.offs.clear();
  r.pending_delta = 0;
  const std::string& name = r.track == 0 ? r.title : comment;
  for (int b : {0, 0xFF, 0x03, static_cast<int>(name.size())}) out(r, b);
  for (char ch : name) out(r, static_cast<std::uint8_t>(ch));
  out(r, 0);
  tempo_meta(r, 60000000 / r.tempo);
  r.depth = 0;
  r.same_state = 0;
  r.same_loops = 0;
  r.messages.append(".");
  r.messages.repaint(false);
  try {
    convert_events(r);
  } catch (const TrackEnd&) {
  } catch (const PassEnd&) {  // a loop end whose loop was not open here
  }
  finish_track(r, length_field);
  return true;
}

void run(Rcp& r, const std::string& rcp_path, const std::string& mid_path) {
  if (!fopen2(rcp_path, "rb", r.input, r.messages)) {
    r.messages.append("ERROR! File open error '%s'\n", rcp_path.c_str());
    throw Stop{};
  }
  const std::string out_path = mid_path.empty() ? derived_midi_path(rcp_path) : mid_path;
  if (!fopen2(out_path, "wb", r.output, r.messages)) {
    r.messages.append("ERROR! File open error '%s'\n", out_path.c_str());
    throw Stop{};
  }
  if (r.input.end < 3) {
    r.messages.append("Gee... It's not RCP file!\n");
    throw Stop{};
  }
  read_header(r);
  write_midi_header(r);
  while (convert_track(r)) ++r.track;
  if (!fclose2(r.output, r.messages)) throw Stop{};
}

}  // namespace

int convert_rcp(const std::string& rcp_path, const std::string& mid_path, const kvt_message_view* view,
                char* messages, std::size_t size) {
  auto r = std::make_unique<Rcp>();
  r->messages = {messages, size, view};
  r->messages.append(".rcp->.mid Converter Ver0.40 ... '%s'\n\n", rcp_path.c_str());
  r->messages.repaint(true);
  try {
    run(*r, rcp_path, mid_path);
  } catch (const Stop&) {
    r->messages.repaint(false);
    return 1;
  } catch (const std::bad_alloc&) {
    r->messages.append("Out of Memory\n");
    r->messages.repaint(false);
    return 1;
  }
  r->messages.repaint(true);
  return 0;
}

std::string derived_midi_path(const std::string& rcp_path) {
  const auto dot = rcp_path.rfind('.');
  return (dot == std::string::npos ? rcp_path : rcp_path.substr(0, dot)) + ".mid";
}

}  // namespace kvt::convert
