#include "song_sources.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "assets.h"
#include "display_text.h"
#include "file_checks.h"
#include "kvt/kvtc.h"
#include "song_warnings.h"

namespace kvt::cli {
namespace {

constexpr std::size_t kReportSize = 1 << 16;  // room for the longest progress text

}  // namespace

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

std::optional<std::string> compile_mml(const std::string& source, const std::string& config, bool verbose) {
  // The compiler finds out only after compiling, and says just "file not found".
  const std::string song = compiled_song(source);
  if (!can_create(song)) return std::nullopt;
  const std::string cfb = config.empty() ? default_config_file() : config;
  std::vector<char> report(kReportSize, '\0');
  const int result = kvtc_compile(source.c_str(), cfb.c_str(), report.data(), report.size());
  std::string text = to_utf8(report.data());
  if (!text.empty() && text.back() != '\n') text += '\n';  // an error's mark ends the report
  if (result != 0) {
    std::fputs(text.c_str(), stderr);
    report_write_failure(song, kvtc_write_failure());
    return std::nullopt;
  }
  if (verbose) std::fputs(text.c_str(), stdout);
  warn_if_no_part(source, song);
  return song;
}

namespace {

// Prints a converter's messages: on stderr after a failure, with the
// system's reason when `out` could not be written; else on stdout when
// asked to.
bool report(int result, const std::vector<char>& messages, bool verbose, const std::string& out) {
  const std::string text = to_utf8(messages.data());
  if (result != 0) {
    std::fputs(text.c_str(), stderr);
    report_write_failure(out, mid2kvt_write_failure());
    return false;
  }
  if (verbose) std::fputs(text.c_str(), stdout);
  return true;
}

}  // namespace

bool convert_midi(const std::string& midi, const std::string& song, const std::string& config,
                  const mid2kvt_settings& settings, bool verbose) {
  const std::string cfb = config.empty() ? default_config_file() : config;
  std::vector<char> messages(kReportSize, '\0');
  const int result =
      mid2kvt_convert(midi.c_str(), cfb.c_str(), song.c_str(), &settings, nullptr, messages.data(), messages.size());
  return report(result, messages, verbose, song);
}

bool convert_rcp(const std::string& rcp, const std::string& midi, bool verbose) {
  std::vector<char> messages(kReportSize, '\0');
  const int result = rcp2mid_convert(rcp.c_str(), midi.c_str(), nullptr, messages.data(), messages.size());
  return report(result, messages, verbose, midi);
}

std::optional<SongData> song_for(const std::string& path, const std::string& config, const mid2kvt_settings& midi) {
  if (has_extension(path, ".mml")) {
    auto song = compile_mml(path, config, false);
    if (!song) return std::nullopt;
    return SongData{*song, nullptr};
  }
  const bool rcp = has_extension(path, ".rcp");
  if (rcp || has_extension(path, ".mid") || has_extension(path, ".midi")) {
    auto scratch = std::make_unique<ScratchSpace>();
    if (scratch->dir().empty()) {
      std::fprintf(stderr, "kvt: no private directory for the converted song\n");
      return std::nullopt;
    }
    std::string source = path;
    if (rcp) {
      source = scratch->dir() + "/kvt97.mid";
      if (!convert_rcp(path, source, false)) return std::nullopt;
    }
    const std::string song = scratch->dir() + "/kvt97.kvt";
    if (!convert_midi(source, song, config, midi, false)) return std::nullopt;
    warn_if_no_note(path, song);
    return SongData{song, std::move(scratch)};
  }
  warn_if_empty_song(path);
  return SongData{path, nullptr};
}

}  // namespace kvt::cli
