// Message boxes for tests: each box is recorded, and Yes/No questions get
// the answers queued beforehand (No when none is left).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "user_prompts.h"

namespace kvt::test {

struct RecordedBox {
  std::string text;
  std::string caption;
  app::BoxIcon icon = app::BoxIcon::none;
  bool question = false;
};

class RecordedPrompts : public app::UserPrompts {
 public:
  void inform(const std::string& text, const std::string& caption, app::BoxIcon icon) override {
    boxes.push_back({text, caption, icon, false});
  }
  bool ask_yes_no(const std::string& text, const std::string& caption) override {
    boxes.push_back({text, caption, app::BoxIcon::none, true});
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }

  std::vector<RecordedBox> boxes;
  std::deque<bool> answers;  // true for Yes
};

}  // namespace kvt::test
