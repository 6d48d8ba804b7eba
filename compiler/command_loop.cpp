// The part loop: every part's text is read from the top of the source and
// compiled one command at a time.
#include "error_report.h"
#include "object_writer.h"
#include "part_commands.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

constexpr int kCommandRoom = 16;

bool is_note(char ch) { return (ch >= 'a' && ch <= 'g') || ch == 'n'; }

void dispatch(Compiler& c, char ch) {
  if (is_note(ch) || ch == 'r' || ch == 'R') return note_command(c, ch);
  switch (ch) {
    case '&': return tie_command(c);
    case '@': return voice_command(c);
    case 'G': return split_command(c);
    case 'P': return swing_command(c);
    case 'E': return envelope_command(c);
    case 'F': return sequence_command(c);
    case '#': return sharp_command(c);
    case '$': return call_macro(c);
    default: break;
  }
  if (!structure_command(c, ch) && !control_command(c, ch)) error(c, 2);
}

void compile_part(Compiler& c, char group, char letter) {
  const int part = (group - '0') * 16 + (letter - 'A');
  c.part = PartState{};
  c.part.start = c.objp;
  c.slen = c.zlen / 4;
  poke16(c, kPartTable + 2 * part, c.objp);
  parttop(c, letter, group);
  for (;;) {
    need_room(c, kCommandRoom);
    const char ch = nextstr(c);
    if (ch == kEndMark) break;
    c.mmlcmd = c.mmlstr;
    c.cmdline = c.linenum;
    dispatch(c, ch);
    if (!is_note(ch)) c.part.tieflag = 1;
  }
  finish_part(c, part);
}

}  // namespace

void compile_parts(Compiler& c) {
  for (char group = '0'; group <= '3'; ++group) {
    for (char letter = 'A'; letter <= 'P'; ++letter) compile_part(c, group, letter);
  }
}

}  // namespace kvt::compiler
