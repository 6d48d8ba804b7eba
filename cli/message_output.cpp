#include "message_output.h"

#include <cstdio>

#include "library_texts.h"

namespace kvt::cli {
namespace {

void add_message(MessageBlock& block, const frontend::Message& message, bool verbose) {
  const frontend::LibraryTexts& texts = frontend::texts_for_locale();
  switch (message.kind) {
    case frontend::MessageKind::report:
      if (verbose) block.out += texts.report(message.text);
      break;
    case frontend::MessageKind::failure_report: block.err += texts.report(message.text); break;
    case frontend::MessageKind::warning: block.err += "kvt: warning: " + message.text + "\n"; break;
    case frontend::MessageKind::error: block.err += "kvt: " + message.text + "\n"; break;
  }
}

}  // namespace

void print_message(const frontend::Message& message, bool verbose) {
  MessageBlock block;
  add_message(block, message, verbose);
  print_block(block);
}

void print_messages(const frontend::Messages& messages, bool verbose) {
  for (const frontend::Message& message : messages) print_message(message, verbose);
}

void add_messages(MessageBlock& block, const frontend::Messages& messages, bool verbose) {
  for (const frontend::Message& message : messages) add_message(block, message, verbose);
}

void print_source_error(const frontend::SourceError& error) {
  MessageBlock block;
  add_source_error(block, error);
  print_block(block);
}

void add_source_error(MessageBlock& block, const frontend::SourceError& error) {
  block.err += error.file + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) +
               ": error: " + frontend::texts_for_locale().report(error.text) + "\n";
}

void print_block(MessageBlock& block) {
  std::fputs(block.out.c_str(), stdout);
  std::fputs(block.err.c_str(), stderr);
  block = {};
}

}  // namespace kvt::cli
