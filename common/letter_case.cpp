#include "letter_case.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace kvt {

std::string resolve_case(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) return path;
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return path;
  std::vector<std::string> matches;
  while (const dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) matches.emplace_back(e->d_name);
  }
  closedir(d);
  if (matches.empty()) return path;
  std::sort(matches.begin(), matches.end());  // the same choice every time
  return (slash == std::string::npos ? std::string() : dir) + matches.front();
}

}  // namespace kvt
