#include "loader.h"

#include <cstring>
#include <string>

#include "file_block.h"
#include "utf8_text.h"
#include "song_image.h"
#include "voice_image.h"
#include "voice_search.h"

namespace kvt::host {
namespace {

constexpr std::size_t kSongSpare = 1;
constexpr const char* kNoMemory = "Malloc Error: No memory.";
constexpr const char* kNotSong = "Not FM data: Format Error!";
constexpr const char* kNotVoice = "Not KVW data: Format Error!";

bool is_lead_byte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// How much of a Shift-JIS line fits `limit` bytes without ending in the
// first half of a double-byte character.
std::size_t shift_jis_prefix(const std::string& line, std::size_t limit) {
  std::size_t keep = 0;
  while (keep < line.size()) {
    const std::size_t next = keep + (is_lead_byte(line[keep]) ? 2 : 1);
    if (next > limit || next > line.size()) break;
    keep = next;
  }
  return keep;
}

// Copies the title line into the 256-byte buffer, cut between characters
// when it does not fit: UTF-8 ones where the title is UTF-8, else Shift-JIS.
void put_title(char* out, const std::string& line) {
  if (out == nullptr) return;
  constexpr std::size_t kRoom = kTitleSize - 1;
  const std::size_t keep = is_utf8(line) ? utf8_prefix(line, kRoom) : shift_jis_prefix(line, kRoom);
  std::memcpy(out, line.data(), keep);
  out[keep] = '\0';
}

int fail(Player& player, const std::string& text, int icon = KVT_ICON_NONE) {
  free_kvw(player);
  player.ui.message(text.c_str(), icon);
  return 1;
}

int load_voice(Player& player, const VoiceRecord& record, const playstruct& settings) {
  const std::string path = find_voice_file(record.name, settings.pcm_dir);
  FileBlock block;
  const ReadResult read = path.empty() ? ReadResult::not_found : read_file_block(path.c_str(), kVoiceSpare, block);
  if (read == ReadResult::no_memory) return fail(player, kNoMemory, KVT_ICON_EXCLAMATION);
  if (read != ReadResult::ok) {
    return fail(player, std::string(record.name) + " is not found.\nPlease Check PCM data Directory.");
  }
  if (!prepare_voice(block.bytes.get(), block.file_size)) return fail(player, kNotVoice);
  player.kvw[record.slot] = std::move(block);  // a slot named twice keeps the later file
  return 0;
}

}  // namespace

int fm_and_kvw(Player& player, const char* song_path, const playstruct& settings) {
  free_kvw(player);
  switch (read_file_block(song_path, kSongSpare, player.fm)) {
    case ReadResult::not_found: return fail(player, std::string(song_path) + " is not found.");
    case ReadResult::no_memory: return fail(player, kNoMemory, KVT_ICON_EXCLAMATION);
    case ReadResult::ok: break;
  }
  const SongImage song(player.fm.bytes.get(), player.fm.file_size);
  if (song.check() != SongCheck::ok) return fail(player, kNotSong);
  player.kvw_total = song.header().voice_count;
  put_title(player.tit, song.title_line());
  for (int i = 0; i < player.kvw_total; ++i) {
    if (load_voice(player, song.voice(i), settings) != 0) return 1;
  }
  attach_driver(player);
  return 0;
}

void free_kvw(Player& player) {
  player.fm = FileBlock{};
  for (FileBlock& voice : player.kvw) voice = FileBlock{};
  player.kvw_total = 0;
  attach_driver(player);
}

void attach_driver(Player& player) {
  driver::Context& d = *player.driver;
  d.fm = player.fm.bytes.get();
  d.fm_size = player.fm.file_size;
  for (int slot = 0; slot < song::kVoiceSlots; ++slot) {
    const FileBlock& voice = player.kvw[slot];
    d.kvw[slot] = voice.bytes ? voice.bytes.get() : KVT_EMPTY_VOICE;
    d.kvw_size[slot] = voice.size;
  }
}

}  // namespace kvt::host
