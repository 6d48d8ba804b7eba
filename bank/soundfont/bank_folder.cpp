#include "bank_folder.h"

#include <unistd.h>

#include <fstream>
#include <string>

#include "config_file.h"
#include "voice_file.h"

namespace kvt::soundfont {
namespace {

namespace fs = std::filesystem;

constexpr const char* kConfigName = "kvt.cfb";

std::uintmax_t write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw BankFolderError("cannot write " + path.filename().string());
  return bytes.size();
}

// A name beside `dir` that nothing has.
fs::path beside(const fs::path& dir, const char* what) {
  for (int i = 0;; ++i) {
    fs::path p = dir;
    p += "." + std::string(what) + "-" + std::to_string(::getpid()) + "-" + std::to_string(i);
    if (!fs::exists(fs::symlink_status(p))) return p;
  }
}

void check_replaceable(const fs::path& dir) {
  const fs::file_status status = fs::symlink_status(dir);
  if (!fs::exists(status)) return;
  if (!fs::is_directory(status)) throw BankFolderError("not a folder");
  if (!fs::is_empty(dir) && !fs::exists(dir / kConfigName))
    throw BankFolderError("a folder that is not a voice bank; not replacing it");
}

}  // namespace

std::uintmax_t write_bank_folder(const fs::path& given, const ImportedBank& bank) {
  const fs::path dir = fs::absolute(given).lexically_normal();
  const fs::path target = dir.has_filename() ? dir : dir.parent_path();
  check_replaceable(target);
  fs::create_directories(target.parent_path());
  const fs::path temp = beside(target, "part");
  fs::create_directory(temp);
  try {
    std::uintmax_t size = 0;
    for (const bank::VoiceFile& v : bank.voices)
      size += write_file(temp / (v.name + ".kvw"), bank::voice_file_bytes(v));
    size += write_file(temp / kConfigName, bank::config_file_bytes(bank.config));
    if (fs::exists(fs::symlink_status(target))) {
      const fs::path old = beside(target, "old");
      fs::rename(target, old);
      fs::rename(temp, target);
      fs::remove_all(old);
    } else {
      fs::rename(temp, target);
    }
    return size;
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    throw;
  }
}

}  // namespace kvt::soundfont
