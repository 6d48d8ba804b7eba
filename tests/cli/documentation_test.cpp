// What ships beside the command: its manual page and the guide name every
// command and option it has, and the shell completions offer them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "host_fixture.h"

namespace kvt::test {
namespace {

const std::string kSource = KVT_SOURCE_DIR;

// What `command` prints on stdout (run by the shell), and its exit status.
std::pair<std::string, int> output_of(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {out, -1};
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::string text_of(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> matches(const std::string& text, const std::regex& pattern, int group = 1) {
  std::set<std::string> found;
  for (std::sregex_iterator m(text.begin(), text.end(), pattern), end; m != end; ++m) found.insert((*m)[group]);
  return found;
}

std::set<std::string> commands() {
  return matches(output_of(std::string(KVT_BINARY) + " --help").first, std::regex(R"(\n  ([a-z0-9]+) )"));
}

std::set<std::string> options_of(const std::string& command) {
  const std::string help = output_of(std::string(KVT_BINARY) + " " + command + " --help").first;
  std::set<std::string> options = matches(help, std::regex(R"(\n +(?:-[a-zA-Z], )?(--[a-z0-9-]+))"));
  const std::set<std::string> short_ones = matches(help, std::regex(R"(\n +(-[a-zA-Z]), --)"));
  options.insert(short_ones.begin(), short_ones.end());
  return options;
}

// How roff writes a name: every hyphen escaped.
std::string in_roff(std::string name) {
  for (std::size_t k = 0; (k = name.find('-', k)) != std::string::npos; k += 2) name.replace(k, 1, "\\-");
  return name;
}

TEST(Documentation, TheManualAndTheGuideNameEveryCommandAndOption) {
  const std::string manual = text_of(kSource + "/docs/kvt.1");
  const std::string guide = text_of(kSource + "/docs/cli.md");
  ASSERT_FALSE(manual.empty());
  ASSERT_FALSE(guide.empty());
  const std::set<std::string> names = commands();
  EXPECT_GE(names.size(), 8u);
  std::size_t checked = 0;
  for (const std::string& command : names) {
    SCOPED_TRACE(command);
    EXPECT_NE(manual.find(".BI \"" + command + " "), std::string::npos) << "the manual lacks the command";
    EXPECT_NE(guide.find("kvt " + command), std::string::npos) << "the guide lacks the command";
    for (const std::string& option : options_of(command)) {
      EXPECT_NE(manual.find(in_roff(option)), std::string::npos) << "the manual lacks " << option;
      EXPECT_NE(guide.find(option), std::string::npos) << "the guide lacks " << option;
      ++checked;
    }
  }
  EXPECT_GE(checked, 40u);  // the help texts were read
}

class Completion : public testing::Test {
 protected:
  Completion() {
    for (const char* name : {"song.MML", "song.kvt", "tune.mid", "notes.txt", "two words.Mml"}) {
      folder.write_text(name, "");
    }
    folder.write_text("sub/inner.kvt", "");
  }

  // The completions bash offers for `words` typed in the scratch folder.
  std::string bash_completes(const std::string& words) {
    const std::string script = "cd '" + folder.path().string() + "' && compopt() { :; } && . '" + kSource +
                               "/completions/kvt.bash' && COMP_WORDS=(" + words +
                               ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _kvt && printf '%s\\n' \"${COMPREPLY[@]}\"";
    const auto [out, status] = output_of("bash -c " + quoted(script));
    EXPECT_EQ(status, 0);
    return out;
  }

  static std::string quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }

  ScratchDir folder;
  const std::string kvt = KVT_BINARY;
};

TEST_F(Completion, BashOffersCommandsOptionsAndTheFilesACommandReads) {
  EXPECT_EQ(bash_completes(kvt + " w"), "wav\n");
  EXPECT_EQ(bash_completes(kvt + " m"), "mml\nmid2kvt\n");
  EXPECT_EQ(bash_completes(kvt + " wav --bi"), "--bits\n");
  EXPECT_EQ(bash_completes(kvt + " play --sh"), "--shuffle\n");
  EXPECT_EQ(bash_completes(kvt + " wav --bank d"), "default\n");  // the built-in bank, and no folder
  EXPECT_EQ(bash_completes(kvt + " wav --bank s"), "sub\n");
  EXPECT_EQ(bash_completes(kvt + " mid2kvt --chorus"), "--chorus\n--chorus-depth\n");
  // Sources for the compiler whatever their letter case, folders to go into.
  EXPECT_EQ(bash_completes(kvt + " mml ''"), "sub\nsong.MML\ntwo words.Mml\n");
  EXPECT_EQ(bash_completes(kvt + " mid2kvt ''"), "sub\ntune.mid\n");
  EXPECT_EQ(bash_completes(kvt + " play so"), "song.MML\nsong.kvt\n");
  EXPECT_EQ(bash_completes(kvt + " wav song.kvt -o no"), "notes.txt\n");  // any file may be an output
  EXPECT_EQ(bash_completes(kvt + " bank ''"), "import\nlist\n");
  EXPECT_EQ(bash_completes(kvt + " bank import --r"), "--rate-class\n");
}

TEST_F(Completion, FishOffersCommandsAndOptionsWithTheirDescriptions) {
  if (output_of("command -v fish").second != 0) GTEST_SKIP() << "fish is not installed";
  const std::string bin = std::string(KVT_BINARY).substr(0, std::string(KVT_BINARY).rfind('/'));
  const auto complete = [&](const std::string& line) {
    return output_of("cd '" + folder.path().string() + "' && PATH='" + bin + "':\"$PATH\" fish -c " +
                     quoted("source '" + kSource + "/completions/kvt.fish'; complete -C'" + line + "'"))
        .first;
  };
  EXPECT_EQ(complete("kvt wa"), "wav\trender songs into WAVE, FLAC, Ogg or Opus files\n");
  EXPECT_NE(complete("kvt wav --b").find("--bits\t16 (default) or 8"), std::string::npos);
  EXPECT_NE(complete("kvt play --sh").find("--shuffle\t"), std::string::npos);
  EXPECT_NE(complete("kvt play so").find("song.kvt"), std::string::npos);
  EXPECT_NE(complete("kvt wav --bank d").find("default\t"), std::string::npos);
}

TEST(CompletionScripts, ZshReadsItsScript) {
  if (output_of("command -v zsh").second != 0) GTEST_SKIP() << "zsh is not installed";
  EXPECT_EQ(output_of("zsh -n '" + kSource + "/completions/_kvt'").second, 0);
}

}  // namespace
}  // namespace kvt::test
