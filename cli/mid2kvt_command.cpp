// kvt mid2kvt: convert a Standard MIDI File into song data.
#include <cstdio>

#include "arguments.h"
#include "commands.h"
#include "file_checks.h"
#include "message_output.h"
#include "midi_options.h"
#include "song_conversions.h"
#include "song_names.h"
#include "song_warnings.h"

namespace kvt::cli {
namespace {

int run_mid2kvt(std::vector<std::string> list) {
  Arguments args(std::move(list));
  mid2kvt_settings settings = default_midi_settings();
  std::string source, out, config;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-o" || *option == "--output") {
        out = args.value();
      } else if (*option == "-c" || *option == "--config") {
        config = args.value();
      } else if (!read_midi_option(args, *option, settings)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      if (!source.empty()) throw UsageError("one file at a time");
      source = *operand;
    }
  }
  if (source.empty()) throw UsageError("no MIDI file given");
  const auto found = find_input(source);
  if (!found) return 1;
  if (out.empty()) out = frontend::with_extension(*found, ".kvt");
  if (!is_distinct_output(out, {*found, config})) return kOutputIsInput;
  if (!can_create(out)) return 1;
  const frontend::Outcome converted = frontend::convert_midi(*found, out, config, settings);
  print_messages(converted.messages, true);
  if (!converted.ok) return 1;
  std::printf("%s\n", out.c_str());
  if (const auto warning = frontend::no_note_warning(*found, out)) print_message(*warning);
  return 0;
}

}  // namespace

extern const Command kMid2kvtCommand{
    "mid2kvt",
    "kvt mid2kvt IN.mid [-o OUT.kvt] [-c CONFIG.cfb] [MIDI OPTIONS]",
    "convert a Standard MIDI File into a song data file",
    "Converts IN.mid (format 0 or 1) into song data and prints the converter's\n"
    "messages. A failed conversion leaves an existing OUT.kvt as it was.\n"
    "  -o, --output FILE  the song data file (default: IN with .kvt)\n"
    "  -c, --config FILE  the voice configuration (default: the bank's kvt.cfb)\n",
    false,
    true,
    run_mid2kvt,
};

}  // namespace kvt::cli
