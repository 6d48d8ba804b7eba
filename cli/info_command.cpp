// kvt info: what a song data file holds.
#include <cstdio>
#include <string>
#include <vector>

#include "bank_option.h"
#include "commands.h"
#include "display_text.h"
#include "file_checks.h"
#include "play_options.h"
#include "song_file.h"

namespace kvt::cli {
namespace {

constexpr unsigned kAbsent = 0xFFFF;

std::string offset_text(unsigned offset) {
  if (offset == kAbsent) return "none";
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", offset);
  return text;
}

void print_header(const kvt_song_info& info, const char* title) {
  std::printf("%s\n", frontend::to_utf8(title).c_str());
  std::printf("default length  %u ticks\n", info.default_length);
  std::printf("tempo           %u (x 1/2756.25 s per tick)\n", info.tempo);
  std::printf("part table      %u entries, ends at %s\n", info.part_entries, offset_text(info.part_table_end).c_str());
  std::printf("part offsets    %s\n", info.offset_mode == 0x80 ? "in 16-byte units" : "in bytes");
  std::printf("title block     %s\n", offset_text(info.title_offset).c_str());
  std::printf("key table       %s\n", offset_text(info.key_adj_offset).c_str());
}

void print_voices(const std::vector<unsigned char>& image, unsigned count, const playstruct& settings) {
  std::printf("voices          %u\n", count);
  for (unsigned i = 0; i < count; ++i) {
    unsigned slot = 0;
    const char* name = nullptr;
    if (kvt_song_voice(image.data(), image.size(), i, &slot, &name) != 0) continue;
    char path[4096];
    const bool found = kvt_find_voice(name, &settings, path, sizeof path) == 0;
    std::printf("  slot %3u  %-12s %s\n", slot, frontend::to_utf8(name).c_str(), found ? path : "missing");
  }
}

void print_parts(const std::vector<unsigned char>& image, unsigned entries) {
  unsigned present = 0;
  for (unsigned i = 0; i < entries; ++i) present += kvt_song_part(image.data(), image.size(), i, nullptr) >= 0;
  std::printf("parts           %u\n", present);
  for (unsigned i = 0; i < entries; ++i) {
    unsigned long offset = 0;
    const long events = kvt_song_part(image.data(), image.size(), i, &offset);
    if (events < 0) continue;
    std::printf("  part %3u  at 0x%06lX  %6ld events%s\n", i + 1, offset, events,
                i >= frontend::kDriverParts ? "  (beyond the parts that play)" : "");
  }
}

int run_info(std::vector<std::string> list) {
  Arguments args(std::move(list));
  playstruct settings = default_play_settings();
  std::optional<std::string> bank;
  std::string song;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if ((*option != "--voices" || !read_play_option(args, *option, settings)) && !read_bank_option(args, *option, bank)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      if (!song.empty()) throw UsageError("one song at a time");
      song = *operand;
    }
  }
  if (song.empty()) throw UsageError("no song given");
  use_bank(bank, &settings);
  const auto found = find_input(song);
  if (!found) return 1;
  song = *found;

  std::vector<unsigned char> image;
  if (const FileRead read = frontend::read_song_file(song, image); read != FileRead::ok) {
    std::fprintf(stderr, "kvt: %s %s.\n", song.c_str(), frontend::read_refusal(read).c_str());
    return 1;
  }
  kvt_song_info info{};
  char title[512];
  if (kvt_song_read_info(image.data(), image.size(), &info, title, sizeof title) != KVT_SONG_OK) {
    std::fprintf(stderr, "kvt: Not FM data: Format Error!\n");
    return 1;
  }
  std::printf("%s  (%zu bytes)\n", song.c_str(), image.size());
  print_header(info, title);
  print_voices(image, info.voice_count, settings);
  print_parts(image, info.part_entries);
  return 0;
}

}  // namespace

extern const Command kInfoCommand{
    "info",
    "kvt info SONG.kvt [--voices DIR1[:DIR2]] [--bank NAME|DIR]",
    "show a song data file's header, title, voices and parts",
    "Shows the header fields, the title, each voice (slot, name, and the file it\n"
    "is found as, or missing) and each part (start offset, number of events).\n"
    "  --voices DIR[:DIR] voice directories to look the voices up in\n",
    false,
    false,
    run_info,
    true,
};

}  // namespace kvt::cli
