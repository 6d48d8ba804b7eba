// The message boxes of the program, as Qt shows them.
#pragma once

#include "user_prompts.h"

class QWidget;

namespace kvt::app {

class QtPrompts : public UserPrompts {
 public:
  explicit QtPrompts(QWidget* owner) : owner_(owner) {}
  void set_owner(QWidget* owner) { owner_ = owner; }
  void inform(const std::string& text, const std::string& caption, BoxIcon icon) override;
  bool ask_yes_no(const std::string& text, const std::string& caption) override;

 private:
  QWidget* owner_;
};

}  // namespace kvt::app
