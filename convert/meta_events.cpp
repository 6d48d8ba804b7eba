#include "meta_events.h"

#include <algorithm>

#include "part_writer.h"
#include "smf_reader.h"

namespace kvt::convert {
namespace {

constexpr int kTempoUnits = 3450;  // tempo word units per minute at 48 ticks a quarter
constexpr int kNameField = 16;

void check_length(Converter& c, int type, int expected) {
  const int length = fgetc2(c.input);
  if (length == expected) return;
  c.messages.append("abnormal code 'FF %02X %X'\n", type, length & 0xFF);
  throw Stop{};
}

Part& conductor(Converter& c) { return c.channels[0].parts[0]; }

void tempo(Converter& c) {
  check_length(c, 0x51, 3);
  std::int64_t us = 0;
  for (int i = 0; i < 3; ++i) us = us << 8 | (fgetc2(c.input) & 0xFF);
  if (us == 0 || c.smpte) return;  // SMPTE time runs at a fixed tempo
  const int word = static_cast<int>(kTempoUnits / (60000000 / us));  // three bytes: at least 3 bpm
  Part& p = conductor(c);
  between_notes(c, p, [&] {
    put(c, p, kTempo);
    put16(c, p, word);
  });
}

void time_signature(Converter& c) {
  check_length(c, 0x58, 4);
  const int numerator = fgetc2(c.input) & 0xFF;
  const int exponent = fgetc2(c.input) & 0xFF;
  fgetc2(c.input);
  fgetc2(c.input);
  Part& p = conductor(c);
  between_notes(c, p, [&] {
    for (int b : {int{kMeasure}, 0x30, 0x00, numerator, 1 << (exponent < 7 ? exponent : 7)}) put(c, p, b);
  });
}

bool is_lead_byte(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }

void track_name(Converter& c) {
  const std::int64_t length = read_varlen(c.input);
  std::vector<std::uint8_t> name;
  for (std::int64_t i = 0; i < length; ++i) {
    const int b = fgetc2(c.input);
    if (b < 0) break;
    name.push_back(static_cast<std::uint8_t>(b));
  }
  // Byte by byte: a NUL in a name adds nothing and the bytes after it follow.
  c.messages.append("\"");
  for (const std::uint8_t b : name)
    if (b != 0) c.messages.append_bytes(reinterpret_cast<const char*>(&b), 1);
  c.messages.append("\"\n");
  if (c.current_track == 0) {
    if (c.has_title) return;
    c.has_title = true;
    c.title = name;
    return;
  }
  const int shown = static_cast<int>(std::min<std::size_t>(name.size(), kNameField));
  if (shown == kNameField && is_lead_byte(name[15]) && !is_lead_byte(name[14])) name[15] = ' ';
  Part& p = conductor(c);
  between_notes(c, p, [&] {
    put(c, p, kKeyGroup);
    put(c, p, (c.current_track - 1) % 17);
    put(c, p, kText);
    put(c, p, shown);
    for (int i = 0; i < shown; ++i) put(c, p, name[i]);
  });
}

}  // namespace

void song_meta_event(Converter& c, int type) {
  switch (type) {
    case 0x51: tempo(c); break;
    case 0x58: time_signature(c); break;
    case 0x03: track_name(c); break;
    default: break;
  }
}

}  // namespace kvt::convert
