#include "assets.h"

#include <filesystem>
#include <system_error>

namespace kvt::cli {

std::string asset_dir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const std::filesystem::path beside = exe.parent_path().parent_path() / "share" / "kvt97";
    if (std::filesystem::is_directory(beside, ec)) return beside.string();
  }
  return KVT_INSTALLED_ASSETS;
}

std::string default_voice_dir() { return asset_dir() + "/Pcm97"; }

std::string default_config_file() { return asset_dir() + "/kvt.cfb"; }

}  // namespace kvt::cli
