#include "smf_builder.h"

namespace kvt::test {
namespace {

void append(Bytes& to, const Bytes& b) { to.insert(to.end(), b.begin(), b.end()); }

void be32(Bytes& to, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) to.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint8_t status(int kind, int channel) { return static_cast<std::uint8_t>(kind | (channel - 1)); }

Bytes with_length(const Bytes& data) {
  Bytes b = varlen(static_cast<std::uint32_t>(data.size()));
  append(b, data);
  return b;
}

}  // namespace

Bytes varlen(std::uint32_t value) {
  Bytes groups{static_cast<std::uint8_t>(value & 0x7F)};
  while (value >>= 7) groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
  return groups;
}

Bytes smf_track(const std::vector<SmfEvent>& events, bool end_of_track) {
  Bytes data;
  for (const SmfEvent& e : events) {
    append(data, varlen(e.delta));
    append(data, e.bytes);
  }
  if (end_of_track) append(data, {0x00, 0xFF, 0x2F, 0x00});
  Bytes b{'M', 'T', 'r', 'k'};
  be32(b, static_cast<std::uint32_t>(data.size()));
  append(b, data);
  return b;
}

Bytes smf_file(int format, int division, const std::vector<Bytes>& tracks) {
  Bytes b{'M', 'T', 'h', 'd', 0, 0, 0, 6, static_cast<std::uint8_t>(format >> 8), static_cast<std::uint8_t>(format), 0,
          static_cast<std::uint8_t>(tracks.size()), static_cast<std::uint8_t>(division >> 8),
          static_cast<std::uint8_t>(division)};
  for (const Bytes& t : tracks) append(b, t);
  return b;
}

SmfEvent note_on(std::uint32_t delta, int channel, int key, int velocity) {
  return {delta, {status(0x90, channel), static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity)}};
}

SmfEvent note_off(std::uint32_t delta, int channel, int key) {
  return {delta, {status(0x80, channel), static_cast<std::uint8_t>(key), 0x40}};
}

SmfEvent control(std::uint32_t delta, int channel, int controller, int value) {
  return {delta, {status(0xB0, channel), static_cast<std::uint8_t>(controller), static_cast<std::uint8_t>(value)}};
}

SmfEvent program(std::uint32_t delta, int channel, int number) {
  return {delta, {status(0xC0, channel), static_cast<std::uint8_t>(number)}};
}

SmfEvent bend(std::uint32_t delta, int channel, int msb) {
  return {delta, {status(0xE0, channel), 0x00, static_cast<std::uint8_t>(msb)}};
}

SmfEvent tempo(std::uint32_t delta, std::uint32_t us) {
  return meta(delta, 0x51, {static_cast<std::uint8_t>(us >> 16), static_cast<std::uint8_t>(us >> 8),
                            static_cast<std::uint8_t>(us)});
}

SmfEvent meta(std::uint32_t delta, int type, const Bytes& data) {
  Bytes b{0xFF, static_cast<std::uint8_t>(type)};
  append(b, with_length(data));
  return {delta, b};
}

SmfEvent track_name(std::uint32_t delta, const std::string& name) { return meta(delta, 0x03, Bytes(name.begin(), name.end())); }

SmfEvent sysex(std::uint32_t delta, const Bytes& body) {
  Bytes b{0xF0};
  append(b, with_length(body));
  return {delta, b};
}

}  // namespace kvt::test
