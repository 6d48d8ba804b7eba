// `kvt bank`: a bank imported from a small SoundFont, then notes rendered
// through it and their pitch measured; the command's errors.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"
#include "sf2_builder.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

constexpr double kRate = 44100;
constexpr std::size_t kWavHeader = 44;  // as kvt wav writes it

// The frequency from the rising zero crossings between two times, each
// placed between its samples.
double frequency(const std::vector<std::int16_t>& s, double from, double to) {
  std::vector<double> crossings;
  for (auto i = static_cast<std::size_t>(from * kRate);
       i + 1 < static_cast<std::size_t>(to * kRate) && i + 1 < s.size(); ++i) {
    if (s[i] < 0 && s[i + 1] >= 0) crossings.push_back(i + double(-s[i]) / (s[i + 1] - s[i]));
  }
  if (crossings.size() < 2) return 0;
  return (crossings.size() - 1) * kRate / (crossings.back() - crossings.front());
}

double rms(const std::vector<std::int16_t>& s, double from, double to) {
  double sum = 0;
  std::size_t n = 0;
  for (auto i = static_cast<std::size_t>(from * kRate); i < static_cast<std::size_t>(to * kRate) && i < s.size();
       ++i, ++n)
    sum += double(s[i]) * s[i];
  return n ? std::sqrt(sum / n) : 0;
}

double cents(double measured, double expected) { return 1200 * std::log2(measured / expected); }

class BankCommandTest : public ::testing::Test {
 protected:
  BankCommandTest() { soundfont_ = dir_.write("test.sf2", test_soundfont()); }

  CommandRun import(const std::string& bank, std::vector<std::string> more = {}) {
    std::vector<std::string> args{"bank", "import", soundfont_, bank};
    args.insert(args.end(), more.begin(), more.end());
    return run_kvt(args);
  }

  // A held note of `beats` half-second beats on program 0, rendered through the bank.
  std::vector<std::int16_t> render(const std::string& bank, int key, int beats = 2) {
    const std::string mid =
        dir_.write("note" + std::to_string(key) + ".mid",
                   smf_file(0, 96, {smf_track({program(0, 1, 0), note_on(0, 1, key), note_off(96 * beats, 1, key)})}));
    const std::string wav = dir_ / ("note" + std::to_string(key) + ".wav");
    const CommandRun r = run_kvt({"wav", mid, "-c", bank + "/kvt.cfb", "--voices", bank, "-o", wav, "--mono",
                                  "--effect", "0", "--reverb", "0", "--chorus", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    return samples_of(read_file(wav), kWavHeader);
  }

  ScratchDir dir_;
  std::string soundfont_;
};

TEST_F(BankCommandTest, ImportReportsTheBank) {
  const std::string bank = dir_ / "bank";
  const CommandRun r = import(bank);
  ASSERT_EQ(r.status, 0) << r.err;
  std::uintmax_t size = 0;
  for (const auto& e : std::filesystem::directory_iterator(bank)) size += e.file_size();
  const std::string head = bank + "\nvoices: 4\nprograms: 2\ndrum keys: 2\nsize: " + std::to_string(size) + " bytes";
  EXPECT_EQ(r.out.substr(0, head.size()), head);
  EXPECT_NE(r.out.find("\ntime: "), std::string::npos);
  EXPECT_EQ(r.err, "");
  for (const char* name : {"kvt.cfb", "s0001.kvw", "s0002.kvw", "s0003.kvw", "s0004.kvw"})
    EXPECT_TRUE(std::filesystem::exists(bank + "/" + name)) << name;
}

TEST_F(BankCommandTest, NotesPlayAtTheSoundFontsPitch) {
  const std::string bank = dir_ / "bank";
  ASSERT_EQ(import(bank).status, 0);
  const double high = kHighSine * std::pow(2.0, 7 / 1200.0);
  const struct {
    int key;
    double hz;
  } notes[] = {{59, kLowSine * std::pow(2.0, -1 / 12.0)},
               {48, kLowSine / 2},
               {72, high},
               {60, high / 2},
               {64, high * std::pow(2.0, -8 / 12.0)}};
  for (const auto& n : notes) {
    SCOPED_TRACE("key " + std::to_string(n.key));
    const std::vector<std::int16_t> s = render(bank, n.key);
    const double measured = frequency(s, 0.3, 0.9);
    EXPECT_LT(std::abs(cents(measured, n.hz)), 1.0) << measured << " Hz";
  }
}

TEST_F(BankCommandTest, HeldNoteKeepsSoundingThroughTheLoop) {
  const std::string bank = dir_ / "bank";
  ASSERT_EQ(import(bank).status, 0);
  // The sample lasts 0.14 s; the note is held for 2 s at the sustain level.
  const std::vector<std::int16_t> s = render(bank, 59, 4);
  const double early = rms(s, 0.4, 0.6), late = rms(s, 1.7, 1.9);
  EXPECT_GT(early, 50);
  EXPECT_NEAR(late / early, 1.0, 0.05);
  EXPECT_LT(std::abs(cents(frequency(s, 1.0, 1.9), kLowSine * std::pow(2.0, -1 / 12.0))), 1.0);
}

TEST_F(BankCommandTest, BadSoundFontsAndFoldersFailWithTheReason) {
  const std::string bank = dir_ / "bank";
  const std::string bad = dir_.write("bad.sf2", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  CommandRun r = run_kvt({"bank", "import", bad, bank});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kvt: " + bad + ": not a SoundFont 2 file\n");
  r = run_kvt({"bank", "import", dir_ / "missing.sf2", bank});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kvt: " + (dir_ / "missing.sf2") + ": cannot open it\n");
  EXPECT_FALSE(std::filesystem::exists(bank));

  const std::string papers = dir_.write_text("papers/letter.txt", "keep");
  r = import(dir_ / "papers");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kvt: " + (dir_ / "papers") + ": a folder that is not a voice bank; not replacing it\n");
  EXPECT_EQ(read_file(papers), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(BankCommandTest, BadCommandLinesExitTwo) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"bank"},
                                               {"bank", "remove"},
                                               {"bank", "import", soundfont_},
                                               {"bank", "import", soundfont_, "b", "--rate-class", "11"},
                                               {"bank", "import", soundfont_, "b", "--programs", "x"},
                                               {"bank", "import", soundfont_, "b", "--loud"},
                                               {"bank", "list", "extra"}}) {
    const CommandRun r = run_kvt(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err.find("usage: kvt bank"), std::string::npos) << r.err;
  }
}

TEST_F(BankCommandTest, ListShowsTheBuiltInBank) {
  const CommandRun r = run_kvt({"bank", "list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 8), "default\t");
}

}  // namespace
}  // namespace kvt::test
