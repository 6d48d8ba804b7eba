// kvt keys: what the visual player's keyboard would show for a song, as
// the calls its view receives, tick by tick, without sound.
#include <climits>
#include <cstdio>

#include "bank_option.h"
#include "commands.h"
#include "file_checks.h"
#include "kvt/player.h"
#include "message_output.h"
#include "midi_options.h"
#include "song_file.h"
#include "song_pipeline.h"
#include "stop_signals.h"

namespace kvt::cli {
namespace {

// Ten minutes of the view's clock (2756.25 ticks a second).
constexpr long kLongestRun = 2756L * 600;

struct KeysRequest {
  std::string file;
  long ticks = kLongestRun;
  std::string config;
  mid2kvt_settings midi = default_midi_settings();
};

KeysRequest read_request(std::vector<std::string> list) {
  Arguments args(std::move(list));
  KeysRequest r;
  std::optional<std::string> bank;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "--ticks") {
        r.ticks = args.number(0, INT_MAX);
      } else if (*option == "-c" || *option == "--config") {
        r.config = args.value();
      } else if (!read_midi_option(args, *option, r.midi) && !read_bank_option(args, *option, bank)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      if (!r.file.empty()) throw UsageError("one song at a time");
      r.file = *operand;
    }
  }
  if (r.file.empty()) throw UsageError("no song given");
  use_bank(bank);
  return r;
}

// Prints each call the view receives after the ticks completed before it.
struct CallPrinter {
  long ticks = 0;

  static void set_dot(void* printer, int row, int key) {
    std::printf("%ld set %d %d\n", static_cast<CallPrinter*>(printer)->ticks, row, key);
  }
  static void reset_dot(void* printer, int row, int key) {
    std::printf("%ld reset %d %d\n", static_cast<CallPrinter*>(printer)->ticks, row, key);
  }
  static void name(void* printer, int row, const unsigned char* bytes, std::size_t length) {
    std::printf("%ld name %d%s", static_cast<CallPrinter*>(printer)->ticks, row, length > 0 ? " " : "");
    for (std::size_t i = 0; i < length; ++i) std::printf("%02x", bytes[i]);
    std::printf("\n");
  }
};

int follow(const std::string& path, long ticks) {
  std::vector<unsigned char> image;
  if (const FileRead read = frontend::read_song_file(path, image); read != FileRead::ok) {
    std::fprintf(stderr, "kvt: %s %s.\n", path.c_str(), frontend::read_refusal(read).c_str());
    return 1;
  }
  CallPrinter printer;
  const kvt_view_calls calls{&printer, CallPrinter::set_dot, CallPrinter::reset_dot, CallPrinter::name};
  kvt_analyzer* analyzer = kvt_analyzer_new(image.data(), image.size(), &calls);
  if (analyzer == nullptr) {
    std::fprintf(stderr, "kvt: %s: Not FM data: Format Error!\n", path.c_str());
    return 1;
  }
  // Once every part has ended, nothing more can come.
  bool ended = false;
  while (!ended && printer.ticks < ticks && stop_signal() == 0) {
    ended = kvt_analyzer_tick(analyzer) != 0;
    ++printer.ticks;
  }
  kvt_analyzer_delete(analyzer);
  return 0;
}

int run_keys(std::vector<std::string> args) {
  const KeysRequest r = read_request(std::move(args));
  const auto file = find_input(r.file);
  if (!file) return 1;
  const frontend::SongData song = frontend::song_for(*file, r.config, r.midi);
  print_messages(song.messages);
  if (!song.ok) return 1;
  return follow(song.path, r.ticks);
}

}  // namespace

extern const Command kKeysCommand{
    "keys",
    "kvt keys SONG [--ticks N] [-c CONFIG.cfb] [--bank NAME|DIR] [MIDI OPTIONS]",
    "list the keys the visual player would show, without sound",
    "Follows SONG as the visual player does while it plays, without sound,\n"
    "and prints every call its keyboard view receives, one a line, in order:\n"
    "  T set R K          key K (0..95) of row R (0..16) goes down\n"
    "  T reset R K        and up\n"
    "  T name R HEX       row R's track name, its bytes in hexadecimal\n"
    "T is the number of ticks (2756.25 a second) completed before the call.\n"
    "SONG is anything kvt play takes but a WAVE file: song data, an MML source\n"
    "(compiled first into SONG.KVT beside it), a MIDI or RCP file (converted).\n"
    "  --ticks N          stop after N ticks (default: once every part has\n"
    "                     ended, at most 1653600 ticks, ten minutes)\n"
    "  -c, --config FILE  the voice configuration for MML and MIDI (default: the bank's)\n",
    false,
    true,
    run_keys,
    true,
};

}  // namespace kvt::cli
