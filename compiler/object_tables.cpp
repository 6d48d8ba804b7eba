#include "object_tables.h"

#include <cstring>

#include "object_writer.h"
#include "operands.h"
#include "synchronisation.h"

namespace kvt::compiler {
namespace {

constexpr int kVoiceCount = 0x09;
constexpr int kKeyTableOffset = 0x0D;

const char* voice_name(const Compiler& c, int voice) {
  return voice < kConfigVoices ? c.pcm_name[voice] : c.v_file[voice - kConfigVoices];
}

// Configuration voices first, then the source's own, each with its slot.
void write_voice_records(Compiler& c) {
  int entry = kVoiceTable;
  for (int voice = 0; voice < kAllVoices; ++voice) {
    if (c.pcm_use[voice] < 0) continue;
    poke16(c, entry, c.objp);
    entry += 2;
    put(c, c.pcm_use[voice]);
    const char* name = voice_name(c, voice);
    for (std::size_t i = 0, n = std::strlen(name); i <= n; ++i) put(c, name[i]);
  }
}

}  // namespace

void write_trailing_tables(Compiler& c) {
  skip(c);
  if (c.wait_count > 0) synchronise(c);
  skip(c);
  write_voice_records(c);
  poke(c, kVoiceCount, c.next_pcm);
  skip(c);
  poke16(c, kKeyTableOffset, c.objp);
  for (std::uint8_t key : c.key_adj) put(c, key);
}

void write_header(Compiler& c) {
  std::memcpy(c.objdata.data(), "KVTM", 4);
  poke(c, 0x04, c.zlen / 4);
  poke16(c, 0x05, tempo_word(c, c.tempo));
  poke16(c, 0x07, kVoiceTable);
}

}  // namespace kvt::compiler
