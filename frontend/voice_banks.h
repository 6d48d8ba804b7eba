// Voice banks: a folder with a voice configuration "kvt.cfb" and its voice
// files, beside it or in its "Pcm97" folder. The built-in bank is the
// asset folder itself; banks made from SoundFonts are installed under
// "banks" in it or in the user's data folder. The commands use the bank
// chosen on their command line, else the one KVT_BANK names, else the
// built-in one.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kvt::frontend {

inline constexpr const char* kBuiltInBank = "default";

struct VoiceBank {
  std::string name;  // as `kvt bank list` shows it and --bank takes it
  std::string dir;
};

// Why a bank could not be used, naming it.
struct BankError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The built-in bank first, then the installed ones, then the user's, each
// group by name; a name met again hides the later bank.
std::vector<VoiceBank> installed_banks();

// The bank that `name_or_dir` names: a folder (given with a slash, or
// existing), else an installed bank's name. Throws BankError.
VoiceBank find_bank(const std::string& name_or_dir);

// Makes `bank` the process's bank, which the defaults below then give.
void choose_bank(const VoiceBank& bank);
// The chosen bank, else KVT_BANK's, else the built-in one; throws
// BankError when KVT_BANK names none.
VoiceBank current_bank();

// A bank's voice directories, in the order searched, and its configuration.
std::vector<std::string> voice_dirs_of(const VoiceBank& bank);  // DIR/Pcm97, DIR
std::string config_of(const VoiceBank& bank);

}  // namespace kvt::frontend
