// kvtbank: writes the default voice bank, the voice files into DIR/Pcm97
// and the configuration into DIR/kvt.cfb. The output depends on nothing
// but this program.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bank_contents.h"

namespace {

namespace fs = std::filesystem;

// Written beside the target and renamed, so a file is whole or absent.
void write_atomically(const fs::path& target, const std::vector<std::uint8_t>& bytes) {
  const fs::path temp = target.string() + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + temp.string());
  }
  fs::rename(temp, target);
}

constexpr const char* kUsage = "usage: kvtbank DIR\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::printf("%sWrites the default voice bank: DIR/Pcm97/*.kvw and DIR/kvt.cfb.\n", kUsage);
    return 0;
  }
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    const fs::path dir = argv[1];
    fs::create_directories(dir / "Pcm97");
    const kvt::bank::Bank bank = kvt::bank::make_bank();
    for (const kvt::bank::VoiceFile& v : bank.voices) {
      write_atomically(dir / "Pcm97" / (v.name + ".kvw"), kvt::bank::voice_file_bytes(v));
    }
    write_atomically(dir / "kvt.cfb", kvt::bank::config_file_bytes(bank.config));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kvtbank: %s\n", e.what());
    return 1;
  }
}
