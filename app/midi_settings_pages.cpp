// The two dialogs about converting MIDI files: the numbers handed to the
// converter, and which configuration it maps programs through.
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialog_text.h"
#include "settings_pages.h"

namespace kvt::app {

namespace {

struct NumberRow {
  int id;
  const char* name;
  IntField field;
  std::int32_t low;
  std::int32_t high;
};

constexpr NumberRow kNumbers[] = {
    {510, QT_TRANSLATE_NOOP("Dialogs", "リバーブ"), &Settings::midi_reverb, 0, 255},
    {511, QT_TRANSLATE_NOOP("Dialogs", "コーラス"), &Settings::midi_chorus, 0, 255},
    {512, QT_TRANSLATE_NOOP("Dialogs", "コーラスの強さ"), &Settings::midi_chorus_depth, 1, 6},
    {513, QT_TRANSLATE_NOOP("Dialogs", "全音量"), &Settings::midi_volume, -15, 15},
    {514, QT_TRANSLATE_NOOP("Dialogs", "ドラム音量"), &Settings::midi_drum_volume, -15, 15},
};
constexpr RadioChoice kKeepChoices[] = {{220, QT_TRANSLATE_NOOP("Dialogs", "*.KVT を保存しない"), 0},
                                        {221, QT_TRANSLATE_NOOP("Dialogs", "*.KVT を保存する"), 1}};
constexpr RadioChoice kSoundSources[] = {
    {540, QT_TRANSLATE_NOOP("Dialogs", "DOVAの音源  (KVT.CFGを使用)  "), 0},
    {541, QT_TRANSLATE_NOOP("Dialogs", "Rolandの音源(KVTGS.CFGを使用)"), 1},
};

// The label names the range the number must lie in, as "name(low<=n<=high)".
QString number_label(const NumberRow& row) {
  return dialog_text(row.name) + QStringLiteral("(%1<=n<=%2)").arg(row.low).arg(row.high);
}

}  // namespace

SettingsPage midi_settings_page(SettingsForm& form) {
  auto* numbers = new QFormLayout;
  for (const NumberRow& row : kNumbers) {
    numbers->addRow(number_label(row), form.number_edit(row.id, row.field, row.low, row.high));
  }
  auto* body = new QVBoxLayout;
  body->addLayout(numbers);
  body->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "変換したデータ"), &Settings::keep_converted, kKeepChoices));
  return {QT_TRANSLATE_NOOP("Dialogs", "MIDIファイルからの変換時の設定"), body};
}

SettingsPage sound_source_page(SettingsForm& form) {
  auto* body = new QVBoxLayout;
  body->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "音源"), &Settings::cfg_select, kSoundSources));
  return {QT_TRANSLATE_NOOP("Dialogs", "MIDI音源メーカーの種類"), body};
}

}  // namespace kvt::app
