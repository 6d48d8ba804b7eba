#include "settings_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

namespace kvt::app {
namespace {

using Kind = SettingsDialogKind;

template <typename Widget>
Widget& control(const QWidget& dialog, int id) {
  auto* widget = dialog.findChild<Widget*>(QString::number(id));
  if (widget == nullptr) throw std::runtime_error("no control " + std::to_string(id));
  return *widget;
}

// Near the left edge: a radio or check box takes clicks on its mark and
// text only, not on the rest of its row.
void click(const QWidget& dialog, int id) {
  auto& button = control<QAbstractButton>(dialog, id);
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(4, button.height() / 2));
}

std::string button_text(const QWidget& dialog, int id) {
  return control<QAbstractButton>(dialog, id).text().toStdString();
}

std::string edit_text(const QWidget& dialog, int id) { return control<QLineEdit>(dialog, id).text().toStdString(); }

void type_into(const QWidget& dialog, int id, const QString& text) {
  auto& edit = control<QLineEdit>(dialog, id);
  edit.clear();
  QTest::keyClicks(&edit, text);
}

std::vector<std::uint8_t> image_of(const Settings& settings) {
  const auto bytes = to_bytes(settings);
  return {bytes.begin(), bytes.end()};
}

// Runs edit_settings, doing `act` in the modal dialog once it shows.
bool edit_with(Kind kind, Settings& en, const std::function<void(QWidget&)>& act) {
  QTimer::singleShot(0, [&act] { act(*QApplication::activeModalWidget()); });
  return edit_settings(kind, en, nullptr);
}

struct Caption {
  Kind kind;
  const char* text;
};

constexpr Caption kCaptions[] = {
    {Kind::play, "演奏状態の設定"},
    {Kind::voice_dirs, "音色波形データのディレクトリ"},
    {Kind::midi, "MIDIファイルからの変換時の設定"},
    {Kind::wav, "WAVEファイルへの変換時の設定"},
    {Kind::sound_source, "MIDI音源メーカーの種類"},
};

TEST(SettingsDialogs, CaptionsAndClosingButtons) {
  for (const Caption& caption : kCaptions) {
    const SettingsDialog dialog(caption.kind, Settings{});
    EXPECT_EQ(dialog.windowTitle().toStdString(), caption.text);
    EXPECT_EQ(button_text(dialog, 1), "設定終了");
    EXPECT_EQ(button_text(dialog, 2), "キャンセル");
  }
}

struct RadioRow {
  Kind kind;
  int id;
  const char* text;
  std::int32_t Settings::*field;
  std::int32_t value;
};

const RadioRow kRadios[] = {
    {Kind::play, 200, "44.10KHz", &Settings::play_rate, 0},
    {Kind::play, 201, "33.08KHz", &Settings::play_rate, 1},
    {Kind::play, 202, "22.05KHz", &Settings::play_rate, 2},
    {Kind::play, 203, "16.54KHz", &Settings::play_rate, 3},
    {Kind::play, 204, "11.03KHz", &Settings::play_rate, 4},
    {Kind::play, 230, "なし", &Settings::play_effect, 0},
    {Kind::play, 231, "リバーブのみ", &Settings::play_effect, 1},
    {Kind::play, 232, "リバーブ・コーラス", &Settings::play_effect, 2},
    {Kind::play, 210, "ステレオ", &Settings::play_pan, 0},
    {Kind::play, 211, "モノラル", &Settings::play_pan, 1},
    {Kind::play, 240, "速い", &Settings::play_fade, 0},
    {Kind::play, 241, "普通", &Settings::play_fade, 1},
    {Kind::play, 242, "遅い", &Settings::play_fade, 2},
    {Kind::play, 205, "１回", &Settings::play_loop, 1},
    {Kind::play, 206, "２回", &Settings::play_loop, 2},
    {Kind::play, 530, "なし", &Settings::program_mode, 0},
    {Kind::play, 531, "１つの曲を繰り返し演奏", &Settings::program_mode, 1},
    {Kind::play, 532, "連続演奏", &Settings::program_mode, 2},
    {Kind::play, 533, "ランダム演奏", &Settings::program_mode, 3},
    {Kind::midi, 220, "*.KVT を保存しない", &Settings::keep_converted, 0},
    {Kind::midi, 221, "*.KVT を保存する", &Settings::keep_converted, 1},
    {Kind::wav, 200, "44.10KHz", &Settings::wav_rate, 0},
    {Kind::wav, 201, "33.08KHz", &Settings::wav_rate, 1},
    {Kind::wav, 202, "22.05KHz", &Settings::wav_rate, 2},
    {Kind::wav, 204, "11.03KHz", &Settings::wav_rate, 4},
    {Kind::wav, 260, "8", &Settings::wav_bits, 8},
    {Kind::wav, 261, "16", &Settings::wav_bits, 16},
    {Kind::wav, 230, "なし", &Settings::wav_effect, 0},
    {Kind::wav, 231, "リバーブのみ", &Settings::wav_effect, 1},
    {Kind::wav, 232, "リバーブ・コーラス", &Settings::wav_effect, 2},
    {Kind::wav, 210, "ステレオ", &Settings::wav_pan, 0},
    {Kind::wav, 211, "モノラル", &Settings::wav_pan, 1},
    {Kind::wav, 240, "速い", &Settings::wav_fade, 0},
    {Kind::wav, 241, "普通", &Settings::wav_fade, 1},
    {Kind::wav, 242, "遅い", &Settings::wav_fade, 2},
    {Kind::wav, 251, "１回", &Settings::wav_loop, 1},
    {Kind::wav, 252, "２回", &Settings::wav_loop, 2},
    {Kind::sound_source, 540, "DOVAの音源  (KVT.CFGを使用)  ", &Settings::cfg_select, 0},
    {Kind::sound_source, 541, "Rolandの音源(KVTGS.CFGを使用)", &Settings::cfg_select, 1},
};

TEST(SettingsDialogRadios, ShowTheWorkingValueOnOpening) {
  for (const RadioRow& row : kRadios) {
    Settings en;
    en.*row.field = row.value;
    const SettingsDialog dialog(row.kind, en);
    EXPECT_EQ(button_text(dialog, row.id), row.text);
    EXPECT_TRUE(control<QAbstractButton>(dialog, row.id).isChecked()) << row.id;
  }
}

TEST(SettingsDialogRadios, ClickChangesOnlyItsFieldAtOnce) {
  for (const RadioRow& row : kRadios) {
    Settings en;
    en.*row.field = -99;  // no radio's value: none checked
    SettingsDialog dialog(row.kind, en);
    dialog.show();
    auto& radio = control<QAbstractButton>(dialog, row.id);
    EXPECT_FALSE(radio.isChecked()) << row.id;
    click(dialog, row.id);
    Settings expected = en;
    expected.*row.field = row.value;
    EXPECT_TRUE(radio.isChecked()) << row.id;
    EXPECT_EQ(image_of(dialog.working_copy()), image_of(expected)) << row.id;
  }
}

TEST(SettingsDialogRadios, RateWithoutRadioChecksNone) {
  Settings en;
  en.wav_rate = 3;
  const SettingsDialog wav(Kind::wav, en);
  EXPECT_EQ(wav.findChild<QWidget*>(QStringLiteral("203")), nullptr);
  for (const int id : {200, 201, 202, 204}) EXPECT_FALSE(control<QAbstractButton>(wav, id).isChecked()) << id;
}

TEST(SettingsDialogPlay, ScreenSaverBoxToggles) {
  Settings en;
  SettingsDialog dialog(Kind::play, en);
  dialog.show();
  auto& box = control<QAbstractButton>(dialog, 535);
  EXPECT_EQ(button_text(dialog, 535), "スクリーンセーバーを起動しない．");
  EXPECT_FALSE(box.isChecked());
  click(dialog, 535);
  EXPECT_EQ(dialog.working_copy().no_screensaver, 1);
  click(dialog, 535);
  EXPECT_EQ(dialog.working_copy().no_screensaver, 0);
  en.no_screensaver = 1;
  EXPECT_TRUE(control<QAbstractButton>(SettingsDialog(Kind::play, en), 535).isChecked());
}

TEST(SettingsDialogPlay, FinishCopiesBackAndCancelLoses) {
  Settings en;
  const auto before = image_of(en);
  EXPECT_FALSE(edit_with(Kind::play, en, [](QWidget& dialog) {
    click(dialog, 201);
    click(dialog, 2);
  }));
  EXPECT_EQ(image_of(en), before);
  EXPECT_TRUE(edit_with(Kind::play, en, [](QWidget& dialog) {
    click(dialog, 201);
    click(dialog, 533);
    click(dialog, 1);
  }));
  EXPECT_EQ(en.play_rate, 1);
  EXPECT_EQ(en.program_mode, 3);
}

TEST(SettingsDialogVoiceDirs, EditsStoreTheirFirstLineOnFinish) {
  Settings en;
  set_path_text(en.pcm_dir1, "/voices/Pcm97");
  set_path_text(en.pcm_dir2, "/voices/Pcm95");
  SettingsDialog dialog(Kind::voice_dirs, en);
  dialog.show();
  EXPECT_EQ(edit_text(dialog, 270), "/voices/Pcm97");
  EXPECT_EQ(edit_text(dialog, 271), "/voices/Pcm95");
  type_into(dialog, 270, QStringLiteral("/mine/pcm*"));
  control<QLineEdit>(dialog, 271).setText(QStringLiteral("/second\n/ignored"));
  EXPECT_EQ(path_text(dialog.working_copy().pcm_dir1), "/voices/Pcm97");
  click(dialog, 1);
  EXPECT_EQ(path_text(dialog.working_copy().pcm_dir1), "/mine/pcm*");
  EXPECT_EQ(path_text(dialog.working_copy().pcm_dir2), "/second");
}

TEST(SettingsDialogVoiceDirs, LongEntriesAreCutBetweenCharacters) {
  Settings en;
  EXPECT_TRUE(edit_with(Kind::voice_dirs, en, [](QWidget& dialog) {
    control<QLineEdit>(dialog, 270).setText(QString(254, u'a') + QStringLiteral("あい"));
    control<QLineEdit>(dialog, 271).setText(QString(300, u'b'));
    click(dialog, 1);
  }));
  EXPECT_EQ(path_text(en.pcm_dir1), std::string(254, 'a'));
  EXPECT_EQ(path_text(en.pcm_dir2), std::string(255, 'b'));
}

TEST(SettingsDialogVoiceDirs, HelpNamesTheVoiceFilesAndExamples) {
  const SettingsDialog dialog(Kind::voice_dirs, Settings{});
  QStringList texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  const QString all = texts.join(u'\n');
  EXPECT_TRUE(all.contains(QStringLiteral("*.KVW"))) << all.toStdString();
  EXPECT_TRUE(all.contains(QStringLiteral("「c:\\kvt97\\pcm*」「c:\\kvt97\\*」"))) << all.toStdString();
}

Settings midi_settings() {
  Settings en;
  en.midi_reverb = 90;
  en.midi_chorus = 100;
  en.midi_chorus_depth = 2;
  en.midi_volume = 4;
  en.midi_drum_volume = 5;
  return en;
}

TEST(SettingsDialogMidi, ShowsNumbersUnderTheirRanges) {
  const SettingsDialog dialog(Kind::midi, midi_settings());
  const std::pair<int, const char*> shown[] = {{510, "90"}, {511, "100"}, {512, "2"}, {513, "4"}, {514, "5"}};
  for (const auto& [id, text] : shown) EXPECT_EQ(edit_text(dialog, id), text);
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {"リバーブ(0<=n<=255)", "コーラス(0<=n<=255)", "コーラスの強さ(1<=n<=6)",
                           "全音量(-15<=n<=15)", "ドラム音量(-15<=n<=15)"}) {
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
  }
}

struct Typed {
  int id;
  std::string text;
  std::int32_t Settings::*field;
  std::int32_t stored;
};

TEST(SettingsDialogMidi, NumbersInRangeAreStoredOthersIgnored) {
  const Typed typed[] = {
      {510, "300", &Settings::midi_reverb, 90},
      {510, "-1", &Settings::midi_reverb, 90},
      {510, "255", &Settings::midi_reverb, 255},
      {511, "  +7xyz", &Settings::midi_chorus, 7},
      {511, std::string(254, ' ') + "12", &Settings::midi_chorus, 1},  // the first 255 characters
      {512, "7", &Settings::midi_chorus_depth, 2},
      {512, "abc", &Settings::midi_chorus_depth, 2},
      {512, "6", &Settings::midi_chorus_depth, 6},
      {513, "-15", &Settings::midi_volume, -15},
      {513, "16", &Settings::midi_volume, 4},
      {513, "99999999999999999999", &Settings::midi_volume, 4},
      {514, "abc", &Settings::midi_drum_volume, 0},
      {514, "-3\n9", &Settings::midi_drum_volume, -3},
  };
  for (const Typed& row : typed) {
    Settings en = midi_settings();
    SettingsDialog dialog(Kind::midi, en);
    dialog.show();
    control<QLineEdit>(dialog, row.id).setText(QString::fromStdString(row.text));
    EXPECT_EQ(image_of(dialog.working_copy()), image_of(en)) << row.text;
    click(dialog, 1);
    en.*row.field = row.stored;
    EXPECT_EQ(image_of(dialog.working_copy()), image_of(en)) << row.text;
  }
}

TEST(SettingsDialogMidi, TypingThreeHundredKeepsTheReverb) {
  Settings en = midi_settings();
  EXPECT_TRUE(edit_with(Kind::midi, en, [](QWidget& dialog) {
    type_into(dialog, 510, QStringLiteral("300"));
    type_into(dialog, 514, QStringLiteral("-15"));
    click(dialog, 221);
    click(dialog, 1);
  }));
  EXPECT_EQ(en.midi_reverb, 90);
  EXPECT_EQ(en.midi_drum_volume, -15);
  EXPECT_EQ(en.keep_converted, 1);
}

}  // namespace
}  // namespace kvt::app
