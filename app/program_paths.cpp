#include "program_paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "asset_paths.h"

namespace kvt::app {

ProgramPaths program_paths_in(const std::string& asset_dir, const std::string& config_dir) {
  ProgramPaths p;
  p.asset_dir = asset_dir;
  p.config_dir = config_dir;
  p.inifile = config_dir + "/kvt97.ini";
  p.albumfile = config_dir + "/album.txt";
  p.languagefile = config_dir + "/language.ini";
  p.cfgfile = {asset_dir + "/kvt.cfb", std::string()};
  p.sample_dir = asset_dir + "/Sample";
  p.dova_dir = asset_dir + "/Dova";
  p.doc_dir = asset_dir + "/doc";
  p.voice_dir1 = asset_dir + "/Pcm97";
  p.voice_dir2 = asset_dir + "/Pcm95";
  return p;
}

namespace {

std::string config_dir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/kvt97";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && home[0] != '\0' ? home : ".") + "/.config/kvt97";
}

}  // namespace

ProgramPaths program_paths() { return program_paths_in(frontend::asset_dir(), config_dir()); }

bool make_config_dir(const ProgramPaths& paths) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::create_directories(paths.config_dir, ec)) {
    fs::permissions(paths.config_dir, fs::perms::owner_all, ec);
  }
  return fs::is_directory(paths.config_dir, ec);
}

}  // namespace kvt::app
