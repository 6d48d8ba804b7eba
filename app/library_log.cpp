#include "library_log.h"

#include "app_state.h"

namespace kvt::app {

void append_log(std::string& text, const frontend::Messages& messages) {
  for (const frontend::Message& message : messages) {
    text += message.text;
    if (!message.text.empty() && message.text.back() != '\n') text += '\n';
  }
  if (text.size() >= kTextSize) text.resize(kTextSize - 1);
}

}  // namespace kvt::app
