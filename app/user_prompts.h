// The message boxes the program shows, behind an interface so that the
// logic that asks can be driven without a screen. Texts are UTF-8; the
// program's own are Japanese, marked for the catalogue in the "Messages"
// scope, and shown translated.
#pragma once

#include <QtGlobal>
#include <string>

namespace kvt::app {

// The caption of the program's confirmation boxes.
inline const std::string kConfirmCaption = QT_TRANSLATE_NOOP("Messages", "確認メッセージ");

enum class BoxIcon { none, exclamation, error, information };

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // A box with an OK button.
  virtual void inform(const std::string& text, const std::string& caption, BoxIcon icon) = 0;
  // A Yes/No box; true for Yes.
  virtual bool ask_yes_no(const std::string& text, const std::string& caption) = 0;
};

}  // namespace kvt::app
