// kvt title: the title of a song data, MIDI or RCP file.
#include <cstdio>

#include "arguments.h"
#include "commands.h"
#include "display_text.h"
#include "file_checks.h"
#include "kvt/mid2kvt.h"
#include "song_names.h"

namespace kvt::cli {
namespace {

int run_title(std::vector<std::string> list) {
  Arguments args(std::move(list));
  std::string file;
  while (!args.done()) {
    if (const auto option = args.next_option()) throw UsageError("unknown option " + *option);
    if (const auto operand = args.next_operand()) {
      if (!file.empty()) throw UsageError("one file at a time");
      file = *operand;
    }
  }
  if (file.empty()) throw UsageError("no file given");
  const auto found = find_input(file);
  if (!found) return 1;
  file = *found;
  char title[256];
  char log[1024] = "";
  int result;
  if (frontend::has_extension(file, ".mid") || frontend::has_extension(file, ".midi")) {
    result = gettitle_mid(file.c_str(), title, sizeof title, log, sizeof log);
  } else if (frontend::has_extension(file, ".rcp")) {
    result = gettitle_rcp(file.c_str(), title, sizeof title, log, sizeof log);
  } else {
    result = gettitle_fm(file.c_str(), title, sizeof title, log, sizeof log);
  }
  if (log[0] != '\0') std::fputs(frontend::to_utf8(log).c_str(), stderr);
  if (result != 0) {
    std::printf("no title\n");
    return 1;
  }
  std::printf("%s\n", frontend::to_utf8(title).c_str());
  return 0;
}

}  // namespace

extern const Command kTitleCommand{
    "title",
    "kvt title FILE",
    "show the title of a song data, MIDI or RCP file",
    "Prints the title of FILE (chosen by its extension: .mid, .rcp, else song\n"
    "data) converted to UTF-8, or \"no title\" with exit status 1.\n",
    false,
    false,
    run_title,
};

}  // namespace kvt::cli
