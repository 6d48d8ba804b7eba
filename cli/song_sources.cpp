#include "song_sources.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "assets.h"
#include "display_text.h"
#include "kvt/kvtc.h"

namespace kvt::cli {
namespace {

constexpr std::size_t kReportSize = 1 << 16;  // room for the longest progress text

}  // namespace

bool has_extension(const std::string& path, const char* extension) {
  const std::size_t n = std::strlen(extension);
  return path.size() > n && strcasecmp(path.c_str() + path.size() - n, extension) == 0;
}

std::optional<std::string> compile_mml(const std::string& source, const std::string& config, bool verbose) {
  const std::string cfb = config.empty() ? default_config_file() : config;
  std::vector<char> report(kReportSize, '\0');
  const int result = kvtc_compile(source.c_str(), cfb.c_str(), report.data(), report.size());
  std::string text = to_utf8(report.data());
  if (!text.empty() && text.back() != '\n') text += '\n';  // an error's mark ends the report
  if (result != 0) {
    std::fputs(text.c_str(), stderr);
    return std::nullopt;
  }
  if (verbose) std::fputs(text.c_str(), stdout);
  char song[4096];
  if (kvtc_song_path(source.c_str(), song, sizeof song) != 0) return std::nullopt;
  return std::string(song);
}

std::optional<std::string> song_for(const std::string& path, const std::string& config) {
  if (has_extension(path, ".mml")) return compile_mml(path, config, false);
  return path;
}

}  // namespace kvt::cli
