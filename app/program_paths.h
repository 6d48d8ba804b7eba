// Where the program finds its files: its read-only assets (voice bank,
// configuration, sample songs, documents) as the `kvt` command finds them,
// and its own writable files in the user's configuration directory.
#pragma once

#include <array>
#include <string>

namespace kvt::app {

struct ProgramPaths {
  std::string asset_dir;   // read-only: Pcm97, kvt.cfb, Sample, Dova, doc
  std::string config_dir;  // $XDG_CONFIG_HOME/kvt97, else ~/.config/kvt97
  std::string inifile;     // the settings file, kvt97.ini
  std::string albumfile;   // the album file, album.txt
  std::string languagefile;  // the language chosen, language.ini
  std::array<std::string, 2> cfgfile;  // configuration slots; slot 1 stays empty
  std::string sample_dir;  // built-in album 0
  std::string dova_dir;    // built-in album 1
  std::string doc_dir;     // the documents the help commands show
  std::string voice_dir1;  // fresh settings' voice directories
  std::string voice_dir2;
};

// The paths for assets in `asset_dir` and writable files in `config_dir`.
ProgramPaths program_paths_in(const std::string& asset_dir, const std::string& config_dir);
// The running program's paths: its assets, and the configuration directory
// from $XDG_CONFIG_HOME (when absolute) or $HOME.
ProgramPaths program_paths();
// Makes the configuration directory (mode 0700 when new); false when it is
// not there afterwards.
bool make_config_dir(const ProgramPaths& paths);

}  // namespace kvt::app
