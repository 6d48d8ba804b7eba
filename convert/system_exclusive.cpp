#include "system_exclusive.h"

#include <algorithm>
#include <vector>

#include "channel_events.h"
#include "smf_reader.h"

namespace kvt::convert {
namespace {

constexpr std::int64_t kLongest = 1024;
constexpr int kBulkBlock = 224;  // bulk offsets of one part block
constexpr int kRxChannel = 10;   // bulk offset of a block's receive channel

int slot_of_block(int block) {
  if (block == 0) return 10;
  return block <= 9 ? block : block + 1;
}

int rate_offset(int v) { return -(v - 64) / 2; }

enum class Kind { individual, bulk };

// One part parameter, addressed as a single message or as a bulk offset
// (bulk offsets are told apart by 0x1000 added).
void part_parameter(Converter& c, int slot, int address, int v, Kind kind) {
  Channel& ch = c.channels[slot];
  const bool single = kind == Kind::individual;
  switch (single ? address : address + 0x1000) {
    case 0x100: case 0x1000: ch.bank = v; break;
    case 0x101: case 0x1002: program_change(c, slot, v); break;
    case 0x115: ch.drum_map = std::min(v, 2); break;
    case 0x100A: ch.drum_map = std::min((v >> 5) & 3, 2); break;
    case 0x119: case 0x1010: control_change(c, slot, 7, v); break;
    case 0x11A: ch.sense_depth = v; break;
    case 0x11B: ch.sense_offset = v; break;
    case 0x11C: case 0x1012: control_change(c, slot, 10, v); break;
    case 0x134: case 0x1028: ch.rates[0] = rate_offset(v); break;
    case 0x135: case 0x102A: ch.rates[1] = rate_offset(v); break;
    case 0x136: case 0x102C: ch.rates[2] = rate_offset(v); break;
    case 0x210: case 0x1068: ch.bend_range = v - 64; break;
    default: break;
  }
}

void system_parameter(Converter& c, int address, int v, Kind kind) {
  const int shift = kind == Kind::individual ? 0x05 : 0x0A;
  if (address == 0x04) {
    c.master_volume = v;
    refresh_volumes(c);
  } else if (address == shift) {
    c.key_shift = v - 64;
  }
}

// The address's map 0 or 1 is the drum channels' map 1 or 2.
int drum_map_of(int mid) { return ((mid >> 4) & 1) + 1; }

// Bulk parameters are told apart by 0x100 added.
void drum_parameter(Converter& c, int map, int parameter, int key, int v, Kind kind) {
  if (key < 0 || key >= kKeys) return;
  DrumKeySetting& set = c.drum_maps[map][key];
  const bool single = kind == Kind::individual;
  switch (single ? parameter : parameter + 0x100) {
    case 1: case 0x100: set.pitch = v; break;
    case 2: case 0x102: set.level = v; break;
    case 3: case 0x106: set.pan = v == 0 ? 64 : v; break;
    case 6: set.key_level = v; break;
    default: break;
  }
}

std::vector<int> nibble_values(const std::vector<int>& data) {
  std::vector<int> values;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) values.push_back((data[i] & 15) * 16 + (data[i + 1] & 15));
  return values;
}

void part_bulk(Converter& c, int mid, int low, const std::vector<int>& values) {
  const int position = mid * 128 + low - 0x90;
  if (position < 0) return;
  int block = position / kBulkBlock, offset = position % kBulkBlock;
  // The receive channel of every block the dump covers, before its values.
  for (std::size_t i = 0; i < values.size(); ++i) {
    const int at = offset + 2 * static_cast<int>(i);
    const int b = block + at / kBulkBlock;
    if (at % kBulkBlock == kRxChannel && b < 16 && values[i] < 16) c.block_channel[b] = values[i] + 1;
  }
  if (block >= 16) return;
  c.messages.append("Bulk-Dump Block %x = channel %d \n", block, c.block_channel[block]);
  for (const int v : values) {
    const int channel = c.block_channel[block];
    part_parameter(c, channel, offset, v, Kind::bulk);
    offset += 2;
    if (offset >= kBulkBlock) {
      offset = 0;
      if (++block >= 16) return;
    }
  }
}

void roland_data_set(Converter& c, const std::vector<int>& body) {
  const int high = body[4], mid = body[5], low = body[6];
  const std::vector<int> data(body.begin() + 7, body.end() - 2);  // without the checksum and F7
  if ((high == 0x00 || high == 0x40) && mid == 0x00) {
    if (!data.empty()) system_parameter(c, low, data[0], Kind::individual);
  } else if (high == 0x40) {
    const int block = mid & 0x0F;
    for (std::size_t i = 0; i < data.size(); ++i)
      part_parameter(c, slot_of_block(block), (mid & 0xF0) * 16 + low + static_cast<int>(i), data[i], Kind::individual);
  } else if (high == 0x41) {
    int parameter = mid & 0x0F, key = low;
    for (const int v : data) {
      drum_parameter(c, drum_map_of(mid), parameter, key, v, Kind::individual);
      if (++key > 127) {
        key = 0;
        ++parameter;
      }
    }
  } else if (high == 0x48) {
    const std::vector<int> values = nibble_values(data);
    if (mid == 0x00) {
      for (std::size_t k = 0; k < values.size(); ++k)
        system_parameter(c, low + 2 * static_cast<int>(k), values[k], Kind::bulk);
    } else {
      part_bulk(c, mid, low, values);
    }
  } else if (high == 0x49) {
    int parameter = mid & 0x0F, key = (mid & 1) * 128 + low;
    for (const int v : nibble_values(data)) {
      drum_parameter(c, drum_map_of(mid), parameter, key, v, Kind::bulk);
      if (++key >= 128) {
        key = 0;
        parameter += 2;
      }
    }
  }
}

}  // namespace

void system_exclusive_event(Converter& c) {
  const std::int64_t length = read_varlen(c.input);
  if (length > kLongest) {
    fseek2(c.input, static_cast<long>(length), 1);
    return;
  }
  std::vector<int> body;
  for (std::int64_t i = 0; i < length; ++i) {
    const int b = fgetc2(c.input);
    if (b < 0) break;
    body.push_back(b);
  }
  if (!body.empty() && body[0] == 0x7F) {
    if (body.size() >= 6 && body[1] == 0x7F && body[2] == 0x04 && body[3] == 0x01) c.master_volume = body[5];
    refresh_volumes(c);
    return;
  }
  if (body.size() >= 9 && body[0] == 0x41 && body[2] == 0x42 && body[3] == 0x12) roland_data_set(c, body);
}

}  // namespace kvt::convert
