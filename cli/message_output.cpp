#include "message_output.h"

#include <cstdio>

namespace kvt::cli {

void print_message(const frontend::Message& message, bool verbose) {
  const char* text = message.text.c_str();
  switch (message.kind) {
    case frontend::MessageKind::report:
      if (verbose) std::fputs(text, stdout);
      break;
    case frontend::MessageKind::failure_report: std::fputs(text, stderr); break;
    case frontend::MessageKind::warning: std::fprintf(stderr, "kvt: warning: %s\n", text); break;
    case frontend::MessageKind::error: std::fprintf(stderr, "kvt: %s\n", text); break;
  }
}

void print_messages(const frontend::Messages& messages, bool verbose) {
  for (const frontend::Message& message : messages) print_message(message, verbose);
}

}  // namespace kvt::cli
