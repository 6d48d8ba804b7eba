// Notes and rests with the voice and volume they need, ties, "@" and the
// split choice of multi-sample voices.
#include <cstdlib>

#include "config_reader.h"
#include "error_report.h"
#include "object_writer.h"
#include "part_commands.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

constexpr int kRestCode = 0x75;
constexpr int kHighestNote = 95;
constexpr int kKeyOffset = 24;  // split keys are note numbers plus 24
constexpr int kMultiKeyBase = 0xC0;

struct Split {
  int voice, volume, transpose, low, high;
};

bool is_multi(const Compiler& c, int voice) { return voice >= 0 && voice < kMultiVoices && c.ms_define[voice]; }

int split_count(const Compiler& c, int voice) { return is_multi(c, voice) ? static_cast<int>(c.ms_splits[voice]) : 1; }

Split split_of(const Compiler& c, int voice, int index) {
  const std::uint8_t* s = c.ms[voice] + kSplitRecord * index;
  return {s[0] | (s[1] << 8), static_cast<std::int8_t>(s[2]), static_cast<std::int8_t>(s[3]),
          static_cast<std::int8_t>(s[4]), static_cast<std::int8_t>(s[5])};
}

int semitone_of(char letter) {
  static constexpr int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // a to g
  return kSemitones[letter - 'a'];
}

// The split for `note` of the multi-sample voice in force; returns the
// note with the split's transpose applied.
int choose_split(Compiler& c, int note) {
  PartState& p = c.part;
  const int last = split_count(c, p.cur_voice) - 1;
  int i = p.force_msl;
  if (i < 0) {
    i = p.cur_msl < last ? p.cur_msl : last;
    while (i > 0 && split_of(c, p.cur_voice, i).low > note + kKeyOffset) --i;
    while (i < last && split_of(c, p.cur_voice, i).high < note + kKeyOffset) ++i;
  } else if (i > last) {
    i = last;
  }
  p.cur_msl = i;
  const Split s = split_of(c, p.cur_voice, i);
  p.sel_pcm = s.voice < kConfigVoices ? s.voice : kAllVoices;  // beyond the table: undefined
  p.sel_vol = s.volume;
  p.sel_transpose = s.transpose;
  note += s.transpose;
  while (note < 0) note += 12;
  while (note > kHighestNote) note -= 12;
  return note;
}

int resolve_voice(Compiler& c, int note) {
  PartState& p = c.part;
  if (p.objv >= 0) {
    p.cur_voice = p.sel_voice;
    p.ms_flag = is_multi(c, p.cur_voice) ? 1 : 0;
    if (p.ms_flag) {
      p.cur_msl = 0;
    } else {
      p.sel_pcm = p.cur_voice;
      p.sel_vol = 0;
    }
  }
  return p.ms_flag ? choose_split(c, note) : note;
}

// The song-wide slot of a voice, given on its first use.
int slot_of(Compiler& c, int voice) {
  if (voice >= kAllVoices || !c.pcm_define[voice]) command_error(c, 26);
  if (c.pcm_use[voice] >= 0) return c.pcm_use[voice];
  if (c.next_pcm >= kMaxSlots) command_error(c, 7);
  const int slot = c.next_pcm++;
  c.pcm_use[voice] = slot;
  if (c.part.ms_flag) {
    c.key_adj[slot] = static_cast<std::uint8_t>(kMultiKeyBase - c.part.sel_transpose);
  } else if (voice < kConfigVoices) {
    c.key_adj[slot] = c.pcm_key[voice];
  } else {
    c.key_adj[slot] = c.v_key[voice - kConfigVoices];
  }
  return slot;
}

void output_voice_and_volume(Compiler& c) {
  PartState& p = c.part;
  if (p.tieuse) return;
  if (p.cur_pcm != p.sel_pcm || p.pm_flag) {
    p.cur_pcm = p.sel_pcm;
    const int slot = slot_of(c, p.cur_pcm);
    if (p.objv < 0 || p.pm_flag) {
      put(c, 0xEA);
      put(c, slot);
    }
    if (p.objv >= 0) {
      poke(c, p.objv, slot);
      p.objv = -1;
    }
  }
  if (p.cur_vol != p.sel_vol || p.pm_flag) {
    p.cur_vol = p.sel_vol;
    put(c, 0xE9);
    put16(c, (p.cur_vol + 128) * 256);
    p.pm_flag = 0;
  }
}

// Lengths above one byte go out in pieces of 255, tied for notes.
void put_note(Compiler& c, int code, int length, bool rest) {
  while (length > 255) {
    put(c, code);
    put(c, 0xFF);
    length -= 255;
    if (!rest) put(c, 0x74);
  }
  put(c, code);
  put(c, length);
}

}  // namespace

void note_command(Compiler& c, char letter) {
  PartState& p = c.part;
  p.tieflag = 0;
  // Taken before anything after the letter is read: reading on for the
  // length may pass a line header that toggles the mute state.
  const bool sounds = c.cmf1 + p.cmf2 == 0 || letter == 'R';
  const bool rest = letter == 'r' || letter == 'R';
  int note = kRestCode;
  if (letter == 'n') {
    note = getdeci(c, 0, kHighestNote, 0);
    accept(c, ',');
  } else if (!rest) {
    note = (p.octave - 1) * 12 + semitone_of(letter);
    if (accept(c, '+')) {
      ++note;
    } else if (accept(c, '-')) {
      --note;
    }
    if (note < 0 || note > kHighestNote) command_error(c, 8);
  }
  if (!rest) {
    note = resolve_voice(c, note);
    output_voice_and_volume(c);
  }
  const int length = getol(c);
  int accent = 0;
  const bool accented = accept(c, ',');
  if (accented) {
    accept(c, '+');
    accent = 2 * getdeci(c, -24, 24, 0);
    put(c, accent >= 0 ? 0x6E : 0x6F);
    put(c, std::abs(accent));
  }
  std::int64_t steps = 0;
  if (sounds) {
    if (length == kOmitted) {
      put(c, note + 0x80);
      steps = c.slen;
    } else if (length > 0) {  // a length byte 0 would play for 65536 ticks
      put_note(c, note, length, rest);
      steps = length;
    }
  }
  if (accented) {
    put(c, accent >= 0 ? 0x6F : 0x6E);
    put(c, std::abs(accent));
  }
  add_steps(c, steps);
  p.tieuse = 0;
}

void tie_command(Compiler& c) {
  PartState& p = c.part;
  if (p.tieflag) error(c, 15);
  if (c.cmf1 + p.cmf2 == 0) put(c, 0x74);
  p.tieuse = 1;
}

void voice_command(Compiler& c) {
  PartState& p = c.part;
  const int n = getdeci(c, 0, kConfigVoices - 1, 0);
  p.sel_voice = c.v_point[n] >= 0 ? kConfigVoices + c.v_point[n] : n;
  p.force_msl = -1;
  p.cur_msl = 0;
  if (p.objv >= 0) {
    // An earlier "@" that no note took up becomes a harmless "volume up 0".
    poke(c, p.objv - 1, 0x6E);
    poke(c, p.objv, 0);
  }
  put(c, 0x73);
  p.objv = c.objp;
  skip(c);
}

void split_command(Compiler& c) {
  PartState& p = c.part;
  const char which = nextstr(c);
  auto expect = [&c](char upper) {
    const char ch = nextstr(c);
    if (ch != upper && ch != upper + ('a' - 'A')) error(c, 2);
  };
  switch (which) {
    case 'K':
    case 'k': {
      const int key = getdeci(c, 0, kHighestNote, 0);
      const int count = split_count(c, p.sel_voice);
      int i = 0;
      if (is_multi(c, p.sel_voice)) {
        while (i < count - 1 && split_of(c, p.sel_voice, i).high < key + kKeyOffset) ++i;
      }
      p.force_msl = i;
      break;
    }
    case 'L':
    case 'l': {
      const int n = getdeci(c, 0, kHighestNote, 0);
      if (n > split_count(c, p.sel_voice) - 1) error(c, 27);
      p.force_msl = n;
      break;
    }
    case 'C':
    case 'c':
      expect('U');
      expect('R');
      p.force_msl = p.cur_msl;
      break;
    case 'O':
    case 'o':
      expect('F');
      expect('F');
      p.force_msl = -1;
      break;
    default: break;  // any other letter after "G" is read over
  }
}

}  // namespace kvt::compiler
