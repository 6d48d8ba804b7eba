// Play anything, end to end through the default voice bank: each kind of
// file becomes song data, with the libraries' reports, the warnings about
// songs with nothing to hear and the errors that name the file, as values.
#include <sys/stat.h>

#include <filesystem>

#include "frontend_fixture.h"
#include "smf_builder.h"
#include "song_pipeline.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;
using frontend::Message;
using frontend::MessageKind;
using frontend::SongData;

const mid2kvt_settings kMidi = {90, 100, 4, 0, 0};

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes tune() {
  return smf_file(0, 96,
                  {smf_track({track_name(0, "Tune"), program(0, 1, 0), note_on(0, 1, 60), note_off(96, 1, 60)})});
}

bool starts_with(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

class FrontendPipeline : public RuntimeDirTest {
 protected:
  static SongData song_for(const std::string& path) { return frontend::song_for(path, "", kMidi); }

  ScratchDir dir;
};

TEST_F(FrontendPipeline, AnMmlSourceCompilesBesideItselfAndTheResultNamesTheSong) {
  const std::string source = dir.write("Tune.mml", text("A @0 v120 o4 cdef g2\n"));
  const SongData song = song_for(source);
  ASSERT_TRUE(song.ok);
  EXPECT_EQ(song.path, dir / "Tune.KVT");
  EXPECT_EQ(song.scratch, nullptr);
  const std::string report = "KVT Music Macro Language Compiler .. " + source +
                             "\n\nSet $ Part .... 0 Macro is defined.\n0 Voice setting.\n"
                             "Fin. 0A Part - Step     288 (      0)    \n"
                             "Compile Completed. Object data is 936 bytes.\n";
  EXPECT_EQ(song.messages, (std::vector<Message>{{MessageKind::report, report}}));
  EXPECT_EQ(read_file(song.path).size(), 936u);
  EXPECT_TRUE(runtime.entries().empty()) << "a compiled song needs no scratch space";
}

TEST_F(FrontendPipeline, ACompileErrorFailsWithTheCompilersLogAndNoSong) {
  const std::string source = dir.write("bad.mml", text("A @0 x\n"));
  const SongData song = song_for(source);
  EXPECT_FALSE(song.ok);
  EXPECT_EQ(song.path, "");
  ASSERT_EQ(song.messages.size(), 1u);
  EXPECT_EQ(song.messages[0].kind, MessageKind::failure_report);
  EXPECT_TRUE(starts_with(song.messages[0].text, "KVT Music Macro Language Compiler .. " + source + "\n"));
  const std::string reason = "ERROR! 構文エラーです. Line = 1 , Part:0A\nA @0 x\n     ~\n";  // the mark line ends it
  EXPECT_EQ(song.messages[0].text.substr(song.messages[0].text.size() - reason.size()), reason);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"bad.mml"});
}

TEST_F(FrontendPipeline, ASongThatCannotBeWrittenFailsBeforeCompiling) {
  const std::string source = dir.write("Tune.mml", text("A @0 c\n"));
  fs::create_directory(dir / "Tune.KVT");
  const SongData song = song_for(source);
  EXPECT_FALSE(song.ok);
  EXPECT_EQ(song.messages,
            (std::vector<Message>{{MessageKind::error, "cannot write " + (dir / "Tune.KVT") + ": is a folder"}}));
}

TEST_F(FrontendPipeline, AMidiFileConvertsIntoPrivateScratchThatGoesWithTheResult) {
  const std::string midi = dir.write("tune.mid", tune());
  std::optional<SongData> song = song_for(midi);
  ASSERT_TRUE(song->ok);
  ASSERT_NE(song->scratch, nullptr);
  const std::string scratch = song->scratch->dir();
  EXPECT_EQ(fs::path(scratch).parent_path(), runtime.path());
  EXPECT_EQ(song->path, scratch + "/kvt97.kvt");
  struct stat st {};
  ASSERT_EQ(stat(scratch.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_EQ(read_file(song->path).at(4112), 0x7C) << "the reverb asked for opens the conductor";
  ASSERT_EQ(song->messages.size(), 1u);
  EXPECT_EQ(song->messages[0].kind, MessageKind::report);
  EXPECT_TRUE(starts_with(song->messages[0].text, ".mid->.kvt Converter Ver1.56 ... '" + midi + "'\n"))
      << song->messages[0].text;
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"tune.mid"}) << "nothing beside the source";

  song.reset();
  EXPECT_FALSE(fs::exists(scratch));
  EXPECT_TRUE(runtime.entries().empty());
}

TEST_F(FrontendPipeline, AnRcpFileGoesThroughMidi) {
  const std::string rcp = std::string(KVT_CORPUS_DIR) + "/rcp/sted2clone-cli-test.rcp";
  if (!fs::exists(rcp)) GTEST_SKIP() << "no RCP corpus on this machine";
  const SongData song = song_for(rcp);
  ASSERT_TRUE(song.ok);
  const std::string scratch = song.scratch->dir();
  EXPECT_EQ(song.path, scratch + "/kvt97.kvt");
  ASSERT_EQ(song.messages.size(), 2u);
  EXPECT_EQ(song.messages[0].kind, MessageKind::report);
  EXPECT_TRUE(starts_with(song.messages[0].text, ".rcp->.mid Converter Ver0.40 ... '" + rcp + "'\n"));
  EXPECT_EQ(song.messages[1].kind, MessageKind::report);
  EXPECT_TRUE(starts_with(song.messages[1].text, ".mid->.kvt Converter Ver1.56 ... '" + scratch + "/kvt97.mid'\n"));
  EXPECT_TRUE(fs::is_regular_file(scratch + "/kvt97.mid"));
}

TEST_F(FrontendPipeline, AFailedConversionStopsThereAndLeavesNoScratch) {
  const std::string rcp = dir.write("bad.rcp", text("not an RCP file"));
  const SongData from_rcp = song_for(rcp);
  EXPECT_FALSE(from_rcp.ok);
  ASSERT_EQ(from_rcp.messages.size(), 1u) << "the MIDI converter is not called";
  EXPECT_EQ(from_rcp.messages[0].kind, MessageKind::failure_report);
  EXPECT_TRUE(starts_with(from_rcp.messages[0].text, ".rcp->.mid Converter Ver0.40"));

  const std::string midi = dir.write("bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96});
  const SongData from_midi = song_for(midi);
  EXPECT_FALSE(from_midi.ok);
  EXPECT_EQ(from_midi.path, "");
  ASSERT_EQ(from_midi.messages.size(), 1u);
  EXPECT_EQ(from_midi.messages[0].kind, MessageKind::failure_report);
  EXPECT_NE(from_midi.messages[0].text.find("ERROR! This format is not supported. (2)"), std::string::npos);
  EXPECT_TRUE(runtime.entries().empty());
}

TEST_F(FrontendPipeline, WithoutScratchSpaceNothingIsConverted) {
  setenv("XDG_RUNTIME_DIR", (dir / "missing").c_str(), 1);
  const SongData song = song_for(dir.write("tune.mid", tune()));
  EXPECT_FALSE(song.ok);
  EXPECT_EQ(song.messages, (std::vector<Message>{{MessageKind::error, "no private directory for the converted song"}}));
}

TEST_F(FrontendPipeline, SongDataIsTakenAsItIs) {
  for (const char* name : {"Song.kvt", "Song.KvT", "Song"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.write(name, tone_song({{0x73, 0, 0x6D, 245, 36, 96, 0xFF}}).song);
    const SongData song = song_for(path);
    EXPECT_TRUE(song.ok);
    EXPECT_EQ(song.path, path);
    EXPECT_EQ(song.scratch, nullptr);
    EXPECT_EQ(song.messages, std::vector<Message>{});
  }
  // Whether it plays is the player's to say.
  const SongData missing = song_for(dir / "missing.kvt");
  EXPECT_TRUE(missing.ok);
  EXPECT_EQ(missing.messages, std::vector<Message>{});
}

TEST_F(FrontendPipeline, SongsWithNothingToHearComeWithAWarning) {
  const std::string source = dir.write("lower.mml", text("a cde\n"));  // lower-case headers name no part
  const SongData compiled = song_for(source);
  EXPECT_TRUE(compiled.ok);
  ASSERT_EQ(compiled.messages.size(), 2u);
  EXPECT_EQ(compiled.messages[1],
            (Message{MessageKind::warning, source + " names no part: a part's lines start with its capital letter A "
                                                    "to P (\"A cde\")"}));

  const SongData as_it_is = song_for(compiled.path);
  EXPECT_TRUE(as_it_is.ok);
  EXPECT_EQ(as_it_is.messages, (std::vector<Message>{{MessageKind::warning, compiled.path + " has no parts"}}));

  const std::string midi = dir.write("tempo.mid", smf_file(0, 48, {smf_track({tempo(0, 500000)})}));
  const SongData converted = song_for(midi);
  EXPECT_TRUE(converted.ok);
  ASSERT_EQ(converted.messages.size(), 2u);
  EXPECT_EQ(converted.messages[1], (Message{MessageKind::warning, "converting " + midi + " produced no notes"}));
}

}  // namespace
}  // namespace kvt::test
