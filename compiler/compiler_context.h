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
inline constexpr int kObjectSize = 48000;
inline constexpr int kParts = 64;       // groups "0" to "3", letters A to P
inline constexpr int kSlots = 256;      // entries of the key table
inline constexpr int kMaxSlots = 255;   // the voice count is one byte
inline constexpr int kLoopDepth = 16;
inline constexpr int kSyncRecords = 128;
inline constexpr int kPartTable = 0x10;
inline constexpr int kVoiceTable = 0x90;
inline constexpr int kFirstPartData = 0x290;

// A place in the source: a position and the start of its line.
struct SourceMark {
  const char* at = nullptr;
  const char* line = nullptr;
};

// Where an error is marked in the source file, for editors; line 0 when it
// marks no place.
struct ErrorPlace {
  int line = 0;
  int column = 0;  // in bytes
  const char* message = nullptr;
};

// What one part's command loop keeps; reset for every part.
struct PartState {
  int start = 0;  // object offset of the part's first byte
  int octave = 4;
  std::int64_t step = 0;    // steps so far, loops counted out
  std::int64_t steps = -1;  // step at the loop point, -1 = none
  int lpoint = -1;          // offset of the loop point command
  int cmf2 = 0;
  int tieflag = 0;
  int tieuse = 0;
  int parttv = 0;
  int kb_flag = 0;
  int ndflag = 0;
  int sel_voice = 0, cur_voice = -1;
  int sel_pcm = 0, cur_pcm = -1;
  int sel_vol = 0, cur_vol = 0;
  int sel_transpose = 0;  // transpose of the split chosen last
  int ms_flag = 0;
  int cur_msl = 0, force_msl = -1;
  int objv = -1;  // offset of an unfilled voice byte, -1 = no "@" pending
  int pm_flag = 0;

  // Open loops.
  int lpnest = 0;
  int lcptr[kLoopDepth] = {};
  std::int64_t steplp[kLoopDepth][2] = {};
  int loflag[kLoopDepth] = {};
  SourceMark lcmark[kLoopDepth] = {};  // where each open loop starts, for error 13
  int lcline[kLoopDepth] = {};

  // Easy call.
  int ec = 0;
  std::int64_t ecc = 0;
  int ecn1 = 0, ecn2 = 0;
};

struct WaitRecord {
  int part;
  std::int64_t step, steps;
  int pos;  // object offset where the rest goes
  char befchr;
  int linenum;
  SourceMark mark;
  bool resolved = false;
};

struct SendRecord {
  int part;
  std::int64_t step;
  char befchr;
  std::uint16_t mask[4];  // per group, bit = letter
  int linenum;
  SourceMark mark;
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
  const char* macro_line[kMacros] = {};  // the definition's line, for error marks
  int macroflag = 0;
  const char* mmlpstac = nullptr;
  const char* macro_top = nullptr;  // line of the body being read
  char befchr = 0;
  int zlen = 192;  // steps of a whole note
  int slen = 48;   // default note length of the part
  int tempo = 120;
  int v_point[kConfigVoices] = {};
  char v_file[kMmlVoices][64] = {};
  std::uint8_t v_key[kMmlVoices] = {};
  int voice_lines = 0;
  int title_line = 0;  // a "!" line exists

  // The object and the parts.
  int objp = 0;
  PartState part;
  int next_pcm = 0;
  std::uint8_t key_adj[kSlots] = {};
  WaitRecord waits[kSyncRecords] = {};
  int wait_count = 0;
  SendRecord sends[kSyncRecords] = {};
  int send_count = 0;
  std::uint8_t wflag[kParts] = {};
  std::int64_t stepch[kParts] = {};
  std::int64_t stepsch[kParts] = {};

  int putcnt = 0;
  char partname = ' ';
  char partname2 = '0';
  int linenum = 0;
  SourceMark mmlstr, mmlcmd, mmlnum;
  int cmdline = 0;  // line of the command being compiled
  int numlen = 0;
  ErrorPlace error_place;

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
