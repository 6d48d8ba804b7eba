#include "bank_option.h"

#include "play_options.h"
#include "voice_banks.h"

namespace kvt::cli {

const char* const kBankOptionHelp =
    "  --bank NAME|DIR    the voice bank: a name 'kvt bank list' shows, or a folder with\n"
    "                     kvt.cfb and its voices (default: KVT_BANK, else the built-in one)\n";

bool read_bank_option(Arguments& args, const std::string& option, std::optional<std::string>& bank) {
  if (option != "--bank") return false;
  bank = args.value();
  return true;
}

void use_bank(const std::optional<std::string>& bank, playstruct* settings) {
  try {
    frontend::choose_bank(bank ? frontend::find_bank(*bank) : frontend::current_bank());
  } catch (const frontend::BankError& e) {
    throw UsageError(e.what());
  }
  if (settings != nullptr && settings->pcm_dir[0][0] == '\0') {
    const std::vector<std::string> dirs = frontend::voice_dirs_of(frontend::current_bank());
    set_voice_dirs(*settings, dirs[0], dirs[1]);
  }
}

}  // namespace kvt::cli
