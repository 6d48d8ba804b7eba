// kvt: compile, convert, render, play and inspect songs from
// the terminal. Exit status: 0 done, 1 failed (the reason is on stderr), 2 a
// bad command line.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bank_option.h"
#include "commands.h"
#include "kvt/kvtc.h"
#include "kvt/mid2kvt.h"
#include "kvt/player.h"
#include "midi_options.h"
#include "play_options.h"
#include "stop_signals.h"

namespace {

using kvt::cli::Command;

constexpr int kUsage = 2;
const Command* const kCommands[] = {&kvt::cli::kMmlCommand, &kvt::cli::kMid2kvtCommand, &kvt::cli::kRcp2midCommand,
                                    &kvt::cli::kWavCommand, &kvt::cli::kPlayCommand, &kvt::cli::kInfoCommand,
                                    &kvt::cli::kTitleCommand, &kvt::cli::kKeysCommand,
                                    &kvt::cli::kBankCommand};

void print_overview(std::FILE* to) {
  std::fprintf(to, "usage: kvt COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command* c : kCommands) std::fprintf(to, "  %-8s %s\n", c->name, c->summary);
  std::fprintf(to, "\n'kvt COMMAND --help' describes a command's options; 'kvt --version' tells the versions.\n");
}

// The command's version and that of each library it has loaded, which may
// have been installed apart from it.
void print_version() {
  std::printf("kvt %s\nlibraries: kvt %s, kvtc %s, mid2kvt %s\n", KVT_VERSION_TEXT, kvt_version(), kvtc_version(),
              mid2kvt_version());
}

void print_command_help(const Command& c) {
  std::printf("usage: %s\n\n%s", c.usage, c.help);
  if (c.midi_options) std::printf("%s", kvt::cli::kMidiOptionsHelp);
  if (c.play_options) std::printf("%s", kvt::cli::kPlayOptionsHelp);
  if (c.bank_option) std::printf("%s", kvt::cli::kBankOptionHelp);
}

}  // namespace

bool kvt::cli::wants_help(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

int main(int argc, char** argv) {
  kvt::cli::catch_stop_signals();
  if (argc < 2) {
    print_overview(stderr);
    return kUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    print_overview(stdout);
    return 0;
  }
  if (name == "--version" || name == "-V") {
    print_version();
    return 0;
  }
  for (const Command* c : kCommands) {
    if (name != c->name) continue;
    std::vector<std::string> args(argv + 2, argv + argc);
    if (kvt::cli::wants_help(args)) {
      print_command_help(*c);
      return 0;
    }
    try {
      // Work that cannot be cancelled (a conversion) runs to its end; a stop
      // signal that came meanwhile decides the exit status.
      return kvt::cli::exit_status(c->run(std::move(args)));
    } catch (const kvt::cli::UsageError& e) {
      std::fprintf(stderr, "kvt %s: %s\nusage: %s\n", c->name, e.what(), c->usage);
      return kUsage;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kvt %s: %s\n", c->name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "kvt: unknown command '%s'\n", name.c_str());
  print_overview(stderr);
  return kUsage;
}
