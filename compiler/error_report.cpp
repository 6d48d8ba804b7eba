#include "error_report.h"

#include <algorithm>

#include "messages.h"

namespace kvt::compiler {
namespace {

enum class Mark { none, token, command, number };

struct ErrorText {
  int ecode;
  const char* message;  // Shift-JIS where Japanese
  bool line;
  Mark mark;
};

constexpr ErrorText kErrors[] = {
    // "Out of memory."
    {0, "\203\201\203\202\203\212\202\252\225s\221\253\202\265\202\304\202\242\202\334\202\267.\n", false, Mark::token},
    // "File not found."
    {1, "\203t\203@\203C\203\213\202\252\214\251\202\302\202\251\202\350\202\334\202\271\202\361.\n", false, Mark::none},
    // "Syntax error."
    {2, "\215\134\225\266\203G\203\211\201[\202\305\202\267.", true, Mark::token},
    // "Number out of range."
    {3, "\220\224\222l\202\252\216w\222\350\224\315\210\315\202\360\211z\202\246\202\304\202\242\202\334\202\267.", true,
     Mark::number},
    // "Undefined macro used."
    {5, "\226\242\222\350\213`\202\314\203}\203N\203\215\202\252\216g\227p\202\263\202\352\202\334\202\265\202\275.", true,
     Mark::token},
    // "Bad macro name."
    {6, "\203}\203N\203\215\226\274\202\252\210\331\217\355\202\305\202\267.", true, Mark::token},
    {7, "Too many voice names\n", false, Mark::token},
    {8, "Out of octave ", true, Mark::token},
    {9, "Nesting Macro ", true, Mark::token},
    {10, "Too Many loops ", true, Mark::token},
    {11, " ] without [ ", true, Mark::token},
    {12, " : without [ ", true, Mark::token},
    {13, " [ without ] ", true, Mark::token},
    {14, " Easy call error ", true, Mark::token},
    {15, " & after command,r ", true, Mark::token},
    {16, " w must be out of loop ", true, Mark::token},
    {17, " s must be out of loop ", true, Mark::token},
    {18, " Too many w ", true, Mark::token},
    {19, " Too many s ", true, Mark::token},
    {20, " Send not found ", true, Mark::token},
    {21, " w found after s ", true, Mark::token},
    {22, " Wait step is too long ", true, Mark::token},
    {23, " N without K ", true, Mark::token},
    {25, "Syntax error ", true, Mark::command},
    {26, "Undefined Voice Number ", true, Mark::token},
    // "Index beyond the samples of the current voice."
    {27, "\214\273\215\335\202\314\211\271\220F\202\305\220\335\222\350\202\263\202\352\202\304\202\242\202\351\203T\203\223"
         "\203v\203\213\220\224\202\360\211z\202\246\202\275\216w\222\350\202\305\202\267.",
     true, Mark::token},
};

constexpr ErrorText kOtherError{-1, "Other Error ", true, Mark::token};

const ErrorText& error_text(int ecode) {
  for (const ErrorText& e : kErrors) {
    if (e.ecode == ecode) return e;
  }
  return kOtherError;
}

bool line_end(char ch) { return ch == '\r' || ch == '\n' || ch == 0x1A; }

// The source line of the mark, then a line that points at the mark.
void show_mark(Compiler& c, const SourceMark& m, int width) {
  if (m.at == nullptr || m.line == nullptr || c.linenum == 0) return;
  const char* end = m.line;
  while (!line_end(*end)) ++end;
  append_bytes(c, m.line, static_cast<std::size_t>(end - m.line));
  append_bytes(c, "\n", 1);
  for (const char* p = m.line; p < m.at; ++p) append_bytes(c, " ", 1);
  for (int i = 0; i < width; ++i) append_bytes(c, "~", 1);
}

// The source holds the file after two bytes of its own (see load_source).
constexpr std::size_t kSourceStart = 2;

// Where the mark that show_mark shows is in the file: on the line it shows,
// even where the mark stands past that line's end (an error found at the
// end of the file).
ErrorPlace place_of(const Compiler& c, const SourceMark& m, const char* message) {
  ErrorPlace place{0, 0, message};
  if (m.at == nullptr || m.line == nullptr || c.linenum == 0 || c.mmldata.size() <= kSourceStart) return place;
  const char* file = c.mmldata.data() + kSourceStart;
  if (m.line < file || m.at < m.line || m.at >= c.mmldata.data() + c.mmldata.size()) return place;
  place.line = 1 + static_cast<int>(std::count(file, m.line, '\n'));
  place.column = static_cast<int>(m.at - m.line) + 1;
  return place;
}

const SourceMark* mark_of(const Compiler& c, Mark mark) {
  switch (mark) {
    case Mark::none: return nullptr;
    case Mark::token: return &c.mmlstr;
    case Mark::command: return &c.mmlcmd;
    case Mark::number: return &c.mmlnum;
  }
  return nullptr;
}

}  // namespace

void error(Compiler& c, int ecode) {
  if (c.putcnt == 1) append(c, "\n");
  const ErrorText& e = error_text(ecode);
  append(c, "ERROR! %s", e.message);
  if (e.line) {
    const char group = c.partname > 'P' ? ' ' : c.partname2;
    append(c, " Line = %d , Part:%c%c\n", c.linenum, group, c.partname);
  }
  const SourceMark* mark = mark_of(c, e.mark);
  if (mark != nullptr) show_mark(c, *mark, e.mark == Mark::number ? c.numlen : 1);
  c.error_place = mark != nullptr ? place_of(c, *mark, e.message) : ErrorPlace{0, 0, e.message};
  // Free what this compilation holds, newest first.
  if (c.mallev >= 3) c.pCfg = {};
  if (c.mallev >= 2) c.mmldata = {};
  if (c.mallev >= 1) c.objdata = {};
  c.mallev = 0;
  throw CompileError{ecode};
}

void command_error(Compiler& c, int ecode) {
  c.mmlstr = c.mmlcmd;
  c.linenum = c.cmdline;
  error(c, ecode);
}

}  // namespace kvt::compiler
