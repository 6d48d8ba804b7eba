#include "part_writer.h"

#include <new>

namespace kvt::convert {
namespace {

constexpr int kLongest = 192;     // longest single length piece (0xC0)
constexpr int kShortLengths = 97;  // below: the default-length shorthand applies

struct Capacity {
  std::size_t bytes;
  int message;       // "Too long track! Memory over. #n"
  int alloc_message; // "Out of Memory #n"
};

Capacity capacity_of(int index) {
  constexpr std::size_t kBase = 100000;
  if (index == 0) return {kBase, 0, 2};
  if (index == 1) return {kBase * 6 / 7, 1, 3};
  if (index == 2) return {kBase / 2, 2, 4};
  if (index <= 5) return {kBase / 3, 3, 5};
  if (index <= 11) return {kBase / 6, 4, 6};
  if (index <= 19) return {kBase / 10, 4, 6};
  return {kBase / 30, 5, 7};
}

// Reverb and chorus, on the conductor before anything else.
void put_effects(Converter& c, Part& p) {
  const mid2kvt_settings& s = c.settings;
  if (s.reverb > 0) {
    for (int b : {int{kReverb}, s.reverb & 0xFF, 0x7F}) put(c, p, b);
    put16(c, p, 117);
    put(c, p, 0x00);
  }
  if (s.chorus <= 0) return;
  struct Row {
    int offset, feedback, delay, depth, rate, speed;
  };
  static constexpr Row kRows[] = {{0, 0, 13, 2, 144, 1},  {10, 0, 29, 2, 108, 1}, {15, 0, 41, 4, 90, 1},
                                  {18, 0, 53, 4, 80, 1},  {30, 0, 11, 3, 110, 1}, {39, 0, 32, 2, 90, 1}};
  const int taps[2] = {(s.chorus_strength_x2 + 1) / 2, s.chorus_strength_x2 / 2};
  for (int unit = 0; unit < 2; ++unit) {
    for (int b : {int{kChorusInput}, 0x00, 0x00, 0xFF}) put(c, p, b);
    for (int i = 0; i < taps[unit] && i < 6; ++i) {
      const Row& r = kRows[i];
      const int gain = s.chorus - r.offset > 0 ? s.chorus - r.offset : 0;
      for (int b : {int{kChorusTap}, unit, i, gain & 0xFF, r.feedback}) put(c, p, b);
      put16(c, p, r.delay);
      for (int b : {r.depth, r.rate, r.speed, 0x00}) put(c, p, b);
    }
  }
}

void put_opening(Converter& c, int slot, int index, Part& p) {
  if (slot == 0 && index == 0) put_effects(c, p);
  if (c.format1 == 0 && slot > 0) {
    put(c, p, kKeyGroup);
    put(c, p, slot - 1);
    if (index == 0) {
      put(c, p, kText);
      put(c, p, 0x10);
      c.channels[slot].name_field = p.stream.bytes.size();
      for (int i = 0; i < 16; ++i) put(c, p, ' ');
    }
  }
  for (int b : {int{kOctaveShift}, 1, int{kSwingPeriod}, 10}) put(c, p, b);
  begin_pending(c, p, kRest);
}

void put_length_byte(Converter& c, Part& p, std::int64_t s) { put(c, p, static_cast<int>(s)); }

// A rest of more than 576 song ticks, as loops of 192-tick rests.
void write_long_rest(Converter& c, Part& p, std::int64_t s) {
  put(c, p, kLongest);
  s -= kLongest;
  constexpr std::int64_t kBlock = 255 * kLongest;
  for (; s >= kBlock; s -= kBlock)
    for (int b : {int{kLoopStart}, 0xFF, int{kRest}, kLongest, int{kLoopEnd}}) put(c, p, b);
  if (const std::int64_t n = s / kLongest; n > 0) {
    for (int b : {int{kLoopStart}, static_cast<int>(n), int{kRest}, kLongest, int{kLoopEnd}}) put(c, p, b);
    s -= n * kLongest;
  }
  if (s > 0) {
    put(c, p, kRest);
    put_length_byte(c, p, s);
  }
}

}  // namespace

Part& add_part(Converter& c, int slot) {
  auto& parts = c.channels[slot].parts;
  const int index = static_cast<int>(parts.size());
  if (index >= kPartsPerSlot - 1) {
    c.messages.append("Too many chord! Memory over. \n");
    c.messages.append("Track=%d , Channel = %d \n", c.current_track, slot);
    throw Stop{};
  }
  const Capacity cap = capacity_of(index);
  Part part;
  part.stream.capacity = cap.bytes;
  part.stream.message_number = cap.message;
  try {
    part.stream.bytes.reserve(cap.bytes);
    parts.push_back(std::move(part));
  } catch (const std::bad_alloc&) {
    c.messages.append("Out of Memory #%d\n", cap.alloc_message);
    throw Stop{};
  }
  Part& p = parts.back();
  put_opening(c, slot, index, p);
  return p;
}

void ensure_part(Converter& c, int slot) {
  if (c.channels[slot].parts.empty()) add_part(c, slot);
}

void put(Converter& c, Part& p, int byte) {
  if (p.stream.bytes.size() >= p.stream.capacity) {
    c.messages.append("Too long track! Memory over. #%d\n", p.stream.message_number);
    throw Stop{};
  }
  p.stream.bytes.push_back(static_cast<std::uint8_t>(byte));
}

void put16(Converter& c, Part& p, int word) {
  put(c, p, word & 0xFF);
  put(c, p, (word >> 8) & 0xFF);
}

void begin_pending(Converter& c, Part& p, int byte) {
  p.pending = p.stream.bytes.size();
  put(c, p, byte);
}

std::int64_t song_ticks(Converter& c, Part& p) {
  const std::int64_t tb = c.timebase;
  const std::int64_t unit = c.song_ticks_per_unit;
  std::int64_t s = (c.now - p.last_tick) * unit / tb;
  p.rounding += s * tb;
  if (tb / 2 < c.now * unit - p.rounding) {
    ++s;
    p.rounding += tb;
  }
  p.last_tick = c.now;
  return s;
}

void write_length(Converter& c, Part& p, std::int64_t s) {
  if (p.pending == kNone) return;
  auto& bytes = p.stream.bytes;
  const int item = bytes[p.pending];
  const bool rest = item == kRest;
  const std::size_t at = p.pending;
  p.pending = kNone;
  if (s <= 0) {
    bytes.resize(at);  // nothing was heard
    return;
  }
  if (s < kShortLengths) {
    if (s != p.default_length && s == p.earlier[0] && s == p.earlier[1]) {
      bytes.resize(at);
      put(c, p, kDefaultLength);
      put_length_byte(c, p, s);
      put(c, p, item | 0x80);
      p.default_length = static_cast<int>(s);
      return;
    }
    p.earlier[1] = p.earlier[0];
    p.earlier[0] = static_cast<int>(s);
    if (s == p.default_length)
      bytes[at] = static_cast<std::uint8_t>(item | 0x80);
    else
      put_length_byte(c, p, s);
    return;
  }
  if (rest && s > 3 * kLongest) {
    write_long_rest(c, p, s);
    return;
  }
  while (s > kLongest) {
    s -= kLongest;
    put(c, p, kLongest);
    if (rest) {
      put(c, p, kRest);
    } else {
      put(c, p, kTie);
      put(c, p, item);
    }
  }
  put_length_byte(c, p, s);
}

std::int64_t write_time(Converter& c, Part& p) {
  const std::int64_t s = song_ticks(c, p);
  write_length(c, p, s);
  return s;
}

void between_notes(Converter& c, Part& p, const std::function<void()>& command) {
  const std::int64_t s = write_time(c, p);
  if (p.note < 0) {
    command();
    begin_pending(c, p, kRest);
    return;
  }
  if (s != 0) {
    p.tie = p.stream.bytes.size();
    put(c, p, kTie);
  }
  command();
  begin_pending(c, p, p.note_byte);
}

void end_note(Converter& c, Part& p) {
  const std::int64_t s = write_time(c, p);
  if (s == 0 && p.tie != kNone) p.stream.bytes[p.tie] = kCallMark;
  p.tie = kNone;
  p.last_off = c.now;
  p.note = -1;
  begin_pending(c, p, kRest);
}

}  // namespace kvt::convert
