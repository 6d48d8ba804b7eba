// How the command shows what the front-end core says: errors and warnings on
// stderr after the command's name, a library's report as it wrote it (in
// English from the catalogue unless the locale is Japanese).
#pragma once

#include <string>

#include "messages.h"

namespace kvt::cli {

// Messages gathered rather than printed, to be printed as one block: a job
// among several keeps its lines together.
struct MessageBlock {
  std::string out;  // for stdout
  std::string err;  // for stderr
};

// A report of work that went well is printed on stdout when `verbose`, a
// report of work that failed always on stderr.
void print_message(const frontend::Message& message, bool verbose = false);
void print_messages(const frontend::Messages& messages, bool verbose = false);
void add_messages(MessageBlock& block, const frontend::Messages& messages, bool verbose = false);

// The error as editors read it, "FILE:LINE:COLUMN: error: TEXT", on stderr.
void print_source_error(const frontend::SourceError& error);
void add_source_error(MessageBlock& block, const frontend::SourceError& error);

// Prints the block and empties it.
void print_block(MessageBlock& block);

}  // namespace kvt::cli
