#include "rcp_same_measure.h"

namespace kvt::convert {
namespace {

std::uint16_t target_of(int gate, int velocity) {
  return static_cast<std::uint16_t>(((velocity & 0xFF) * 256 + (gate & 0xFF)) >> 2);
}

}  // namespace

std::optional<std::size_t> referenced_measure(MeasureLeads& leads, memory_file& input, int track,
                                              std::size_t track_start, int gate, int velocity) {
  const std::uint16_t first = target_of(gate, velocity);
  std::uint16_t end = first;
  for (;;) {  // on to a measure, or to an event whose chain is known
    MeasureLead& lead = leads.at[end];
    if (lead.track == track) {
      if (!lead.known) return std::nullopt;  // met again on this walk
      end = lead.to;
      break;
    }
    fsetpos2(input, track_start + 4 * std::size_t{end});
    if (fgetc2(input) != kSameMeasure) break;
    fgetc2(input);  // its step time
    const int next_gate = fgetc2(input), next_velocity = fgetc2(input);
    lead = {track, false, target_of(next_gate, next_velocity)};
    end = lead.to;
  }
  // Every event walked past leads there too.
  for (std::uint16_t t = first; leads.at[t].track == track && !leads.at[t].known;) {
    const std::uint16_t next = leads.at[t].to;
    leads.at[t] = {track, true, end};
    t = next;
  }
  return track_start + 4 * std::size_t{end};
}

}  // namespace kvt::convert
