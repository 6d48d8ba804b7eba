// kvt play: play songs through the sound card, one or several in a play
// program (in order, one again and again, or at random).
#include <cstdio>
#include <random>

#include "bank_option.h"
#include "commands.h"
#include "file_checks.h"
#include "message_output.h"
#include "midi_options.h"
#include "play_options.h"
#include "play_order.h"
#include "play_session.h"
#include "song_names.h"
#include "song_pipeline.h"
#include "stop_signals.h"
#include "time_text.h"

namespace kvt::cli {
namespace {

struct PlayRequest {
  std::vector<std::string> files;
  Program program = Program::once;
  playstruct settings = default_play_settings();
  kvt_output_options output_options = default_output_options();
  mid2kvt_settings midi = default_midi_settings();
  std::string config;
  unsigned long start_ms = 0;  // of the first song
};

// Seeking renders from the song's start, several hundred times faster than
// real time: a start beyond this would keep the command busy too long.
constexpr unsigned long kLatestStartMs = 6 * 3600 * 1000UL;

unsigned long start_option(const std::string& text) {
  if (const auto ms = parse_time_ms(text, kLatestStartMs)) return *ms;
  throw UsageError("--start takes SECONDS, M:SS or H:MM:SS up to 6:00:00, not " + text);
}

void set_program(PlayRequest& r, Program p) {
  if (r.program != Program::once && r.program != p) throw UsageError("--list, --repeat and --shuffle exclude each other");
  r.program = p;
}

PlayRequest read_request(std::vector<std::string> list) {
  Arguments args(std::move(list));
  PlayRequest r;
  std::optional<std::string> bank;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "-c" || *option == "--config") {
        r.config = args.value();
      } else if (*option == "--start") {
        r.start_ms = start_option(args.value());
      } else if (*option == "--list") {
        set_program(r, Program::list);
      } else if (*option == "--repeat") {
        set_program(r, Program::repeat);
      } else if (*option == "--shuffle") {
        set_program(r, Program::shuffle);
      } else if (!read_play_option(args, *option, r.settings, Output::sound_card) &&
                 !read_ending_option(args, *option, r.output_options) && !read_midi_option(args, *option, r.midi) &&
                 !read_bank_option(args, *option, bank)) {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      r.files.push_back(*operand);
    }
  }
  if (r.files.empty()) throw UsageError("no song given");
  use_bank(bank, &r.settings);
  if ((r.program == Program::once || r.program == Program::repeat) && r.files.size() > 1) {
    throw UsageError("several songs need --list or --shuffle");
  }
  return r;
}

std::string base_name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file made playable: compiled or converted songs keep their scratch
// space while they play.
struct Prepared {
  PlayItem item;
  std::optional<frontend::SongData> song;
};

std::optional<Prepared> prepare(const PlayRequest& r, const std::string& name, const std::string& label) {
  const auto file = find_input(name);
  if (!file) return std::nullopt;
  if (frontend::has_extension(*file, ".wav")) return Prepared{{*file, true, label}, std::nullopt};
  frontend::SongData song = frontend::song_for(*file, r.config, r.midi);
  print_messages(song.messages);
  if (!song.ok) return std::nullopt;
  const std::string path = song.path;
  return Prepared{{path, false, label}, std::move(song)};
}

std::string label_for(const PlayRequest& r, std::size_t index) {
  const std::string name = base_name(r.files[index]);
  if (r.files.size() == 1) return name;
  return std::to_string(index + 1) + "/" + std::to_string(r.files.size()) + " " + name;
}

int run_play(std::vector<std::string> args) {
  const PlayRequest r = read_request(std::move(args));
  TerminalUi ui;
  PlaySteering steering;
  steering.output = r.output_options;
  steering.start_ms = r.start_ms;
  PlayOrder order(r.program, r.files.size(), std::random_device{}());
  std::optional<Prepared> repeated;  // compiled or converted once
  bool failed = false;
  std::size_t failures_in_a_row = 0;
  while (const std::optional<std::size_t> index = order.current()) {
    std::optional<Prepared> fresh;
    std::optional<Prepared>& p = r.program == Program::repeat ? repeated : fresh;
    if (!p) p = prepare(r, r.files[*index], label_for(r, *index));
    if (stop_signal() != 0) break;
    // From song to song, and when a song seeks, the device stays open; a
    // WAVE file plays through a device of its own.
    kvt_keep_device_open(p && !p->item.wave ? 1 : 0);
    const PlayOutcome outcome = p ? play_to_end(p->item, r.settings, ui, steering) : PlayOutcome::failed;
    if (outcome == PlayOutcome::interrupted || outcome == PlayOutcome::quit) break;
    if (outcome == PlayOutcome::previous) {
      order.previous();
      continue;
    }
    order.next();
    if (outcome == PlayOutcome::failed) {
      failed = true;
      // A program with nothing left that plays ends rather than spins.
      if (r.program == Program::repeat || ++failures_in_a_row >= r.files.size()) break;
    } else {
      failures_in_a_row = 0;
    }
  }
  kvt_keep_device_open(0);
  return failed ? 1 : 0;
}

}  // namespace

extern const Command kPlayCommand{
    "play",
    "kvt play SONG|--list SONG...|--repeat SONG|--shuffle SONG... [-c CONFIG.cfb] [--bank NAME|DIR] [--rate HZ] [--mono] [--effect N] "
    "[--fade N] [--loop N] [--exact] [--start TIME] [--voices DIR1[:DIR2]] [--keyboard] [MIDI OPTIONS]",
    "play songs through the sound card",
    "Plays SONG through the sound card: song data as it is, an MML source\n"
    "compiled first (into SONG.KVT beside it), a MIDI file converted, an RCP\n"
    "file converted through MIDI (both in a private scratch directory), a WAVE\n"
    "file as it is. Ctrl-C, SIGTERM or SIGHUP stops it and removes the scratch\n"
    "files. From song to song of a program the sound device stays open.\n"
    "While stdin is a terminal, keys steer it: space pauses and resumes, q\n"
    "quits, n and p play the next and the previous song, left and right seek\n"
    "10 s back and forward, down and up 60 s, + and - turn the volume up and\n"
    "down by 1 dB, ? lists the keys. Seeking renders the song again from its\n"
    "start, silently, so it plays on exactly as it would have there.\n"
    "  --list             play every SONG given, in order\n"
    "  --repeat           play SONG again each time it ends\n"
    "  --shuffle          play the SONGs given at random, without end: each once a round\n"
    "  --start TIME       start the first song TIME into it: SECONDS, M:SS or H:MM:SS\n"
    "  -c, --config FILE  the voice configuration for MML and MIDI (default: the bank's)\n",
    true,
    true,
    run_play,
    true,
};

}  // namespace kvt::cli
