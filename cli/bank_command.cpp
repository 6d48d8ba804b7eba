// kvt bank: make voice banks from SoundFonts and list the installed banks.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "arguments.h"
#include "bank_folder.h"
#include "commands.h"
#include "sample_pitch.h"
#include "sf2_file.h"
#include "soundfont_import.h"
#include "voice_banks.h"

namespace kvt::cli {
namespace {

namespace fs = std::filesystem;

struct ImportRequest {
  std::string soundfont;
  std::string dir;
  soundfont::ImportOptions options;
};

ImportRequest read_import(Arguments& args) {
  ImportRequest request;
  std::vector<std::string> operands;
  while (!args.done()) {
    if (const auto option = args.next_option()) {
      if (*option == "--programs") {
        try {
          request.options.presets = soundfont::PresetList(args.value());
        } catch (const std::invalid_argument& e) {
          throw UsageError(e.what());
        }
      } else if (*option == "--rate-class") {
        const std::string value = args.value();
        if (value != "auto") {
          Arguments number({"--rate-class", value});
          number.next_option();
          request.options.rate_class = number.number(0, soundfont::kRateClasses - 1);
        }
      } else {
        throw UsageError("unknown option " + *option);
      }
    } else if (const auto operand = args.next_operand()) {
      operands.push_back(*operand);
    }
  }
  if (operands.size() != 2) throw UsageError("bank import takes a SoundFont and a folder");
  request.soundfont = operands[0];
  request.dir = operands[1];
  return request;
}

std::vector<std::uint8_t> read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open it");
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw std::runtime_error("cannot read it");
  return bytes;
}

// A line on the terminal that the next one overwrites; nothing elsewhere.
void show_progress(int done, int total) {
  if (isatty(STDERR_FILENO) == 0) return;
  std::fprintf(stderr, "\rimporting presets: %d/%d", done, total);
  if (done == total) std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
}

int run_import(Arguments& args) {
  ImportRequest request = read_import(args);
  request.options.progress = show_progress;
  const auto start = std::chrono::steady_clock::now();
  soundfont::ImportedBank bank;
  try {
    const std::vector<std::uint8_t> bytes = read_whole(request.soundfont);
    bank = soundfont::import_soundfont(soundfont::read_sf2(bytes.data(), bytes.size()), request.options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kvt: %s: %s\n", request.soundfont.c_str(), e.what());
    return 1;
  }
  std::uintmax_t size = 0;
  try {
    size = soundfont::write_bank_folder(request.dir, bank);
  } catch (const fs::filesystem_error& e) {
    std::fprintf(stderr, "kvt: %s: %s\n", request.dir.c_str(), e.code().message().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kvt: %s: %s\n", request.dir.c_str(), e.what());
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s\nvoices: %zu\nprograms: %d\ndrum keys: %d\nsize: %ju bytes (%.1f MB)\ntime: %.2f s\n",
              request.dir.c_str(), bank.voices.size(), bank.programs, bank.drum_keys, size, size / 1e6, seconds);
  return 0;
}

int run_list(Arguments& args) {
  if (!args.done()) throw UsageError("bank list takes no arguments");
  for (const frontend::VoiceBank& b : frontend::installed_banks())
    std::printf("%s\t%s\n", b.name.c_str(), b.dir.c_str());
  return 0;
}

int run_bank(std::vector<std::string> list) {
  if (list.empty()) throw UsageError("no subcommand given");
  const std::string sub = list.front();
  Arguments args(std::vector<std::string>(list.begin() + 1, list.end()));
  if (sub == "import") return run_import(args);
  if (sub == "list") return run_list(args);
  throw UsageError("unknown subcommand '" + sub + "'");
}

}  // namespace

extern const Command kBankCommand{
    "bank",
    "kvt bank import FILE.sf2 DIR [--programs LIST] [--rate-class auto|N] | kvt bank list",
    "make a voice bank from a SoundFont, or list the installed banks",
    "import FILE.sf2 DIR: makes a voice bank in DIR from a SoundFont 2 file:\n"
    "voice files for the samples of its bank 0 presets (the General MIDI\n"
    "programs) and bank 128 presets (the drum kits), and DIR/kvt.cfb mapping\n"
    "the programs and drum keys onto them. DIR is replaced whole when it is\n"
    "an earlier bank; any other folder that is not empty is refused.\n"
    "  --programs LIST     import only these presets: programs and ranges of\n"
    "                      bank 0, or BANK:PROGRAM (default: all)\n"
    "  --rate-class N      store every sample in rate class N (0..10), slower\n"
    "                      samples as they are, faster ones resampled to it\n"
    "                      (default auto: the class at or just above the\n"
    "                      sample's rate)\n"
    "list: prints each installed bank's name and folder.\n",
    false,
    false,
    run_bank,
};

}  // namespace kvt::cli
