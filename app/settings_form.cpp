#include "settings_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "dialog_text.h"

namespace kvt::app {

namespace {

// How much of an edit's first line counts, as for a path in the record.
constexpr std::size_t kEditLimit = kSettingsPathSize - 1;

std::string first_line(const QLineEdit* edit) {
  const std::string text = edit->text().toUtf8().toStdString();
  return text.substr(0, text.find_first_of("\r\n"));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Read as C reads a decimal: white space, an optional sign, the digits
// that follow; no digits read as 0. Large numbers saturate, far outside
// every range the dialogs accept.
std::int64_t leading_integer(std::string_view text) {
  constexpr std::int64_t kSaturation = 1'000'000'000'000;
  std::size_t k = 0;
  while (k < text.size() && (text[k] == ' ' || (text[k] >= '\t' && text[k] <= '\r'))) ++k;
  const bool negative = k < text.size() && text[k] == '-';
  if (k < text.size() && (text[k] == '-' || text[k] == '+')) ++k;
  std::int64_t value = 0;
  for (; k < text.size() && is_digit(text[k]); ++k) value = std::min(value * 10 + (text[k] - '0'), kSaturation);
  return negative ? -value : value;
}

template <typename Widget>
Widget* with_id(Widget* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

}  // namespace

QGroupBox* SettingsForm::radios(const char* title, IntField field, std::span<const RadioChoice> choices) {
  auto* box = new QGroupBox(dialog_text(title));
  auto* layout = new QVBoxLayout(box);
  for (const RadioChoice& choice : choices) {
    auto* radio = with_id(new QRadioButton(dialog_text(choice.label), box), choice.id);
    radio->setChecked(ent_.*field == choice.value);
    QObject::connect(radio, &QRadioButton::toggled, radio, [this, field, value = choice.value](bool on) {
      if (on) ent_.*field = value;
    });
    layout->addWidget(radio);
  }
  layout->addStretch();  // the radios stay together when the box grows
  return box;
}

QCheckBox* SettingsForm::check_box(int id, const char* label, IntField field) {
  auto* box = with_id(new QCheckBox(dialog_text(label)), id);
  box->setChecked(ent_.*field == 1);
  QObject::connect(box, &QCheckBox::toggled, box, [this, field](bool on) { ent_.*field = on ? 1 : 0; });
  return box;
}

QLineEdit* SettingsForm::path_edit(int id, PathField field) {
  auto* edit = with_id(new QLineEdit(QString::fromUtf8(path_text(ent_.*field))), id);
  commits_.push_back([this, edit, field] { set_path_text(ent_.*field, first_line(edit)); });
  return edit;
}

QLineEdit* SettingsForm::number_edit(int id, IntField field, std::int32_t low, std::int32_t high) {
  auto* edit = with_id(new QLineEdit(QString::number(ent_.*field)), id);
  commits_.push_back([this, edit, field, low, high] {
    const std::string line = first_line(edit);
    const std::int64_t value = leading_integer(std::string_view(line).substr(0, kEditLimit));
    if (value >= low && value <= high) ent_.*field = static_cast<std::int32_t>(value);
  });
  return edit;
}

void SettingsForm::commit() const {
  for (const auto& store : commits_) store();
}

}  // namespace kvt::app
