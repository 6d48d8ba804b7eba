// `kvt wav` against FluidSynth and TiMidity++ on four General MIDI files
// from Debian packages, all three rendering 44100 Hz stereo 16-bit WAVE
// with reverb and chorus on, the other two playing Debian's FluidR3
// SoundFont. Every round renders each file with each renderer, their
// order turning round by round so that a machine growing busier or
// quieter meanwhile weighs on all alike. Prints the median wall time, the
// peak memory and the length of sound of each, kvt's speed-up, and whether
// kvt meets its aims on each file (informational: the exit status is 1
// only when nothing rendered). A renderer or file not installed is left
// out with a line saying so (`make bench-compare` installs them all).
//
// usage: renderer_compare [ROUNDS]   (default 5)
#include <sndfile.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "timed_run.h"

namespace {

namespace fs = std::filesystem;
using kvt::bench::median;

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
constexpr int kDefaultRounds = 5;
constexpr double kAimSpeedUp = 20;  // against the faster of the other two
constexpr double kAimPeakMiB = 16;

struct Song {
  const char* name;
  const char* path;
  const char* package;
};

constexpr Song kSongs[] = {
    {"coconut_run2.mid", "/usr/share/games/openttd/baseset/openmsx/coconut_run2.mid", "openttd-openmsx"},
    {"tttheme2.mid", "/usr/share/games/openttd/baseset/openmsx/tttheme2.mid", "openttd-openmsx"},
    {"keep_on_rolling.mid", "/usr/share/games/openttd/baseset/openmsx/keep_on_rolling.mid", "openttd-openmsx"},
    {"1003.mid", "/usr/share/games/dink/dink/Sound/1003.mid", "freedink-data"},
};

struct Renderer {
  const char* name;
  const char* package;
  std::string program;
  bool needs_soundfont;
  // The arguments that render `song` into `out`; `work` holds TiMidity++'s
  // configuration.
  std::vector<std::string> (*arguments)(const std::string& song, const std::string& out, const std::string& work);
};

// Each renderer is told the format and effects outright, so that a
// changed default cannot make the comparison unfair unnoticed. kvt plays
// its built-in bank whatever KVT_BANK says.
std::vector<std::string> kvt_args(const std::string& song, const std::string& out, const std::string&) {
  return {"wav", song, "-o", out, "--bank", "default", "--rate", "44100", "--bits", "16", "--effect", "2"};
}
std::vector<std::string> fluidsynth_args(const std::string& song, const std::string& out, const std::string&) {
  return {"-ni", "-q", "-R", "1", "-C", "1", "-r", "44100", "-T", "wav", "-O", "s16", "-F", out, kSoundFont, song};
}
std::vector<std::string> timidity_args(const std::string& song, const std::string& out, const std::string& work) {
  return {"-c",
          work + "/timidity.cfg",
          "-Ow",
          "--output-stereo",
          "--output-16bit",
          "--output-signed",
          "-EFreverb=f",
          "-EFchorus=n",
          "-s",
          "44100",
          "-o",
          out,
          song};
}

bool on_path(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

struct Result {
  std::vector<double> seconds;  // wall clock, one a round
  long peak_kib = 0;
  double sound_seconds = 0;
  std::string format_problem;  // empty when 44100 Hz stereo 16-bit WAVE
  std::string failure;         // empty while it renders
  std::string message;         // a warning or error it printed, the first
};

// The first line of the log that reads like a warning or an error.
std::string first_complaint(const std::string& log) {
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    std::string lower = line;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.find("warn") != std::string::npos || lower.find("error") != std::string::npos) return line;
  }
  return {};
}

std::string last_lines(const std::string& log, std::size_t count) {
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::string text;
  for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
    text += "\n    " + lines[i];
  return text;
}

// Reads only the header, so that this process stays small beside the
// renderers it measures.
void check_output(const std::string& path, Result& result) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    result.format_problem = "unreadable output";
    return;
  }
  sf_close(file);
  result.sound_seconds = info.samplerate > 0 ? static_cast<double>(info.frames) / info.samplerate : 0;
  const bool wave = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV;
  const bool pcm16 = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
  if (!wave || !pcm16 || info.channels != 2 || info.samplerate != 44100) {
    result.format_problem = std::string(wave ? "WAVE" : "not WAVE") + ", " + std::to_string(info.samplerate) + " Hz, " +
                            std::to_string(info.channels) + " channels" + (pcm16 ? ", 16-bit" : ", not 16-bit");
  }
}

std::string command_line(const Renderer& r) {
  std::string text = r.program;
  for (const std::string& arg : r.arguments("IN.mid", "OUT.wav", "SCRATCH")) text += " " + arg;
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = kDefaultRounds;
  if (argc > 2 || (argc == 2 && (rounds = std::atoi(argv[1])) < 1)) {
    std::fprintf(stderr, "usage: renderer_compare [ROUNDS]   (default %d)\n", kDefaultRounds);
    return 2;
  }
  const bool have_soundfont = fs::exists(kSoundFont);
  const Renderer all[] = {{"kvt", "", KVT_BINARY, false, kvt_args},
                          {"FluidSynth", "fluidsynth", "fluidsynth", true, fluidsynth_args},
                          {"TiMidity++", "timidity", "timidity", true, timidity_args}};
  std::vector<const Renderer*> renderers;
  for (const Renderer& r : all) {
    if (!on_path(r.program)) {
      std::printf("skipped: %s (%s not found%s%s)\n", r.name, r.program.c_str(), *r.package ? "; Debian package " : "",
                  r.package);
    } else if (r.needs_soundfont && !have_soundfont) {
      std::printf("skipped: %s (no %s; Debian package fluid-soundfont-gm)\n", r.name, kSoundFont);
    } else {
      renderers.push_back(&r);
    }
  }
  std::vector<const Song*> songs;
  for (const Song& s : kSongs) {
    if (fs::exists(s.path)) {
      songs.push_back(&s);
    } else {
      std::printf("skipped: %s (no %s; Debian package %s)\n", s.name, s.path, s.package);
    }
  }
  if (renderers.empty()) {
    std::printf("no renderer to run\n");
    return 1;
  }
  // Not installed is no failure: `make bench` runs this where the files
  // may be missing.
  if (songs.empty()) {
    std::printf("no MIDI file to render; `make bench-compare` installs them\n");
    return 0;
  }
  std::string work = (fs::temp_directory_path() / "kvt-renderer-compare-XXXXXX").string();
  if (mkdtemp(work.data()) == nullptr) {
    std::fprintf(stderr, "renderer_compare: no scratch directory\n");
    return 1;
  }
  std::ofstream(work + "/timidity.cfg") << "soundfont " << kSoundFont << "\n";
  for (const Renderer* r : renderers) std::printf("%s: %s\n", r->name, command_line(*r).c_str());

  // results[song][renderer]
  std::vector<std::vector<Result>> results(songs.size(), std::vector<Result>(renderers.size()));
  const std::string log = work + "/log.txt";
  const std::string out = work + "/out.wav";
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t s = 0; s < songs.size(); ++s) {
      for (std::size_t k = 0; k < renderers.size(); ++k) {
        const std::size_t which = (k + round) % renderers.size();
        const Renderer& r = *renderers[which];
        Result& result = results[s][which];
        if (!result.failure.empty()) continue;
        const kvt::bench::RunUsage run =
            kvt::bench::measured_run(r.program, r.arguments(songs[s]->path, out, work), log);
        if (run.seconds < 0) {
          result.failure = "failed in round " + std::to_string(round + 1) + ", its output ending:" + last_lines(log, 5);
          fs::remove(out);
          continue;
        }
        result.seconds.push_back(run.seconds);
        result.peak_kib = std::max(result.peak_kib, run.peak_rss_kib);
        if (round == 0) {
          check_output(out, result);
          result.message = first_complaint(log);
        }
        fs::remove(out);
      }
    }
  }
  fs::remove_all(work);

  std::printf("\n%d rounds; median wall time, peak memory (maximum resident set) over the rounds\n\n", rounds);
  std::printf("| file | renderer | median s | peak MiB | sound s | kvt speed-up |\n");
  std::printf("|---|---|---:|---:|---:|---:|\n");
  // kvt's result for a file, when kvt ran and rendered it.
  const auto kvt_result = [&](std::size_t s) {
    return renderers[0] == &all[0] && results[s][0].failure.empty() ? &results[s][0] : nullptr;
  };
  bool any = false;
  for (std::size_t s = 0; s < songs.size(); ++s) {
    const Result* kvt = kvt_result(s);
    const double kvt_median = kvt != nullptr ? median(kvt->seconds) : 0;
    for (std::size_t i = 0; i < renderers.size(); ++i) {
      const Result& result = results[s][i];
      if (!result.failure.empty()) {
        std::printf("| %s | %s | failed | | | |\n", songs[s]->name, renderers[i]->name);
        continue;
      }
      any = true;
      const double took = median(result.seconds);
      char speed_up[32] = "-";
      if (kvt != nullptr && &result != kvt) std::snprintf(speed_up, sizeof speed_up, "%.1fx", took / kvt_median);
      std::printf("| %s | %s | %.3f | %.1f | %.1f | %s |\n", songs[s]->name, renderers[i]->name, took,
                  result.peak_kib / 1024.0, result.sound_seconds, speed_up);
    }
  }
  std::printf("\n");
  for (std::size_t s = 0; s < songs.size(); ++s) {
    const char* name = songs[s]->name;
    const Result* kvt = kvt_result(s);
    const Renderer* best = nullptr;
    double best_median = 0;
    for (std::size_t i = 0; i < renderers.size(); ++i) {
      if (renderers[i] == &all[0] || !results[s][i].failure.empty()) continue;
      const double took = median(results[s][i].seconds);
      if (best == nullptr || took < best_median) best = renderers[i], best_median = took;
    }
    if (kvt == nullptr) {
      std::printf("%s: kvt did not render it; no aims checked\n", name);
      continue;
    }
    const double peak_mib = kvt->peak_kib / 1024.0;
    const char* memory = peak_mib < kAimPeakMiB ? "met" : "NOT met";
    if (best == nullptr) {
      std::printf("%s: no other renderer to compare with; kvt peak %.1f MiB, aim under %.0f MiB %s\n", name, peak_mib,
                  kAimPeakMiB, memory);
      continue;
    }
    const double speed_up = best_median / median(kvt->seconds);
    std::printf("%s: kvt %.1fx the faster of the others (%s), aim %.0fx %s; kvt peak %.1f MiB, aim under %.0f MiB %s\n",
                name, speed_up, best->name, kAimSpeedUp, speed_up >= kAimSpeedUp ? "met" : "NOT met", peak_mib,
                kAimPeakMiB, memory);
  }

  // Anything odd: failures, an unexpected format, what a renderer
  // complained of, lengths of sound far apart.
  bool heading = false;
  const auto note = [&heading](const std::string& text) {
    if (!heading) std::printf("\nnotes:\n");
    heading = true;
    std::printf("- %s\n", text.c_str());
  };
  for (std::size_t s = 0; s < songs.size(); ++s) {
    double shortest = 0, longest = 0;
    bool first = true;
    for (std::size_t i = 0; i < renderers.size(); ++i) {
      const Result& result = results[s][i];
      const std::string who = std::string(songs[s]->name) + ", " + renderers[i]->name + ": ";
      if (!result.failure.empty()) {
        note(who + result.failure);
        continue;
      }
      if (!result.format_problem.empty()) note(who + "output is " + result.format_problem);
      if (!result.message.empty()) note(who + "printed \"" + result.message + "\"");
      shortest = first ? result.sound_seconds : std::min(shortest, result.sound_seconds);
      longest = first ? result.sound_seconds : std::max(longest, result.sound_seconds);
      first = false;
    }
    // Each lets the sound die away its own way, so only a gap beyond that
    // (a cut-off song, a hanging note) is worth a look.
    if (!first && longest - shortest > std::max(5.0, 0.1 * longest)) {
      char text[160];
      std::snprintf(text, sizeof text, "%s: lengths of sound differ, %.1f to %.1f s", songs[s]->name, shortest,
                    longest);
      note(text);
    }
  }
  // The kernel counts this process's memory into a child's peak (see
  // measured_run), so a peak no higher than ours may be ours.
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  for (std::size_t s = 0; s < songs.size(); ++s) {
    for (std::size_t i = 0; i < renderers.size(); ++i) {
      const Result& result = results[s][i];
      if (result.failure.empty() && result.peak_kib <= self.ru_maxrss)
        note(std::string(songs[s]->name) + ", " + renderers[i]->name + ": its peak memory may be this program's own (" +
             std::to_string(self.ru_maxrss) + " KiB)");
    }
  }
  return any ? 0 : 1;
}
