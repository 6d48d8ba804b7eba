#include "message_output.h"

#include <cstdio>

#include "library_texts.h"

namespace kvt::cli {

void print_message(const frontend::Message& message, bool verbose) {
  const char* text = message.text.c_str();
  const frontend::LibraryTexts& texts = frontend::texts_for_locale();
  switch (message.kind) {
    case frontend::MessageKind::report:
      if (verbose) std::fputs(texts.report(message.text).c_str(), stdout);
      break;
    case frontend::MessageKind::failure_report: std::fputs(texts.report(message.text).c_str(), stderr); break;
    case frontend::MessageKind::warning: std::fprintf(stderr, "kvt: warning: %s\n", text); break;
    case frontend::MessageKind::error: std::fprintf(stderr, "kvt: %s\n", text); break;
  }
}

void print_messages(const frontend::Messages& messages, bool verbose) {
  for (const frontend::Message& message : messages) print_message(message, verbose);
}

void print_source_error(const frontend::SourceError& error) {
  std::fprintf(stderr, "%s:%d:%d: error: %s\n", error.file.c_str(), error.line, error.column,
               frontend::texts_for_locale().report(error.text).c_str());
}

}  // namespace kvt::cli
