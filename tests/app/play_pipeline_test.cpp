// Play anything with the real libraries: each branch of the pipeline, on
// SDL's silent dummy audio driver.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>

#include "app_state.h"
#include "host_fixture.h"
#include "kvt/player.h"
#include "play_pipeline.h"
#include "program_paths.h"
#include "recorded_prompts.h"
#include "settings_record.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

using app::PipelineBranch;
using app::PlayFlag;

TEST(PipelineBranches, LastThreeLettersChoose) {
  const std::vector<std::pair<std::string, PipelineBranch>> cases = {
      {"a.mml", PipelineBranch::mml},   {"a.MML", PipelineBranch::mml},   {"a.Mml", PipelineBranch::none},
      {"a.kvt", PipelineBranch::song},  {"a.KvT", PipelineBranch::song},  {"a.mid", PipelineBranch::midi},
      {"a.MID", PipelineBranch::midi},  {"a.Mid", PipelineBranch::none},  {"a.wav", PipelineBranch::wave},
      {"a.WAV", PipelineBranch::wave},  {"a.rcp", PipelineBranch::rcp},   {"a.RCP", PipelineBranch::rcp},
      {"a.txt", PipelineBranch::none},  {"kv", PipelineBranch::none},     {"songkvt", PipelineBranch::song}};
  for (const auto& [path, branch] : cases) EXPECT_EQ(app::branch_for(path), branch) << path;
  EXPECT_EQ(app::last_three_replaced("/a/tune.mid", "doc"), "/a/tune.doc");
}

class PlayPipelineTest : public testing::Test {
 protected:
  PlayPipelineTest()
      : paths(app::program_paths_in(KVT_ASSET_DIR, home / "config")),
        en(app::fresh_settings(paths)),
        context{en, state, prompts, paths.cfgfile[0], home / "scratch", {}, [this] { ++repaints; }} {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::create_directories(home / "scratch");
  }
  ~PlayPipelineTest() override {
    _waveout_stop();
    kvt_wave_stop();
  }
  std::string sample(const std::string& name, const std::string& as) const {
    const std::string to = home / as;
    std::filesystem::copy_file(std::string(KVT_ASSET_DIR) + "/Sample/" + name, to);
    return to;
  }
  void play(const std::string& path) {
    state.chosen = path;
    app::nandemo(context);
  }

  ScratchDir home;
  app::ProgramPaths paths;
  app::Settings en;
  app::AppState state;
  RecordedPrompts prompts;
  app::PipelineContext context;
  int repaints = 0;
};

TEST_F(PlayPipelineTest, AnMmlSourceCompilesBesideItselfAndPlays) {
  play(sample("ode_to_joy.mml", "Song.MML"));
  EXPECT_EQ(state.play_flag, PlayFlag::song);
  EXPECT_TRUE(std::filesystem::is_regular_file(home / "Song.KVT"));
  EXPECT_EQ(state.kept_song, home / "Song.KVT");
  EXPECT_EQ(state.status, "Using : " + paths.cfgfile[0]);
  EXPECT_GE(repaints, 2);  // the log, then the song
  EXPECT_NE(state.title.find("Title : "), std::string::npos);

  _waveout_stop();
  play(sample("ode_to_joy.mml", "Other.Mml"));  // mixed case: no branch
  EXPECT_EQ(state.play_flag, PlayFlag::idle);
  EXPECT_FALSE(std::filesystem::exists(home / "Other.KVT"));
}

TEST_F(PlayPipelineTest, SongDataPlaysAsItIsWithItsDocument) {
  state.status = "kept";
  const std::string song = sample("canon_in_d.KVT", "Canon.KvT");
  home.write("Canon.doc", {'N', 'o', 't', 'e', 's'});
  play(song);
  EXPECT_EQ(state.play_flag, PlayFlag::song);
  EXPECT_TRUE(state.exist_doc);
  EXPECT_EQ(state.text, "Notes");
  EXPECT_EQ(state.status, "kept");
  kvt_play_state now{};
  kvt_play_state_get(&now);
  EXPECT_EQ(state.serial, now.serial);
  EXPECT_EQ(now.playing, 1);

  // Without a document the viewer's text is empty.
  play(sample("canon_in_d.KVT", "Bare.kvt"));
  EXPECT_FALSE(state.exist_doc);
  EXPECT_TRUE(state.text.empty());
}

TEST_F(PlayPipelineTest, MidiIsConvertedIntoTheScratchFolderAndPlays) {
  const std::string tune = home.write(
      "tune.mid", smf_file(0, 96, {smf_track({program(0, 1, 0), note_on(0, 1, 60), note_off(96, 1, 60)})}));
  play(tune);
  EXPECT_EQ(state.play_flag, PlayFlag::converted_song);
  EXPECT_TRUE(std::filesystem::is_regular_file(app::converted_song(context)));
  EXPECT_EQ(state.kept_song, home / "tune.kvt");
  EXPECT_FALSE(std::filesystem::exists(home / "tune.kvt"));  // kept only when it stops
}

TEST_F(PlayPipelineTest, AFailedRcpConversionShowsItsLogAndPlaysNothing) {
  play(home.write("bad.rcp", {'n', 'o', 't', ' ', 'r', 'c', 'p'}));
  EXPECT_EQ(state.play_flag, PlayFlag::idle);
  EXPECT_FALSE(state.text.empty());
  EXPECT_FALSE(std::filesystem::exists(app::converted_song(context)));
  EXPECT_EQ(repaints, 1);  // the converter's log only
}

TEST_F(PlayPipelineTest, WaveFilesPlayThroughTheLibraryOrSayTheyCannot) {
  play(home / "gone.wav");
  EXPECT_EQ(state.play_flag, PlayFlag::idle);
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_EQ(prompts.boxes.front().text, "Can't Play!");

  char title[256] = {};
  playstruct settings{};
  std::snprintf(settings.pcm_dir[0], sizeof settings.pcm_dir[0], "%s", paths.voice_dir1.c_str());
  settings.rate_index = 4;
  settings.channel = 1;
  settings.loop = 1;
  settings.bit = 16;
  ASSERT_EQ(_output_wav((std::string(KVT_ASSET_DIR) + "/Sample/frere_jacques.KVT").c_str(), (home / "take.WAV").c_str(),
                        settings, title),
            0);
  play(home / "take.WAV");
  EXPECT_EQ(state.play_flag, PlayFlag::wave);
  kvt_play_state now{};
  kvt_wave_state_get(&now);
  EXPECT_EQ(state.serial, now.serial);
  EXPECT_EQ(prompts.boxes.size(), 1u);
}

}  // namespace
}  // namespace kvt::test
