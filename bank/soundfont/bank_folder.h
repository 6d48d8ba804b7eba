// Writes a bank into its folder whole: into a new folder beside it first,
// which then takes the place of the old bank, so that a failure leaves
// what was there as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "soundfont_import.h"

namespace kvt::soundfont {

struct BankFolderError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The bank's size in bytes. `dir` may be missing, empty or an earlier bank
// (one with a kvt.cfb); any other folder is refused with BankFolderError.
// The errors' texts leave the folder to the caller to name.
std::uintmax_t write_bank_folder(const std::filesystem::path& dir, const ImportedBank& bank);

}  // namespace kvt::soundfont
