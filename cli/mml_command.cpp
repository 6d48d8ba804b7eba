// kvt mml: compile an MML source into song data.
#include <cstdio>

#include "arguments.h"
#include "commands.h"
#include "file_checks.h"
#include "message_output.h"
#include "song_conversions.h"
#include "song_names.h"

namespace kvt::cli {
namespace {

int run_mml(std::vector<std::string> list) {
  Arguments args(std::move(list));
  std::string source, config;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option != "-c" && *option != "--config") throw UsageError("unknown option " + *option);
      config = args.value();
    } else if (const auto operand = args.next_operand()) {
      if (!source.empty()) throw UsageError("one source at a time");
      source = *operand;
    }
  }
  if (source.empty()) throw UsageError("no source given");
  const auto found = find_input(source);
  if (!found) return 1;
  const frontend::Outcome compiled = frontend::compile_mml(*found, config);
  // Above the report, whose mark lines show the same place.
  if (compiled.source_error) print_source_error(*compiled.source_error);
  print_messages(compiled.messages, true);
  if (!compiled.ok) return 1;
  std::printf("%s\n", frontend::compiled_song(*found).c_str());
  return 0;
}

}  // namespace

extern const Command kMmlCommand{
    "mml",
    "kvt mml SONG.mml [-c CONFIG.cfb]",
    "compile an MML source into a song data file",
    "Compiles SONG.mml into SONG.KVT beside it (an existing file of that name in\n"
    "another letter case is replaced) and prints the compiler's report.\n"
    "  -c, --config FILE  the voice configuration (default: the bank's kvt.cfb)\n",
    false,
    false,
    run_mml,
};

}  // namespace kvt::cli
