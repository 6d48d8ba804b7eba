// The commands that set one thing: length, volume, pan, transpose, tempo,
// gate, detune, vibrato, text, and the ones that only change the reader.
#include "error_report.h"
#include "object_writer.h"
#include "operands.h"
#include "part_commands.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

constexpr int kRequired = kOmitted;

// A command with one byte operand: the number times `scale`.
struct ByteCommand {
  char letter;
  int code;
  int lower, upper;
  int omitted = kRequired;  // the value when the number is left out
  int scale = 1;
};

constexpr ByteCommand kByteCommands[] = {
    {')', 0x6E, 0, 127, 1, 2},  {'(', 0x6F, 0, 127, 1, 2}, {'}', 0x68, 0, 127, 1, 1}, {'{', 0x68, 0, 127, 1, -1},
    {'p', 0x70, -127, 127},     {'Q', 0xE1, 0, 32},        {'m', 0x7A, 0, 8},         {'O', 0x7F, 0, 4},
    {'C', 0x6B, 0, 1},          {'A', 0x6C, 16, 127},      {'H', 0xE2, 0, 1},
};

void byte_command(Compiler& c, const ByteCommand& b) {
  int n = getdeci(c, b.lower, b.upper, b.omitted == kRequired ? 0 : 1);
  if (n == kOmitted) n = b.omitted;
  put(c, b.code);
  put(c, n * b.scale);
}

void length_command(Compiler& c) {
  const int length = getol(c);
  if (length == kOmitted) command_error(c, 2);
  if (length < 1 || length > 255) error(c, 3);  // 0 would play for 65536 ticks
  put(c, 0x6A);
  put(c, length);
  c.slen = length;
}

void volume_command(Compiler& c) {
  const int tv = c.part.parttv;
  const int n = getdeci(c, -tv, 135 - tv, 0);
  put(c, 0x6D);
  put(c, 2 * (n + tv) - 15);
}

// "_" sets the transpose, "__" adds to it, "_v" sets the volume offset.
void underscore_command(Compiler& c) {
  if (accept(c, '_')) {
    put(c, 0x67);
    put(c, getdeci(c, -24, 24, 0));
  } else if (accept(c, 'v') || accept(c, 'V')) {
    c.part.parttv = getdeci(c, -127, 127, 0);
  } else {
    put(c, 0x66);
    put(c, getdeci(c, -95, 95, 0));
  }
}

void tempo_command(Compiler& c) {
  const int bpm = getdeci(c, 6, 255, 0);
  put(c, 0x71);
  put16(c, tempo_word(c, bpm));
  c.part.ndflag = 1;
}

void gate_command(Compiler& c) {
  const int gate = getdeci(c, 0, 255, 0);
  const int least = getdeci(c, 1, 255, 1);
  put(c, 0x72);
  put(c, gate);
  put(c, least == kOmitted ? 1 : least);
}

void detune_command(Compiler& c) {
  const int n = getdeci(c, -32767, 32767, 0);
  if (n >= -128 && n <= 127) {
    put(c, 0x77);
    put(c, n);
  } else {
    put(c, 0x7E);
    put16(c, n);
  }
}

// "M" and "I": a count, and when it is not 0 speed, delay and step.
void vibrato_command(Compiler& c, int code) {
  put(c, code);
  const int count = getdeci(c, -32767, 32767, 0);
  put16(c, count);
  if (count != 0) put_operands(c, {{0, 255}, {0, 255}, {-32767, 32767, 2}});
}

void key_group_command(Compiler& c) {
  put(c, 0xFE);
  put(c, getdeci(c, 0, 16, 0));
  c.part.kb_flag = 1;
}

// "N": the part's name for the track view, quoted or up to the line end.
void text_command(Compiler& c) {
  PartState& p = c.part;
  if (!p.kb_flag) error(c, 23);
  p.ndflag = 1;
  if (getstr(c) == '"') ++c.mmlp;
  put(c, 0xFD);
  const int length_at = c.objp;
  skip(c);
  int length = 0;
  for (; static_cast<unsigned char>(*c.mmlp) >= 0x20 && *c.mmlp != '"'; ++c.mmlp) {
    if (length < 255) {  // the length is one byte; the rest is read over
      put(c, *c.mmlp);
      ++length;
    }
  }
  if (*c.mmlp == '"') ++c.mmlp;
  poke(c, length_at, length);
}

// One octave up or down; an octave already past the end is error 8, so a
// note can still be reached from one step beyond it.
void octave_step(Compiler& c, int by) {
  PartState& p = c.part;
  if ((by > 0 && p.octave > 8) || (by < 0 && p.octave < 1)) error(c, 8);
  p.octave += by;
}

}  // namespace

bool control_command(Compiler& c, char letter) {
  for (const ByteCommand& b : kByteCommands) {
    if (b.letter == letter) {
      byte_command(c, b);
      return true;
    }
  }
  PartState& p = c.part;
  switch (letter) {
    case 'l': length_command(c); break;
    case 'v':
    case 'V': volume_command(c); break;
    case '_': underscore_command(c); break;
    case 't': tempo_command(c); break;
    case 'q': gate_command(c); break;
    case 'D': detune_command(c); break;
    case 'M': vibrato_command(c, 0x76); break;
    case 'I': vibrato_command(c, 0xE8); break;
    case 'K': key_group_command(c); break;
    case 'N': text_command(c); break;
    case 'o': p.octave = getdeci(c, 1, 8, 0); break;
    case '>': octave_step(c, 1); break;
    case '<': octave_step(c, -1); break;
    case '%': {
      const int n = getdeci(c, 0, 1, 1);
      p.cmf2 = n == kOmitted ? p.cmf2 ^ 1 : n;
      break;
    }
    default: return false;
  }
  return true;
}

}  // namespace kvt::compiler
