#include "song_names.h"

#include <strings.h>

#include <cstring>
#include <filesystem>

#include "kvt/kvtc.h"

namespace kvt::frontend {

bool has_extension(const std::string& path, const char* extension) {
  const std::size_t n = std::strlen(extension);
  return path.size() > n && strcasecmp(path.c_str() + path.size() - n, extension) == 0;
}

std::string with_extension(const std::string& path, const char* extension) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  const bool has_one = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (has_one ? path.substr(0, dot) : path) + extension;
}

std::string compiled_song(const std::string& source) {
  // The source's name with ".KVT" for its extension always fits.
  std::string song(source.size() + 8, '\0');
  kvtc_song_path(source.c_str(), song.data(), song.size());
  song.resize(std::strlen(song.c_str()));
  return song;
}

std::string compiled_song(const std::string& source, const std::string& dir) {
  if (dir.empty()) return compiled_song(source);
  return compiled_song((std::filesystem::path(dir) / std::filesystem::path(source).filename()).string());
}

}  // namespace kvt::frontend
