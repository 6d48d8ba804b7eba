#include "channel_events.h"

#include <algorithm>

#include "gs_names.h"
#include "part_values.h"
#include "part_writer.h"

namespace kvt::convert {
namespace {

constexpr int kReuseAfter = 12;  // MIDI ticks a part rests before a new note may take it
constexpr int kMaxHeld = 7;

int data_byte(Converter& c) {
  const int b = fgetc2(c.input);
  return b < 0 ? 0 : b & 0x7F;
}

bool is_drum(const Channel& ch) { return ch.drum_map > 0; }

int rate_offset(int v) { return -(v - 64) / 2; }

std::uint8_t slot_for(Converter& c, int voice, std::uint8_t key) {
  int& slot = c.voice_slot[voice];
  if (slot < 0) {
    if (c.slots_used >= kMaxSongVoices) {
      c.messages.append("ERROR! Too many voices in KVT file! (more than %d)\n", kMaxSongVoices);
      throw Stop{};
    }
    slot = c.slots_used++;
    c.slot_key[slot] = key;
  }
  return static_cast<std::uint8_t>(slot);
}

// A silent part for a new note: one that has rested long enough at once,
// else a new part while the channel is small, else the longest resting.
Part& choose_part(Converter& c, int slot, int layers) {
  Channel& ch = c.channels[slot];
  Part* oldest = nullptr;
  for (Part& p : ch.parts) {
    if (p.note >= 0) continue;
    if (c.now - p.last_off > kReuseAfter) return p;
    if (oldest == nullptr || p.last_off < oldest->last_off) oldest = &p;
  }
  if (oldest == nullptr || static_cast<int>(ch.parts.size()) <= 4 * layers) return add_part(c, slot);
  return *oldest;
}

void melodic_layer(Converter& c, int slot, const ProgramRow& row, int layer, int key, int velocity) {
  Channel& ch = c.channels[slot];
  const LayerRow& l = row.layers[layer];
  const auto* splits = c.config.splits(l.split);
  if (splits == nullptr) return;
  const int last = static_cast<int>(splits->size()) - 1;
  int k = std::clamp(key + c.key_shift, 0, 127);
  int& index = ch.split_index[layer];
  index = std::clamp(index, 0, last);
  while (index > 0 && k < (*splits)[index].low_key) --index;
  while (index < last && k > (*splits)[index].high_key) ++index;
  const SplitRecord& split = (*splits)[index];
  const VoiceFile* voice = c.config.voice(split.voice);
  if (voice == nullptr) return;
  k += split.transpose;
  while (k < 12) k += 12;
  while (k > 107) k -= 12;

  Part& p = choose_part(c, slot, row.layer_count);
  write_time(c, p);
  p.drum = false;
  p.level = std::int64_t{split.level + 128} * l.level_scale * 2;
  p.detune_offset = l.detune;
  put_velocity(c, p, velocity_code(ch, velocity));
  put_volume_word(c, p, volume_word(c, ch, p));
  put_pan(c, p, ch.pan);
  put_modulation(c, p, ch.modulation);
  put_detune(c, p, detune_value(ch, p.detune_offset));
  put_rates(c, p, ch.rates);
  const int program = ch.program | ch.program_bank << 8;
  const int split_id = l.split << 8 | index;
  if (p.split != split_id || p.program != program) {
    p.split = split_id;
    put(c, p, kProgram);
    put(c, p, slot_for(c, split.voice, static_cast<std::uint8_t>(0xC0 - split.transpose)));
    put(c, p, kEnvelope);
    put(c, p, l.envelope_set + 15);
  }
  if (p.program != program) {
    p.program = program;
    p.detune = kUnset;
    put_detune(c, p, detune_value(ch, p.detune_offset));
    if (l.vibrato_step == 0) {
      for (int b : {int{kVibrato}, 4, 0, 1, 0, 1, 0}) put(c, p, b);
    } else {
      for (int b : {int{kVibrato}, 10, 0, 1, int{l.vibrato_delay}, int{l.vibrato_step}, 0}) put(c, p, b);
    }
  }
  put_track_marker(c, p);
  p.tie = kNone;
  p.note = layer * 128 + key;
  p.note_byte = k - 12;
  begin_pending(c, p, p.note_byte);
}

void drum_note(Converter& c, int slot, int key, int velocity) {
  Channel& ch = c.channels[slot];
  const DrumRecord* kit = c.config.drum(ch.program, key);
  if (kit == nullptr) return;
  const VoiceFile* voice = c.config.voice(kit->voice);
  if (voice == nullptr) return;
  const DrumKeySetting& set = c.drum_maps[ch.drum_map][key];
  const int pan = set.pan != kUnset ? set.pan : kit->pan;

  auto found = std::find_if(ch.parts.begin(), ch.parts.end(), [&](const Part& p) { return p.drum_key == key; });
  Part* p;
  if (found != ch.parts.end()) {
    p = &*found;
    const std::int64_t s = song_ticks(c, *p);
    if (s >= 256) {
      write_length(c, *p, 255);
      begin_pending(c, *p, kRest);
      write_length(c, *p, s - 255);
    } else {
      write_length(c, *p, s);
    }
  } else {
    p = &add_part(c, slot);
    write_time(c, *p);
    p->drum_key = key;
    p->drum = true;
    for (int b : {int{kGate}, 2, 1, int{kProgram}, int{slot_for(c, kit->voice, voice->key)}, int{kKeyForce}}) put(c, *p, b);
    int force = key - 12;
    while (force < 0) force += 12;
    while (force > 95) force -= 12;
    for (int b : {force, int{kOctaveShift}, 0, int{kEnvelope}, kit->envelope + 15}) put(c, *p, b);
    p->pan = kUnset;
    put_pan(c, *p, pan);
  }
  p->level = set.level != kUnset ? std::int64_t{set.level} * 284 : std::int64_t{kit->level + 128} * 142;
  p->key_level = set.key_level;
  put_velocity(c, *p, velocity_code(ch, velocity));
  put_volume_word(c, *p, volume_word(c, ch, *p));
  put_detune(c, *p, drum_detune_value(set.fine));
  put_pan(c, *p, pan);
  const int rates[3] = {ch.rates[0] + set.rate_a, ch.rates[1] + set.rate_b, ch.rates[2]};
  put_rates(c, *p, rates);
  put_track_marker(c, *p);
  p->note = -1;  // drum notes have no note-off
  p->note_byte = std::clamp(kit->pitch + set.pitch - 64, 0, 95);
  begin_pending(c, *p, p->note_byte);
}

void melodic_note(Converter& c, int slot, int key, int velocity) {
  Channel& ch = c.channels[slot];
  const ProgramRow* row = c.config.program_row(ch.program, ch.program_bank);
  if (row == nullptr) return;
  for (int layer = 0; layer < row->layer_count; ++layer) melodic_layer(c, slot, *row, layer, key, velocity);
}

// The oldest note the pedal holds ends when too many are held.
void release_oldest_held(Converter& c, Channel& ch) {
  int count = 0;
  Part* oldest = nullptr;
  for (Part& p : ch.parts) {
    if (p.note < 256) continue;
    ++count;
    if (oldest == nullptr || p.held_since < oldest->held_since) oldest = &p;
  }
  if (count > kMaxHeld) end_note(c, *oldest);
}

void note_off(Converter& c, int slot, int key, int most) {
  Channel& ch = c.channels[slot];
  if (is_drum(ch)) return;
  int ended = 0;
  for (Part& p : ch.parts) {
    if (ended == most) break;
    if (p.note != key && p.note != key + 128) continue;
    ++ended;
    if (ch.sustain) {
      p.note = (p.note & 128) + 256;
      p.held_since = ch.held++;
      release_oldest_held(c, ch);
    } else {
      end_note(c, p);
    }
  }
}

void end_held_notes(Converter& c, Channel& ch) {
  for (Part& p : ch.parts)
    if (p.note >= 256) end_note(c, p);
}

template <class F>
void on_sounding(Converter& c, Channel& ch, F&& command) {
  for (Part& p : ch.parts)
    if (p.note >= 0) between_notes(c, p, [&] { command(p); });
}

void new_volume_word(Converter& c, const Channel& ch, Part& p) {
  p.volume_word = kUnset;
  put_volume_word(c, p, volume_word(c, ch, p));
}

void new_detune(Converter& c, const Channel& ch, Part& p) {
  p.detune = kUnset;
  put_detune(c, p, detune_value(ch, p.detune_offset));
}

// Gain words again for sounding parts and for those that just ended.
void refresh_recent_volumes(Converter& c, Channel& ch) {
  for (Part& p : ch.parts) {
    if (p.note < 0 && c.now - p.last_off > kReuseAfter) continue;
    between_notes(c, p, [&] { new_volume_word(c, ch, p); });
  }
}

void retune(Converter& c, Channel& ch) {
  for (Part& p : ch.parts) between_notes(c, p, [&] { new_detune(c, ch, p); });
}

void data_entry(Converter& c, int slot, int v) {
  Channel& ch = c.channels[slot];
  if (!ch.non_registered) {
    switch (ch.parameter_lsb | ch.parameter_msb << 8) {
      case 0: ch.bend_range = std::min(v, 24); break;
      case 1: ch.fine_tune = std::clamp(v, 32, 96); break;
      case 2: ch.coarse_tune = std::clamp(v, 40, 88); break;
      default: return;
    }
    retune(c, ch);
    return;
  }
  if (ch.parameter_msb == 1) {
    switch (ch.parameter_lsb) {
      case 0x63: ch.rates[0] = rate_offset(v); break;
      case 0x64: ch.rates[1] = rate_offset(v); break;
      case 0x66: ch.rates[2] = rate_offset(v); break;
      default: break;
    }
    return;
  }
  if (!is_drum(ch) || ch.parameter_lsb > 127) return;
  DrumKeySetting& set = c.drum_maps[ch.drum_map][ch.parameter_lsb];
  switch (ch.parameter_msb) {
    case 0x14: set.key_level = v; break;
    case 0x16: set.rate_a = rate_offset(v); break;
    case 0x17: set.rate_b = rate_offset(v); break;
    case 0x18: set.pitch = v; break;
    case 0x19: set.fine = v; break;
    case 0x1A: set.level = v; break;
    case 0x1C: set.pan = v == 0 ? 1 : v; break;
    default: break;
  }
}

}  // namespace

void note_off_event(Converter& c, int channel) {
  const int key = data_byte(c);
  data_byte(c);
  note_off(c, channel, key, kPartsPerSlot);
}

void note_on_event(Converter& c, int channel) {
  const int key = data_byte(c);
  const int velocity = data_byte(c);
  if (velocity == 0) {
    note_off(c, channel, key, 2);
  } else if (is_drum(c.channels[channel])) {
    drum_note(c, channel, key, velocity);
  } else {
    melodic_note(c, channel, key, velocity);
  }
}

void control_change_event(Converter& c, int channel) {
  const int controller = data_byte(c);
  const int value = data_byte(c);
  control_change(c, channel, controller, value);
}

void program_change_event(Converter& c, int channel) { program_change(c, channel, data_byte(c)); }

void pitch_bend_event(Converter& c, int channel) {
  data_byte(c);  // the fine part is not used
  const int msb = data_byte(c);
  ensure_part(c, channel);
  Channel& ch = c.channels[channel];
  ch.bend = msb;
  on_sounding(c, ch, [&](Part& p) { new_detune(c, ch, p); });
}

void control_change(Converter& c, int channel, int controller, int v) {
  ensure_part(c, channel);
  Channel& ch = c.channels[channel];
  switch (controller) {
    case 0: ch.bank = v; break;
    case 1:
      ch.modulation = v;
      on_sounding(c, ch, [&](Part& p) {
        p.modulation = kUnset;
        put_modulation(c, p, v);
      });
      break;
    case 6: data_entry(c, channel, v); break;
    case 7:
      ch.volume = v;
      on_sounding(c, ch, [&](Part& p) { new_volume_word(c, ch, p); });
      break;
    case 10:
      ch.pan = v == 0 ? 1 : v;
      on_sounding(c, ch, [&](Part& p) {
        p.pan = kUnset;
        put_pan(c, p, ch.pan);
      });
      break;
    case 11: ch.expression = v; refresh_recent_volumes(c, ch); break;
    case 64:
      if (v < 64) end_held_notes(c, ch);
      ch.sustain = v >= 64;
      ch.held = 0;
      break;
    case 72: ch.rates[2] = rate_offset(v); break;
    case 73: ch.rates[0] = rate_offset(v); break;
    case 74: ch.brightness = v; refresh_recent_volumes(c, ch); break;
    case 91: ch.reverb = v; break;
    case 93: ch.chorus = v; break;
    case 98: ch.parameter_lsb = v; ch.non_registered = true; break;
    case 99: ch.parameter_msb = v; ch.non_registered = true; break;
    case 100: ch.parameter_lsb = v; ch.non_registered = false; break;
    case 101: ch.parameter_msb = v; ch.non_registered = false; break;
    default: break;
  }
}

void program_change(Converter& c, int channel, int program) {
  ensure_part(c, channel);
  Channel& ch = c.channels[channel];
  ch.program = program;
  ch.program_bank = ch.bank;
  ch.split_index[0] = ch.split_index[1] = 0;
  if (is_drum(ch)) c.drum_maps[ch.drum_map].fill(DrumKeySetting{});
  if (c.format1 != 0 || ch.named || ch.name_field == kNone) return;
  ch.named = true;
  const char* name = is_drum(ch) ? gs_kit_name(program) : gs_instrument_name(program);
  auto& bytes = ch.parts[0].stream.bytes;
  for (int i = 0; i < 16; ++i) bytes[ch.name_field + i] = static_cast<std::uint8_t>(name[i]);
}

void refresh_volumes(Converter& c) {
  for (int slot = 1; slot < kSlots; ++slot) refresh_recent_volumes(c, c.channels[slot]);
}

}  // namespace kvt::convert
