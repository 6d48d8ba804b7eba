#include "song_assembly.h"

#include <algorithm>

#include "part_writer.h"

namespace kvt::convert {
namespace {

constexpr std::size_t kPartTable = 16;
constexpr std::size_t kVoiceIndex = 528;
constexpr std::size_t kVoiceNames = 1040;
constexpr std::size_t kTitle = 3600;
constexpr std::size_t kSlotKeys = 3855;
constexpr std::size_t kFirstPart = 4111;

void put_at(Converter& c, std::size_t at, int byte) {
  fsetpos2(c.output, at);
  fputc2(c.output, byte, c.messages);
}

void put16_at(Converter& c, std::size_t at, int word) {
  put_at(c, at, word & 0xFF);
  put_at(c, at + 1, (word >> 8) & 0xFF);
}

void append(Converter& c, int byte) { fputc2(c.output, byte, c.messages); }

void write_parts(Converter& c) {
  int written = 0;
  fsetpos2(c.output, kFirstPart);
  for (Channel& ch : c.channels) {
    for (Part& p : ch.parts) {
      while (ftell2(c.output) % 16 != 0) append(c, 0xFF);
      const std::size_t start = ftell2(c.output);
      put16_at(c, kPartTable + 2 * written, static_cast<int>(start / 16));
      fsetpos2(c.output, start);
      put(c, p, 0xFF);
      put(c, p, 0xFF);
      c.messages.append(".");
      if (++written > kMaxSongParts) {
        c.messages.append("ERROR! Too many channels in KVT file!\n");
        c.messages.append("(more than 256)\n");
        throw Stop{};
      }
      fwrite2(c.output, p.stream.bytes.data(), p.stream.bytes.size(), c.messages);
    }
    c.messages.append("\n");
    c.messages.repaint(false);
  }
  c.messages.append("\n%d Channels in KVT File\n", written);
}

void write_voices(Converter& c) {
  const std::size_t end = ftell2(c.output);
  std::size_t entry = kVoiceIndex, name = kVoiceNames;
  for (int id = 0; id < kMaxVoiceFiles; ++id) {
    const int slot = c.voice_slot[id];
    if (slot < 0) continue;
    const std::string& file = c.config.voice(id)->name;
    if (name + file.size() + 2 > kTitle) {
      c.messages.append("ERROR! The voice names do not fit the KVT file.\n");
      throw Stop{};
    }
    put16_at(c, entry, static_cast<int>(name));
    entry += 2;
    put_at(c, name++, slot);
    for (const char ch : file) put_at(c, name++, static_cast<std::uint8_t>(ch));
    put_at(c, name++, 0);
  }
  for (int slot = 0; slot < 256; ++slot) put_at(c, kSlotKeys + slot, c.slot_key[slot]);
  put_at(c, 9, c.slots_used);
  if (c.has_title) {
    // The length byte and the text end before the slot keys.
    const std::size_t n = std::min(c.title.size(), kSlotKeys - kTitle - 1);
    put_at(c, kTitle, static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i) put_at(c, kTitle + 1 + i, c.title[i]);
  }
  fsetpos2(c.output, end);
}

}  // namespace

void write_header_skeleton(Converter& c) {
  static constexpr std::uint8_t kHeader[16] = {'K', 'V', 'T', 'M', 0x18, 0x1C, 0x00, 0x10, 0x02,
                                               0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  fsetpos2(c.output, 0);
  fwrite2(c.output, kHeader, sizeof kHeader, c.messages);
  while (ftell2(c.output) < kFirstPart) append(c, 0xFF);
  put16_at(c, 11, static_cast<int>(kTitle));
  put16_at(c, 13, static_cast<int>(kSlotKeys));
}

void assemble_song(Converter& c) {
  write_parts(c);
  write_voices(c);
}

}  // namespace kvt::convert
