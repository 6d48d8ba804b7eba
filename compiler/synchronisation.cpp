#include "synchronisation.h"

#include "error_report.h"
#include "messages.h"
#include "object_writer.h"

namespace kvt::compiler {
namespace {

constexpr std::int64_t kPiece = 255;
constexpr std::int64_t kLongestWait = kPiece * kPiece * kPiece;

bool targets(const SendRecord& s, int part) { return (s.mask[part / 16] >> (part % 16)) & 1; }

bool consumed(const SendRecord& s) { return (s.mask[0] | s.mask[1] | s.mask[2] | s.mask[3]) == 0; }

// The unresolved wait with the smallest step, the first among equals.
WaitRecord* next_wait(Compiler& c) {
  WaitRecord* best = nullptr;
  for (int i = 0; i < c.wait_count; ++i) {
    WaitRecord& w = c.waits[i];
    if (!w.resolved && (best == nullptr || w.step < best->step)) best = &w;
  }
  return best;
}

SendRecord* send_for(Compiler& c, int part) {
  SendRecord* best = nullptr;
  for (int i = 0; i < c.send_count; ++i) {
    SendRecord& s = c.sends[i];
    if (targets(s, part) && (best == nullptr || s.step < best->step)) best = &s;
  }
  return best;
}

// Errors of a wait point at the wait.
[[noreturn]] void wait_error(Compiler& c, const WaitRecord& w, int ecode) {
  c.partname2 = static_cast<char>('0' + w.part / 16);
  c.partname = static_cast<char>('A' + w.part % 16);
  c.linenum = w.linenum;
  c.befchr = w.befchr;
  c.mmlstr = w.mark;
  error(c, ecode);
}

// Writes a rest of `length` steps at `pos` as repeats of 255-step rests;
// returns the bytes inserted.
int insert_rest(Compiler& c, int pos, std::int64_t length) {
  const int start = pos;
  auto insert = [&](std::initializer_list<int> bytes) {
    const int n = static_cast<int>(bytes.size());
    insobj(c, pos, n);
    for (int b : bytes) poke(c, pos++, b);
  };
  if (length > kPiece * kPiece) {
    insert({0x60, static_cast<int>(length / (kPiece * kPiece)), 0x60, 0xFF, 0x75, 0xFF, 0x61, 0x61});
    length %= kPiece * kPiece;
  }
  if (length > kPiece) {
    insert({0x60, static_cast<int>(length / kPiece), 0x75, 0xFF, 0x61});
    length %= kPiece;
  }
  if (length > 0) insert({0x75, static_cast<int>(length)});
  return pos - start;
}

void resolve(Compiler& c, WaitRecord& w) {
  SendRecord* s = send_for(c, w.part);
  if (s == nullptr) wait_error(c, w, 20);
  if (s->step < w.step) wait_error(c, w, 21);
  const std::int64_t delay = s->step - w.step;
  if (delay > 0) {
    if (delay > kLongestWait) wait_error(c, w, 22);
    const int inserted = insert_rest(c, w.pos, delay);
    for (WaitRecord* later = &w; later < c.waits + c.wait_count; ++later) later->pos += inserted;
    for (int i = 0; i < c.wait_count; ++i) {
      if (!c.waits[i].resolved && c.waits[i].part == w.part) c.waits[i].step += delay;
    }
    for (int i = 0; i < c.send_count; ++i) {
      if (!consumed(c.sends[i]) && c.sends[i].part == w.part) c.sends[i].step += delay;
    }
    c.stepch[w.part] += delay;
    if (w.steps < 0 && c.stepsch[w.part] >= 0) c.stepsch[w.part] += delay;
  }
  w.resolved = true;
  s->mask[w.part / 16] &= static_cast<std::uint16_t>(~(1u << (w.part % 16)));
}

}  // namespace

void synchronise(Compiler& c) {
  append(c, "Analyze sync-command ... \n");
  while (WaitRecord* w = next_wait(c)) resolve(c, *w);
  for (int part = 0; part < kParts; ++part) {
    if (!c.wflag[part]) continue;
    const std::int64_t loop = c.stepsch[part] < 0 ? 0 : c.stepch[part] - c.stepsch[part];
    append(c, "Wait %c%c Part - Step %7ld (%7ld)  ", '0' + part / 16, 'A' + part % 16,
           static_cast<long>(c.stepch[part]), static_cast<long>(loop));
    end_progress_entry(c);
  }
  end_progress(c);
}

}  // namespace kvt::compiler
