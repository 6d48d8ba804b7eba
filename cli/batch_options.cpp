#include "batch_options.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <thread>

#include "file_reasons.h"
#include "message_output.h"
#include "song_names.h"

namespace kvt::cli {
namespace {

constexpr int kMostJobs = 64;

}  // namespace

bool read_batch_option(Arguments& args, const std::string& option, BatchOptions& batch) {
  if (option == "-j" || option == "--jobs") {
    batch.jobs = args.number(1, kMostJobs);
  } else if (option == "--out-dir") {
    batch.out_dir = args.value();
    if (batch.out_dir.empty()) throw UsageError("--out-dir needs a directory");
  } else {
    return false;
  }
  return true;
}

int job_count(const BatchOptions& batch) {
  if (batch.jobs > 0) return batch.jobs;
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMostJobs);
}

std::string default_output(const std::string& input, const char* extension, const std::string& dir) {
  const std::string beside = frontend::with_extension(input, extension);
  if (dir.empty()) return beside;
  return (std::filesystem::path(dir) / std::filesystem::path(beside).filename()).string();
}

bool is_output_dir(const std::string& dir) {
  struct stat st {};
  const int error = stat(dir.c_str(), &st) != 0 ? errno : (S_ISDIR(st.st_mode) ? 0 : ENOTDIR);
  if (error != 0) print_message(frontend::cannot("write into", dir, frontend::reason_for_error(error)));
  return error == 0;
}

bool check_outputs(const BatchOptions& batch, std::size_t inputs, const std::string& out) {
  if (inputs > 1 && !out.empty()) throw UsageError("-o names the output of one song; use --out-dir");
  if (!out.empty() && !batch.out_dir.empty()) throw UsageError("-o and --out-dir exclude each other");
  return batch.out_dir.empty() || is_output_dir(batch.out_dir);
}

}  // namespace kvt::cli
