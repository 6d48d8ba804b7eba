// What the front-end core has to say about a piece of work, returned rather
// than printed: the command prints the messages on its terminal, a desktop
// front end shows them in windows of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kvt::frontend {

enum class MessageKind {
  report,          // a library's account of work that went well, lines as it wrote them
  failure_report,  // a library's account of work that failed; its last lines say why
  warning,         // one line: the work is done, but the song likely is not what was meant
  error,           // one line: why the work could not be done, naming the file
};

struct Message {
  MessageKind kind;
  std::string text;  // UTF-8

  friend bool operator==(const Message&, const Message&) = default;
};

using Messages = std::vector<Message>;

// An error that a library marked at a place in a source file, for editors
// to jump to.
struct SourceError {
  std::string file;
  int line = 0;    // from 1
  int column = 0;  // from 1, in characters (a tab is one)
  std::string text;  // UTF-8, the library's own words

  friend bool operator==(const SourceError&, const SourceError&) = default;
};

struct Outcome {
  bool ok = false;
  Messages messages;  // in the order they arose
  std::optional<SourceError> source_error = {};  // where the failure report marks its error
};

}  // namespace kvt::frontend
