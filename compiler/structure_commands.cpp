// Loops, the easy call, the loop point, waits and sends, and the end of a
// part. Loops are emitted as repeats and also counted out, so that every
// part's length in steps is known for the progress text and for waits.
#include "error_report.h"
#include "messages.h"
#include "object_writer.h"
#include "part_commands.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

// Far beyond any song; keeps the step sums of deep loops from overflowing.
constexpr std::int64_t kStepLimit = std::int64_t{1} << 40;

void loop_open(Compiler& c) {
  PartState& p = c.part;
  if (p.lpnest >= kLoopDepth) error(c, 10);
  put(c, 0x60);
  p.lcptr[p.lpnest] = c.objp;
  skip(c);
  p.steplp[p.lpnest][0] = p.steplp[p.lpnest][1] = 0;
  p.loflag[p.lpnest] = 0;
  p.lcmark[p.lpnest] = c.mmlcmd;
  p.lcline[p.lpnest] = c.linenum;
  ++p.lpnest;
  if (p.lpnest + p.ecn2 > p.ecn1) p.ecn2 = p.lpnest - p.ecn1;
  p.pm_flag = 1;
}

void loop_break(Compiler& c) {
  PartState& p = c.part;
  if (p.lpnest == 0) error(c, 12);
  put(c, 0x62);
  p.loflag[p.lpnest - 1] = 1;
}

void loop_close(Compiler& c) {
  PartState& p = c.part;
  if (p.lpnest == 0) error(c, 11);
  const int level = --p.lpnest;
  put(c, 0x61);
  const int count = getdeci(c, 2, 255, 0);
  poke(c, p.lcptr[level], count);
  add_steps(c, p.steplp[level][0] * count + p.steplp[level][1] * (count - 1));
  p.pm_flag = 1;
}

void call_mark(Compiler& c) {
  PartState& p = c.part;
  put(c, 0x63);
  p.ec = 1;
  p.ecc = p.step;
  p.ecn1 = p.lpnest;
  p.ecn2 = 0;
  p.pm_flag = 1;
}

void call_return(Compiler& c) {
  PartState& p = c.part;
  put(c, 0x64);
  if (p.ec != 1) error(c, 14);
  p.ec = 2;
  if (p.lpnest != p.ecn1) error(c, 14);
  p.ecc = p.step - p.ecc;
}

void call(Compiler& c) {
  PartState& p = c.part;
  put(c, 0x65);
  if (p.ec != 2) error(c, 14);
  if (p.lpnest + p.ecn2 > kLoopDepth) error(c, 10);
  add_steps(c, p.ecc);
  p.pm_flag = 1;
}

void loop_point(Compiler& c) {
  PartState& p = c.part;
  p.lpoint = c.objp;
  put(c, 0x79);
  p.steps = p.step;
  p.pm_flag = 1;
}

int part_index(char group, char letter) { return (group - '0') * 16 + (letter - 'A'); }

int current_part(const Compiler& c) { return part_index(c.partname2, c.partname); }

void wait(Compiler& c) {
  PartState& p = c.part;
  if (p.lpnest > 0 || p.ec == 1) error(c, 16);
  if (c.wait_count >= kSyncRecords) error(c, 18);
  const int part = current_part(c);
  c.wflag[part] = 1;
  c.waits[c.wait_count++] = {part, p.step, p.steps, c.objp, c.befchr, c.linenum, c.mmlcmd};
}

bool is_part_letter(char ch) { return (ch >= 'A' && ch <= 'P') || (ch >= 'a' && ch <= 'p'); }

void add_target(std::uint16_t (&mask)[4], char group, char letter) {
  const int bit = letter >= 'a' ? letter - 'a' : letter - 'A';
  mask[group - '0'] |= static_cast<std::uint16_t>(1u << bit);
}

// The parts a send releases: one part, a whole group, or a quoted list.
void read_targets(Compiler& c, std::uint16_t (&mask)[4]) {
  char group = '0';
  char ch = getstr(c);
  const bool digit = ch >= '0' && ch <= '3';
  if (digit) {
    group = ch;
    ++c.mmlp;
    ch = getstr(c);
  }
  if (ch == '?') {
    ++c.mmlp;
    mask[group - '0'] = 0xFFFF;
  } else if (is_part_letter(ch)) {
    ++c.mmlp;
    add_target(mask, group, ch);
  } else if (ch == '"') {
    if (digit) error(c, 2);
    ++c.mmlp;
    for (ch = nextstr(c); ch != '"'; ch = nextstr(c)) {
      group = '0';
      if (ch >= '0' && ch <= '3') {
        group = ch;
        ch = nextstr(c);
      }
      if (!is_part_letter(ch)) error(c, 2);
      add_target(mask, group, ch);
    }
  } else {
    error(c, 25);
  }
}

// The target comes first: a bad one is reported before the place of the
// send, and those errors are marked at the target.
void send(Compiler& c) {
  PartState& p = c.part;
  SendRecord s{current_part(c), p.step, c.befchr, {}, c.linenum, c.mmlcmd};
  read_targets(c, s.mask);
  if (p.lpnest > 0 || p.ec == 1) error(c, 17);
  if (c.send_count >= kSyncRecords) error(c, 19);
  s.mask[s.part / 16] &= static_cast<std::uint16_t>(~(1u << (s.part % 16)));
  c.sends[c.send_count++] = s;
}

// A part that is left out takes its waits along: a rest inserted there
// would land in the part after it.
void drop_waits(Compiler& c, int part) {
  while (c.wait_count > 0 && c.waits[c.wait_count - 1].part == part) --c.wait_count;
  c.wflag[part] = 0;
}

}  // namespace

void add_steps(Compiler& c, std::int64_t steps) {
  PartState& p = c.part;
  std::int64_t& sum = p.lpnest == 0 ? p.step : p.steplp[p.lpnest - 1][p.loflag[p.lpnest - 1]];
  sum += steps;
  if (sum > kStepLimit) error(c, 3);
}

bool structure_command(Compiler& c, char letter) {
  switch (letter) {
    case '[': loop_open(c); break;
    case ':': loop_break(c); break;
    case ']': loop_close(c); break;
    case 'S': call_mark(c); break;
    case 'T': call_return(c); break;
    case 'U': call(c); break;
    case 'L': loop_point(c); break;
    case 'w': wait(c); break;
    case 's': send(c); break;
    default: return false;
  }
  return true;
}

void finish_part(Compiler& c, int part) {
  PartState& p = c.part;
  if (p.lpnest > 0) {
    // Point at the loop left open rather than at the end of the text.
    c.mmlstr = p.lcmark[p.lpnest - 1];
    c.linenum = p.lcline[p.lpnest - 1];
    error(c, 13);
  }
  if (p.objv >= 0) {
    poke(c, p.objv - 1, 0x6E);  // volume up by 0
    poke(c, p.objv, 0);
  }
  const int entry = kPartTable + 2 * part;
  if (c.objp == p.start || (p.step == 0 && p.ndflag == 0)) {
    poke16(c, entry, 0xFFFF);
    drop_waits(c, part);
    return;
  }
  if (p.steps == p.step && p.lpoint >= 0) poke(c, p.lpoint, 0xE5);  // nothing to loop
  skip(c);
  c.stepch[part] = p.step;
  c.stepsch[part] = p.steps;
  if (p.steps < 0) p.steps = p.step;
  append(c, "Fin. %c%c Part - ", c.partname2, c.partname);
  if (c.wflag[part]) {
    append(c, "Step unknown,w is found.");
  } else {
    append(c, "Step %7ld (%7ld)  ", static_cast<long>(p.step), static_cast<long>(p.step - p.steps));
  }
  end_progress_entry(c);
}

}  // namespace kvt::compiler
