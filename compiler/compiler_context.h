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
inline constexpr int kMacros = 62;
inline constexpr char kEndMark = 0x1A;
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

  // Source reading.
  const char* mmlp = nullptr;     // read position
  const char* mmlltop = nullptr;  // start of the current line
  int wcflag = 0;
  int cmf1 = 0;
  const char* macro[kMacros] = {};
  int macroflag = 0;
  const char* mmlpstac = nullptr;
  char befchr = 0;
  int zlen = 192;  // steps of a whole note
  int slen = 48;   // default note length of the part
  int tempo = 120;
  int v_point[kConfigVoices] = {};
  char v_file[kMmlVoices][64] = {};
  std::uint8_t v_key[kMmlVoices] = {};
  int voice_lines = 0;

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
