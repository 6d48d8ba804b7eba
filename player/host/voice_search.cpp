#include "voice_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kvt::host {
namespace {

constexpr std::size_t kNameLimit = 8;
constexpr std::size_t kExtensionCut = 4;  // "." and three letters

// A trailing backslash is accepted too, as settings made elsewhere carry one.
bool is_separator(char c) { return c == '/' || c == '\\'; }

bool is_directory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_readable_file(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

std::vector<std::string> entry_names(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return names;
  while (const dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  }
  closedir(d);
  // A fixed order, so that the same setting always finds the same file.
  std::sort(names.begin(), names.end());
  return names;
}

// The directories a setting names, each with its trailing separator.
std::vector<std::string> matching_directories(std::string pattern) {
  if (pattern.size() > 1 && is_separator(pattern.back())) pattern.pop_back();
  if (pattern.empty()) return {};
  const std::size_t cut = pattern.rfind('/');
  const std::string parent = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  const std::string last = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  std::vector<std::string> dirs;
  if (last.find_first_of("*?") == std::string::npos) {
    if (is_directory(pattern)) dirs.push_back(pattern.back() == '/' ? pattern : pattern + "/");
    return dirs;
  }
  for (const std::string& name : entry_names(parent)) {
    if (fnmatch(last.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD | FNM_NOESCAPE) == 0 && is_directory(parent + name)) {
      dirs.push_back(parent + name + "/");
    }
  }
  return dirs;
}

// The file in `dir` whose name equals `file` apart from letter case; the
// exact spelling first.
std::string lookup_blind_to_case(const std::string& dir, const std::string& file) {
  if (is_readable_file(dir + file)) return dir + file;
  for (const std::string& name : entry_names(dir)) {
    if (strcasecmp(name.c_str(), file.c_str()) == 0 && is_readable_file(dir + name)) return dir + name;
  }
  return {};
}

}  // namespace

std::string voice_file_name(std::string_view voice_name) {
  if (voice_name.find('/') != std::string_view::npos) return {};  // would leave the voice directory
  if (voice_name.size() >= kExtensionCut && voice_name[voice_name.size() - kExtensionCut] == '.') {
    voice_name.remove_suffix(kExtensionCut);
  }
  if (voice_name.empty()) return {};
  return std::string(voice_name.substr(0, kNameLimit)) + ".kvw";
}

std::string find_voice_file(std::string_view voice_name, const char (&dirs)[kVoiceDirs][kDirSettingSize]) {
  const std::string file = voice_file_name(voice_name);
  if (file.empty()) return {};
  for (const auto& setting : dirs) {
    const std::string pattern(setting, strnlen(setting, kDirSettingSize));
    for (const std::string& dir : matching_directories(pattern)) {
      std::string path = lookup_blind_to_case(dir, file);
      if (!path.empty()) return path;
    }
  }
  return {};
}

}  // namespace kvt::host
