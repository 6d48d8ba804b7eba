// --bank NAME|DIR, taken by every command that reads voices or a voice
// configuration: the bank's voices and configuration become the command's
// defaults, which --voices and -c still override.
#pragma once

#include <optional>
#include <string>

#include "arguments.h"
#include "kvt/player.h"

namespace kvt::cli {

// Reads `option` into `bank`; false when it is not --bank.
bool read_bank_option(Arguments& args, const std::string& option, std::optional<std::string>& bank);

// After the command line is read: makes the bank asked for (else the one
// KVT_BANK names, else the built-in one) the command's, and gives
// `settings`, when given, its voice directories unless --voices gave them.
// Throws UsageError naming the bank that cannot be found.
void use_bank(const std::optional<std::string>& bank, playstruct* settings = nullptr);

// The help text's line for --bank.
extern const char* const kBankOptionHelp;

}  // namespace kvt::cli
