// The subcommands of `kvt`. Each takes the arguments after its name and
// returns the exit status; a UsageError escapes to main.
#pragma once

#include <string>
#include <vector>

namespace kvt::cli {

struct Command {
  const char* name;
  const char* usage;    // one line
  const char* summary;  // one line for `kvt --help`
  const char* help;     // the options, for `kvt NAME --help`
  bool play_options;    // also takes the shared output options
  bool midi_options;    // also takes the MIDI conversion options
  int (*run)(std::vector<std::string> args);
  bool bank_option = false;  // takes --bank
};

extern const Command kWavCommand;
extern const Command kPlayCommand;
extern const Command kInfoCommand;
extern const Command kMmlCommand;
extern const Command kMid2kvtCommand;
extern const Command kRcp2midCommand;
extern const Command kTitleCommand;
extern const Command kKeysCommand;
extern const Command kBankCommand;

// True when the arguments ask for the command's help.
bool wants_help(const std::vector<std::string>& args);

}  // namespace kvt::cli
