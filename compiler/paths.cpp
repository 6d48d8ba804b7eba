#include "paths.h"

namespace kvt::compiler {

std::string opt(const std::string& path, const std::string& extension) {
  const std::size_t dot = path.rfind('.');
  return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string song_path(const std::string& mmlfile) { return resolve_case(opt(mmlfile, ".KVT")); }

}  // namespace kvt::compiler
