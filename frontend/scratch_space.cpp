#include "scratch_space.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kvt::frontend {
namespace {

namespace fs = std::filesystem;

// "kvt97-PID-XXXXXX": the owner's process id, then mkdtemp's six characters.
constexpr std::string_view kPrefix = "kvt97-";
constexpr std::size_t kUniqueLength = 6;

fs::path scratch_base() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && fs::path(runtime).is_absolute()) return runtime;
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  return ec ? fs::path("/tmp") : temp;
}

// The process id in a name of our making, or nothing.
std::optional<pid_t> owner_in_name(std::string_view name) {
  if (name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  name.remove_prefix(kPrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != kUniqueLength) return std::nullopt;
  pid_t pid = 0;
  const char* digits_end = name.data() + dash;
  const auto [end, error] = std::from_chars(name.data(), digits_end, pid);
  if (error != std::errc() || end != digits_end) return std::nullopt;
  return pid;
}

bool process_gone(pid_t pid) { return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH; }

// Only our own directories (not links), of this user, whose process has ended.
void remove_stale_scratch(const fs::path& base) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
    const auto owner = owner_in_name(entry.path().filename().native());
    struct stat st {};
    if (!owner || lstat(entry.path().c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode) && st.st_uid == getuid() && process_gone(*owner)) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
  }
}

}  // namespace

ScratchSpace::ScratchSpace() {
  const fs::path base = scratch_base();
  remove_stale_scratch(base);
  std::string pattern = (base / (std::string(kPrefix) + std::to_string(getpid()) + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;  // mode 0700
}

ScratchSpace::~ScratchSpace() {
  if (dir_.empty()) return;
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

}  // namespace kvt::frontend
