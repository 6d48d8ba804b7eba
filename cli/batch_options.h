// The options that make a command work on several files at once:
// -j N (how many at a time) and --out-dir DIR (where outputs go).
#pragma once

#include <cstddef>
#include <string>

#include "arguments.h"

namespace kvt::cli {

struct BatchOptions {
  int jobs = 0;         // 0: as many as the processor has cores
  std::string out_dir;  // empty: each output beside its input
};

// Reads `option` into `batch`; false when it is neither of them.
bool read_batch_option(Arguments& args, const std::string& option, BatchOptions& batch);

// How many jobs run at once: the number asked for, else one a core.
int job_count(const BatchOptions& batch);

// The output of `input` with `extension` in place of its own, in `dir`
// when one is given, else beside the input.
std::string default_output(const std::string& input, const char* extension, const std::string& dir);

// Whether `dir` is a directory, said on stderr when it is not.
bool is_output_dir(const std::string& dir);

// Refuses -o (`out`, empty when not given) with several inputs or with
// --out-dir. False, said on stderr, when --out-dir names no directory.
bool check_outputs(const BatchOptions& batch, std::size_t inputs, const std::string& out);

}  // namespace kvt::cli
