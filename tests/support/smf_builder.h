// Standard MIDI Files built byte by byte for the converter tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kvt::test {

using Bytes = std::vector<std::uint8_t>;

struct SmfEvent {
  std::uint32_t delta;
  Bytes bytes;  // status (or none under running status) and data
};

Bytes varlen(std::uint32_t value);
// "MTrk", the length, the events and (unless left out) FF 2F 00.
Bytes smf_track(const std::vector<SmfEvent>& events, bool end_of_track = true);
// "MThd" declaring `tracks.size()` tracks, then the tracks.
Bytes smf_file(int format, int division, const std::vector<Bytes>& tracks);

// Channels are 1..16.
SmfEvent note_on(std::uint32_t delta, int channel, int key, int velocity = 100);
SmfEvent note_off(std::uint32_t delta, int channel, int key);
SmfEvent control(std::uint32_t delta, int channel, int controller, int value);
SmfEvent program(std::uint32_t delta, int channel, int number);
SmfEvent bend(std::uint32_t delta, int channel, int msb);
SmfEvent tempo(std::uint32_t delta, std::uint32_t us_per_quarter);
SmfEvent meta(std::uint32_t delta, int type, const Bytes& data);
SmfEvent track_name(std::uint32_t delta, const std::string& name);
SmfEvent sysex(std::uint32_t delta, const Bytes& body);  // body without F0, with F7

}  // namespace kvt::test
