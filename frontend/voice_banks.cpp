#include "voice_banks.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "asset_paths.h"

namespace kvt::frontend {
namespace {

namespace fs = std::filesystem;

constexpr const char* kConfigName = "kvt.cfb";

// The configuration in `dir`, whatever the letter case of its name.
std::optional<fs::path> config_in(const fs::path& dir) {
  std::error_code error;
  if (fs::is_regular_file(dir / kConfigName, error)) return dir / kConfigName;
  for (fs::directory_iterator entry(dir, error); !error && entry != fs::directory_iterator(); entry.increment(error)) {
    if (strcasecmp(entry->path().filename().c_str(), kConfigName) == 0 && entry->is_regular_file(error)) {
      return entry->path();
    }
  }
  return std::nullopt;
}

// The user's banks: $XDG_DATA_HOME/kvt97/banks, else ~/.local/share/kvt97/banks.
std::optional<fs::path> user_banks() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
    return fs::path(data) / "kvt97" / "banks";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return fs::path(home) / ".local" / "share" / "kvt97" / "banks";
  }
  return std::nullopt;
}

// The banks in `folder`, by name.
std::map<std::string, std::string> banks_in(const fs::path& folder) {
  std::map<std::string, std::string> banks;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
       entry.increment(error)) {
    if (config_in(entry->path())) banks.emplace(entry->path().filename().string(), entry->path().string());
  }
  return banks;
}

std::optional<VoiceBank>& chosen() {
  static std::optional<VoiceBank> bank;
  return bank;
}

}  // namespace

std::vector<VoiceBank> installed_banks() {
  std::vector<VoiceBank> banks = {{kBuiltInBank, asset_dir()}};
  const auto add = [&banks](const std::map<std::string, std::string>& found) {
    for (const auto& bank : found) {
      const std::string& name = bank.first;
      const bool hidden = std::any_of(banks.begin(), banks.end(), [&](const VoiceBank& b) { return b.name == name; });
      if (!hidden) banks.push_back({name, bank.second});
    }
  };
  add(banks_in(fs::path(asset_dir()) / "banks"));
  if (const auto user = user_banks()) add(banks_in(*user));
  return banks;
}

VoiceBank find_bank(const std::string& name_or_dir) {
  std::error_code error;
  if (name_or_dir.find('/') != std::string::npos || fs::is_directory(name_or_dir, error)) {
    if (!fs::is_directory(name_or_dir, error)) throw BankError(name_or_dir + ": no such folder");
    if (!config_in(name_or_dir)) throw BankError(name_or_dir + ": no voice bank (it holds no kvt.cfb)");
    return {name_or_dir, name_or_dir};
  }
  for (const VoiceBank& bank : installed_banks()) {
    if (bank.name == name_or_dir) return bank;
  }
  throw BankError("no voice bank named " + name_or_dir + " ('kvt bank list' shows them)");
}

void choose_bank(const VoiceBank& bank) { chosen() = bank; }

VoiceBank current_bank() {
  if (chosen()) return *chosen();
  if (const char* named = std::getenv("KVT_BANK"); named != nullptr && named[0] != '\0') {
    try {
      return find_bank(named);
    } catch (const BankError& e) {
      throw BankError(std::string("KVT_BANK: ") + e.what());
    }
  }
  return {kBuiltInBank, asset_dir()};
}

std::vector<std::string> voice_dirs_of(const VoiceBank& bank) { return {bank.dir + "/Pcm97", bank.dir}; }

std::string config_of(const VoiceBank& bank) {
  const auto config = config_in(bank.dir);
  return config ? config->string() : (fs::path(bank.dir) / kConfigName).string();
}

}  // namespace kvt::frontend
