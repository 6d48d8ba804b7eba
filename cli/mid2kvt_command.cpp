// kvt mid2kvt: convert Standard MIDI Files into song data.
#include <cstdio>

#include "arguments.h"
#include "batch_options.h"
#include "batch_runner.h"
#include "bank_option.h"
#include "commands.h"
#include "file_checks.h"
#include "message_output.h"
#include "midi_options.h"
#include "song_conversions.h"
#include "song_warnings.h"

namespace kvt::cli {
namespace {

struct Mid2kvtRequest {
  mid2kvt_settings settings;
  std::string config;
  std::string out_dir;  // where default output names go; empty: beside each file
};

struct Conversion {
  int status;       // the command's exit status for this file
  std::string out;  // the song written, or that would have been
  MessageBlock messages;
};

// Converts `given` into `out` (empty: its default name).
Conversion convert_one(const Mid2kvtRequest& request, const std::string& given, std::string out) {
  const auto found = find_input(given);
  if (!found) return {1, given, {}};
  if (out.empty()) out = default_output(*found, ".kvt", request.out_dir);
  if (!is_distinct_output(out, {*found, request.config})) return {kOutputIsInput, out, {}};
  if (!can_create(out)) return {1, out, {}};
  const frontend::Outcome converted = frontend::convert_midi(*found, out, request.config, request.settings);
  Conversion conversion{converted.ok ? 0 : 1, out, {}};
  add_messages(conversion.messages, converted.messages, true);
  if (converted.ok) {
    if (const auto warning = frontend::no_note_warning(*found, out)) add_messages(conversion.messages, {*warning});
  }
  return conversion;
}

int convert_single(const Mid2kvtRequest& request, const std::string& source, const std::string& out) {
  const Conversion conversion = convert_one(request, source, out);
  // The song's name comes after the converter's report, before any warning about the song.
  std::fputs(conversion.messages.out.c_str(), stdout);
  if (conversion.status == 0) std::printf("%s\n", conversion.out.c_str());
  std::fputs(conversion.messages.err.c_str(), stderr);
  return conversion.status;
}

int convert_all(const Mid2kvtRequest& request, const std::vector<std::string>& sources, int jobs) {
  return run_batch(sources, jobs, [&request](const std::string& source, JobView&) {
    Conversion conversion = convert_one(request, source, {});
    return JobOutcome{conversion.status == 0, conversion.out, std::move(conversion.messages)};
  });
}

int run_mid2kvt(std::vector<std::string> list) {
  Arguments args(std::move(list));
  Mid2kvtRequest request{default_midi_settings(), {}, {}};
  BatchOptions batch;
  std::optional<std::string> bank;
  std::vector<std::string> sources;
  std::string out;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-o" || *option == "--output") {
        out = args.value();
      } else if (*option == "-c" || *option == "--config") {
        request.config = args.value();
      } else if (!read_midi_option(args, *option, request.settings) && !read_batch_option(args, *option, batch) &&
                 !read_bank_option(args, *option, bank)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      sources.push_back(*operand);
    }
  }
  if (sources.empty()) throw UsageError("no MIDI file given");
  use_bank(bank);
  if (!check_outputs(batch, sources.size(), out)) return 1;
  request.out_dir = batch.out_dir;
  if (sources.size() == 1) return convert_single(request, sources.front(), out);
  return convert_all(request, sources, job_count(batch));
}

}  // namespace

extern const Command kMid2kvtCommand{
    "mid2kvt",
    "kvt mid2kvt IN.mid... [-o OUT.kvt] [-j N] [--out-dir DIR] [-c CONFIG.cfb] [--bank NAME|DIR] [MIDI OPTIONS]",
    "convert a Standard MIDI File into a song data file",
    "Converts IN.mid (format 0 or 1) into song data and prints the converter's\n"
    "messages. A failed conversion leaves an existing OUT.kvt as it was.\n"
    "Several files are converted each into its own song, N at a time: a line\n"
    "tells each one done, a failing one is skipped, and the exit status is 1\n"
    "when any failed.\n"
    "  -o, --output FILE  (one file only) the song data file (default: IN with .kvt)\n"
    "  -c, --config FILE  the voice configuration (default: the bank's kvt.cfb)\n"
    "  -j, --jobs N       with several files, how many are converted at once\n"
    "                     (default: one a processor core)\n"
    "  --out-dir DIR      put each song, under its default name, in DIR (which\n"
    "                     must exist) rather than beside its file\n",
    false,
    true,
    run_mid2kvt,
    true,
};

}  // namespace kvt::cli
