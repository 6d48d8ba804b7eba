// kvt mml: compile MML sources into song data.
#include <cstdio>

#include "arguments.h"
#include "batch_options.h"
#include "batch_runner.h"
#include "bank_option.h"
#include "commands.h"
#include "compile_into.h"
#include "file_checks.h"
#include "message_output.h"
#include "song_conversions.h"
#include "song_names.h"

namespace kvt::cli {
namespace {

struct MmlRequest {
  std::string config;
  std::string out_dir;  // empty: each song beside its source
};

struct Compilation {
  bool ok;
  std::string song;  // what was written, or would have been
  MessageBlock messages;
};

Compilation compile_one(const MmlRequest& request, const std::string& given) {
  const auto found = find_input(given);
  if (!found) return {false, given, {}};
  const frontend::Outcome compiled = request.out_dir.empty()
                                         ? frontend::compile_mml(*found, request.config)
                                         : frontend::compile_mml_into(*found, request.config, request.out_dir);
  Compilation compilation{compiled.ok, frontend::compiled_song(*found, request.out_dir), {}};
  // Above the report, whose mark lines show the same place.
  if (compiled.source_error) add_source_error(compilation.messages, *compiled.source_error);
  add_messages(compilation.messages, compiled.messages, true);
  return compilation;
}

int compile_single(const MmlRequest& request, const std::string& source) {
  Compilation compilation = compile_one(request, source);
  print_block(compilation.messages);
  if (!compilation.ok) return 1;
  std::printf("%s\n", compilation.song.c_str());
  return 0;
}

int compile_all(const MmlRequest& request, const std::vector<std::string>& sources, int jobs) {
  return run_batch(sources, jobs, [&request](const std::string& source, JobView&) {
    Compilation compilation = compile_one(request, source);
    return JobOutcome{compilation.ok, compilation.song, std::move(compilation.messages)};
  });
}

int run_mml(std::vector<std::string> list) {
  Arguments args(std::move(list));
  MmlRequest request;
  BatchOptions batch;
  std::optional<std::string> bank;
  std::vector<std::string> sources;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-c" || *option == "--config") {
        request.config = args.value();
      } else if (!read_batch_option(args, *option, batch) && !read_bank_option(args, *option, bank)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      sources.push_back(*operand);
    }
  }
  if (sources.empty()) throw UsageError("no source given");
  use_bank(bank);
  if (!check_outputs(batch, sources.size(), {})) return 1;
  request.out_dir = batch.out_dir;
  if (sources.size() == 1) return compile_single(request, sources.front());
  return compile_all(request, sources, job_count(batch));
}

}  // namespace

extern const Command kMmlCommand{
    "mml",
    "kvt mml SONG.mml... [-j N] [--out-dir DIR] [-c CONFIG.cfb] [--bank NAME|DIR]",
    "compile an MML source into a song data file",
    "Compiles SONG.mml into SONG.KVT beside it (an existing file of that name in\n"
    "another letter case is replaced) and prints the compiler's report. Several\n"
    "sources are compiled each into its own song, N at a time: a line tells\n"
    "each one done, a failing one is skipped, and the exit status is 1 when\n"
    "any failed.\n"
    "  -c, --config FILE  the voice configuration (default: the bank's kvt.cfb)\n"
    "  -j, --jobs N       with several sources, how many are compiled at once\n"
    "                     (default: one a processor core)\n"
    "  --out-dir DIR      put each song, under its usual name, in DIR (which must\n"
    "                     exist) rather than beside its source; a song beside the\n"
    "                     source stays as it was\n",
    false,
    false,
    run_mml,
    true,
};

}  // namespace kvt::cli
