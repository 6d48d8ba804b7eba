#include "song_conversions.h"

#include <vector>

#include "display_text.h"
#include "file_reasons.h"
#include "kvt/kvtc.h"
#include "song_names.h"
#include "song_warnings.h"
#include "source_error.h"
#include "voice_banks.h"

namespace kvt::frontend {
namespace {

constexpr std::size_t kReportSize = 1 << 16;  // room for the longest progress text

std::string config_or_default(const std::string& config) {
  return config.empty() ? config_of(current_bank()) : config;
}

// A library's `result` with its report and, when `out` could not be
// written, the system's reason (`write_error`, an errno value).
Outcome outcome_of(int result, std::string report, const std::string& out, int write_error) {
  Outcome outcome{result == 0, {}};
  const MessageKind kind = outcome.ok ? MessageKind::report : MessageKind::failure_report;
  if (!report.empty()) outcome.messages.push_back({kind, std::move(report)});
  if (!outcome.ok) {
    if (auto failure = write_failure(out, write_error)) outcome.messages.push_back(std::move(*failure));
  }
  return outcome;
}

}  // namespace

Outcome compile_mml(const std::string& source, const std::string& config) {
  // The compiler finds out only after compiling, and says just "file not found".
  const std::string song = compiled_song(source);
  if (auto refusal = creation_refusal(song)) return {false, {std::move(*refusal)}};
  std::vector<char> report(kReportSize, '\0');
  kvtc_error_place place{};
  const int result =
      kvtc_compile_placed(source.c_str(), config_or_default(config).c_str(), report.data(), report.size(), &place);
  std::string text = to_utf8(report.data());
  if (!text.empty() && text.back() != '\n') text += '\n';  // an error's mark ends the report
  Outcome outcome = outcome_of(result, std::move(text), song, kvtc_write_failure());
  if (result != 0) outcome.source_error = source_error_of(source, place);
  if (outcome.ok) {
    if (auto warning = no_part_warning(source, song)) outcome.messages.push_back(std::move(*warning));
  }
  return outcome;
}

Outcome convert_midi(const std::string& midi, const std::string& song, const std::string& config,
                     const mid2kvt_settings& settings) {
  std::vector<char> report(kReportSize, '\0');
  const int result = mid2kvt_convert(midi.c_str(), config_or_default(config).c_str(), song.c_str(), &settings, nullptr,
                                     report.data(), report.size());
  return outcome_of(result, to_utf8(report.data()), song, mid2kvt_write_failure());
}

Outcome convert_rcp(const std::string& rcp, const std::string& midi) {
  std::vector<char> report(kReportSize, '\0');
  const int result = rcp2mid_convert(rcp.c_str(), midi.c_str(), nullptr, report.data(), report.size());
  return outcome_of(result, to_utf8(report.data()), midi, mid2kvt_write_failure());
}

}  // namespace kvt::frontend
