#include "asset_paths.h"

#include <filesystem>
#include <system_error>

namespace kvt::frontend {

std::string asset_dir_for(const std::string& program) {
  std::error_code ec;
  const std::filesystem::path beside = std::filesystem::path(program).parent_path().parent_path() / "share" / "kvt97";
  if (std::filesystem::is_directory(beside, ec)) return beside.string();
  return KVT_INSTALLED_ASSETS;
}

std::string asset_dir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(KVT_INSTALLED_ASSETS) : asset_dir_for(exe.string());
}

}  // namespace kvt::frontend
