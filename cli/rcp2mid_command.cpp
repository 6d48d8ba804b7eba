// kvt rcp2mid: convert an RCP sequencer file into a Standard MIDI File.
#include <cstdio>

#include "arguments.h"
#include "commands.h"
#include "file_checks.h"
#include "message_output.h"
#include "song_conversions.h"
#include "song_names.h"

namespace kvt::cli {
namespace {

int run_rcp2mid(std::vector<std::string> list) {
  Arguments args(std::move(list));
  std::string source, out;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option != "-o" && *option != "--output") throw UsageError("unknown option " + *option);
      out = args.value();
    } else if (const auto operand = args.next_operand()) {
      if (!source.empty()) throw UsageError("one file at a time");
      source = *operand;
    }
  }
  if (source.empty()) throw UsageError("no RCP file given");
  const auto found = find_input(source);
  if (!found) return 1;
  if (out.empty()) out = frontend::with_extension(*found, ".mid");
  if (!is_distinct_output(out, {*found})) return kOutputIsInput;
  if (!can_create(out)) return 1;
  const frontend::Outcome converted = frontend::convert_rcp(*found, out);
  print_messages(converted.messages, true);
  if (!converted.ok) return 1;
  std::printf("%s\n", out.c_str());
  return 0;
}

}  // namespace

extern const Command kRcp2midCommand{
    "rcp2mid",
    "kvt rcp2mid IN.rcp [-o OUT.mid]",
    "convert an RCP sequencer file into a Standard MIDI File",
    "Converts IN.rcp into a format 1 MIDI file and prints the converter's\n"
    "messages. A failed conversion leaves an existing OUT.mid as it was.\n"
    "  -o, --output FILE  the MIDI file (default: IN with .mid)\n",
    false,
    false,
    run_rcp2mid,
};

}  // namespace kvt::cli
