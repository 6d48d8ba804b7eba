// One compilation's state: the caller's message buffer, the buffers in
// use, the configuration tables and the positions an error reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvt::compiler {

inline constexpr int kConfigVoices = 2048;   // voices of the configuration file
inline constexpr int kMmlVoices = 64;        // voices defined by voice lines
inline constexpr int kAllVoices = kConfigVoices + kMmlVoices;
inline constexpr int kMultiVoices = 512;
inline constexpr std::size_t kDefaultTextSize = 8192;

// A place in the source: a position and the start of its line.
struct SourceMark {
  const char* at = nullptr;
  const char* line = nullptr;
};

struct Compiler {
  // Messages are appended here, NUL-terminated, never past text_size.
  char* text = nullptr;
  std::size_t text_size = kDefaultTextSize;

  int mallev = 0;  // 1 object, 2 and source, 3 and configuration
  std::vector<std::uint8_t> objdata;
  std::vector<char> mmldata;
  std::vector<std::uint8_t> pCfg;

  int putcnt = 0;
  char partname = ' ';
  char partname2 = '0';
  int linenum = 0;
  SourceMark mmlstr, mmlcmd, mmlnum;
  int numlen = 0;

  // Configuration tables.
  std::uint8_t pcm_define[kAllVoices] = {};
  std::uint8_t pcm_key[kConfigVoices] = {};
  const char* pcm_name[kConfigVoices] = {};
  int pcm_use[kAllVoices] = {};
  const std::uint8_t* ms[kMultiVoices] = {};
  std::size_t ms_splits[kMultiVoices] = {};  // split records in each list
  std::uint8_t ms_define[kAllVoices] = {};
};

}  // namespace kvt::compiler
