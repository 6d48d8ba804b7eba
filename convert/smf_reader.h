// Standard MIDI Files, format 0 and 1: the header found anywhere in the
// file, the track chunks, and every track's events merged in time order.
#pragma once

#include <cstdint>

#include "converter_context.h"

namespace kvt::convert {

// Finds and checks "MThd"; sets the timebase and the format. Stops the
// conversion with the reader's message when it is not a usable SMF.
void read_smf_header(Converter& c);
// Finds the tracks and primes their cursors; returns how many.
int scan_tracks(Converter& c);
std::int64_t read_varlen(memory_file& f);

struct SmfHandlers {
  void (*channel)(Converter&, int status, int channel);  // 0x80..0xEF
  void (*sysex)(Converter&);                              // after F0
  void (*meta)(Converter&, int type);                     // types the song uses
};

// Delivers every event in time order, the events of one track at one tick
// together, tracks of the same tick in index order.
void merge_tracks(Converter& c, const SmfHandlers& handlers);

}  // namespace kvt::convert
