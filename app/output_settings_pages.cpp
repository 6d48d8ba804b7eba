// Playing and WAVE output share their choices of sound; WAVE output has no
// 16.54 kHz rate and adds the sample bits, playing adds the play program.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>

#include "dialog_text.h"
#include "settings_pages.h"

namespace kvt::app {

namespace {

constexpr RadioChoice kPlayRates[] = {
    {200, "44.10KHz", 0}, {201, "33.08KHz", 1}, {202, "22.05KHz", 2}, {203, "16.54KHz", 3}, {204, "11.03KHz", 4},
};
constexpr RadioChoice kWavRates[] = {
    {200, "44.10KHz", 0}, {201, "33.08KHz", 1}, {202, "22.05KHz", 2}, {204, "11.03KHz", 4}};
constexpr RadioChoice kEffects[] = {{230, QT_TRANSLATE_NOOP("Dialogs", "なし"), 0},
                                    {231, QT_TRANSLATE_NOOP("Dialogs", "リバーブのみ"), 1},
                                    {232, QT_TRANSLATE_NOOP("Dialogs", "リバーブ・コーラス"), 2}};
constexpr RadioChoice kPans[] = {{210, QT_TRANSLATE_NOOP("Dialogs", "ステレオ"), 0},
                                 {211, QT_TRANSLATE_NOOP("Dialogs", "モノラル"), 1}};
constexpr RadioChoice kFades[] = {{240, QT_TRANSLATE_NOOP("Dialogs", "速い"), 0},
                                  {241, QT_TRANSLATE_NOOP("Dialogs", "普通"), 1},
                                  {242, QT_TRANSLATE_NOOP("Dialogs", "遅い"), 2}};
constexpr RadioChoice kPlayLoops[] = {{205, QT_TRANSLATE_NOOP("Dialogs", "１回"), 1},
                                      {206, QT_TRANSLATE_NOOP("Dialogs", "２回"), 2}};
constexpr RadioChoice kWavLoops[] = {{251, QT_TRANSLATE_NOOP("Dialogs", "１回"), 1},
                                     {252, QT_TRANSLATE_NOOP("Dialogs", "２回"), 2}};
constexpr RadioChoice kBits[] = {{260, "8", 8}, {261, "16", 16}};
constexpr RadioChoice kPrograms[] = {{530, QT_TRANSLATE_NOOP("Dialogs", "なし"), 0},
                                     {531, QT_TRANSLATE_NOOP("Dialogs", "１つの曲を繰り返し演奏"), 1},
                                     {532, QT_TRANSLATE_NOOP("Dialogs", "連続演奏"), 2},
                                     {533, QT_TRANSLATE_NOOP("Dialogs", "ランダム演奏"), 3}};

struct SoundFields {
  IntField rate, effect, pan, fade, loop;
  std::span<const RadioChoice> rates, loops;
};

// Rate | effect, pan | fade, loop | (free for the caller) in a grid.
QGridLayout* sound_groups(SettingsForm& form, const SoundFields& fields) {
  auto* grid = new QGridLayout;
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "出力周波数"), fields.rate, fields.rates), 0, 0);
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "エフェクト"), fields.effect, kEffects), 0, 1);
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "チャンネル"), fields.pan, kPans), 1, 0);
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "フェードアウト"), fields.fade, kFades), 1, 1);
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "ループ回数"), fields.loop, fields.loops), 2, 0);
  return grid;
}

}  // namespace

SettingsPage play_settings_page(SettingsForm& form) {
  QGridLayout* grid = sound_groups(form, {&Settings::play_rate, &Settings::play_effect, &Settings::play_pan,
                                          &Settings::play_fade, &Settings::play_loop, kPlayRates, kPlayLoops});
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "演奏プログラム"), &Settings::program_mode, kPrograms), 2,
                  1);
  grid->addWidget(
      form.check_box(535, QT_TRANSLATE_NOOP("Dialogs", "スクリーンセーバーを起動しない．"), &Settings::no_screensaver),
      3, 0, 1, 2);
  return {QT_TRANSLATE_NOOP("Dialogs", "演奏状態の設定"), grid};
}

SettingsPage wav_settings_page(SettingsForm& form) {
  QGridLayout* grid = sound_groups(form, {&Settings::wav_rate, &Settings::wav_effect, &Settings::wav_pan,
                                          &Settings::wav_fade, &Settings::wav_loop, kWavRates, kWavLoops});
  grid->addWidget(form.radios(QT_TRANSLATE_NOOP("Dialogs", "ビット数"), &Settings::wav_bits, kBits), 2, 1);
  return {QT_TRANSLATE_NOOP("Dialogs", "WAVEファイルへの変換時の設定"), grid};
}

}  // namespace kvt::app
