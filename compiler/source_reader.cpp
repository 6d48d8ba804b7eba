#include "source_reader.h"

#include "error_report.h"
#include "messages.h"

namespace kvt::compiler {
namespace {

bool is_special(char part) { return part == '$' || part == 'T' || part == 'V' || part == '!'; }

// Past the next line feed, or at the end mark.
const char* next_line(Compiler& c, const char* p) {
  while (*p != '\n' && *p != kEndMark) ++p;
  if (*p == kEndMark) return p;
  ++c.linenum;
  return p + 1;
}

bool header_ends_unread(char ch) { return static_cast<unsigned char>(ch) <= 0x20 || static_cast<unsigned char>(ch) >= 0x80; }

// Reads the line header at `p`; returns the command text when the line
// belongs to the current part, else nothing.
const char* read_header(Compiler& c, const char* p) {
  const int line_start_grp = c.partname2 == '0' ? 2 : 0;
  int grp = line_start_grp;
  bool inbr = false, found = false;
  const bool special = is_special(c.partname);
  while (!header_ends_unread(*p)) {
    const char ch = *p++;
    if (ch == '%') {
      c.cmf1 ^= 1;
      break;
    }
    if (ch >= '0' && ch <= '3') {
      if (grp == 2) grp = 0;
      if (ch == c.partname2) grp = 1;
    } else if (ch == '[') {
      inbr = true;
    } else if (ch == ']') {
      inbr = false;
      grp = line_start_grp;
    } else if (special) {
      found = ch == c.partname && grp > 0;
      break;
    } else if (ch >= 'A' && ch <= 'P') {
      if (ch == c.partname && grp > 0) {
        found = true;
        c.wcflag = 1;
      }
      if (!inbr) grp = line_start_grp;
    } else {
      if (ch == '?' && (c.wcflag || c.partname2 == '0')) found = true;
      break;
    }
  }
  return found ? p : nullptr;
}

bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }

// The read position with its line; inside a macro body that is the body's
// own line, so that an error mark lines up with what it points at.
SourceMark here(const Compiler& c) { return {c.mmlp, c.macroflag ? c.macro_top : c.mmlltop}; }

// A bad or undefined macro name is marked at the name, one after the "$".
[[noreturn]] void macro_name_error(Compiler& c, int ecode) {
  c.mmlstr.at = c.mmlp;
  error(c, ecode);
}

}  // namespace

void load_source(Compiler& c, std::string_view file) {
  c.mmldata.clear();
  c.mmldata.reserve(file.size() + 16);
  c.mmldata.insert(c.mmldata.end(), {'\r', '\n'});
  c.mmldata.insert(c.mmldata.end(), file.begin(), file.end());
  c.mmldata.insert(c.mmldata.end(), {'\r', '\n', kEndMark});
  c.mmlp = c.mmlltop = c.mmldata.data();
}

const char* nextcr(Compiler& c, const char* p) {
  p = next_line(c, p);
  while (*p == '/') {
    // A comment region, up to and including a line that starts with "*".
    do {
      p = next_line(c, p);
      if (*p == kEndMark) return p;
    } while (*p != '*');
    p = next_line(c, p);
  }
  if (*p != kEndMark) c.mmlltop = p;
  return p;
}

const char* partcr(Compiler& c, const char* p) {
  for (;;) {
    p = nextcr(c, p);
    if (*p == kEndMark) return p;
    if (const char* text = read_header(c, p)) return text;
  }
}

const char* parttop(Compiler& c, char letter, char group) {
  c.partname = letter;
  c.partname2 = group;
  c.linenum = 0;
  c.wcflag = 0;
  c.cmf1 = 0;
  c.macroflag = 0;
  const char* text = partcr(c, c.mmldata.data());
  c.mmlp = text;
  c.mmlstr = c.mmlcmd = {text, text - 1};
  return text;
}

char lookstr(Compiler& c) {
  for (;;) {
    const char ch = *c.mmlp;
    if (ch == ' ' || ch == '\t') {
      ++c.mmlp;
    } else if (ch == '\r' || ch == '\n' || ch == ';' || ch == '\0' || ch == kEndMark) {
      if (c.macroflag) {
        // The body ends; reading goes on after the call.
        c.macroflag = 0;
        c.mmlp = c.mmlpstac;
      } else if (ch == '\0' || ch == kEndMark) {
        return ch;
      } else {
        c.mmlp = partcr(c, c.mmlp);
      }
    } else {
      return ch;
    }
  }
}

char getstr(Compiler& c) {
  for (;;) {
    const char ch = lookstr(c);
    if (ch == '/' && c.mmlp[1] == '*') {
      c.mmlp += 2;
      for (;;) {
        const char in = lookstr(c);
        if (in == kEndMark || in == '\0') break;
        if (in == '*' && c.mmlp[1] == '/') {
          c.mmlp += 2;
          break;
        }
        ++c.mmlp;
      }
      continue;
    }
    c.mmlstr = here(c);
    c.befchr = ch;
    return ch;
  }
}

char nextstr(Compiler& c) {
  const char ch = getstr(c);
  if (ch != kEndMark) ++c.mmlp;
  return ch;
}

bool accept(Compiler& c, char ch) {
  if (getstr(c) != ch) return false;
  ++c.mmlp;
  return true;
}

int macrostr(char name) {
  if (name >= 'A' && name <= 'Z') return name - 'A';
  if (name >= 'a' && name <= 'z') return name - 'a' + 26;
  if (name >= '0' && name <= '9') return name - '0' + 52;
  return -1;
}

void define_macros(Compiler& c) {
  append(c, "Set $ Part .... ");
  int count = 0;
  for (const char* p = parttop(c, '$', '0'); *p != kEndMark; p = partcr(c, p)) {
    c.mmlstr = {p, c.mmlltop};
    const int index = macrostr(*p);
    if (index < 0) error(c, 6);
    c.macro[index] = p + 1;
    c.macro_line[index] = c.mmlltop;
    ++count;
  }
  append(c, "%d Macro is defined.\n", count);
}

void call_macro(Compiler& c) {
  const char name = *c.mmlp;
  const int index = macrostr(name);
  if (index < 0) macro_name_error(c, 6);
  if (c.macroflag) error(c, 9);  // marked at the "$" of the nested call
  if (c.macro[index] == nullptr) macro_name_error(c, 5);
  c.mmlpstac = c.mmlp + 1;
  c.macroflag = 1;
  c.macro_top = c.macro_line[index];
  c.mmlp = c.macro[index];
}

int getdeci(Compiler& c, int lower, int upper, int nflag) {
  const char* entry = c.mmlp;
  const char* entry_line = c.mmlltop;
  const int entry_linenum = c.linenum;
  bool comma = false;
  if (getstr(c) == ',') {
    ++c.mmlp;
    comma = true;
  }
  const bool negative = getstr(c) == '-';
  c.mmlnum = here(c);
  c.numlen = 0;
  if (negative) ++c.mmlp;
  long value = 0;
  while (is_digit(*c.mmlp)) {
    if (++c.numlen > 5) error(c, 3);
    value = value * 10 + (*c.mmlp++ - '0');
  }
  if (c.numlen == 0) {
    c.mmlltop = entry_line;
    c.linenum = entry_linenum;
    if (nflag == 1) {
      c.mmlp = entry + (comma ? 1 : 0);
      return kOmitted;
    }
    c.mmlp = entry;
    c.mmlstr = {entry, entry_line};
    error(c, 2);
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767 || value < lower || value > upper) error(c, 3);
  return static_cast<int>(value);
}

int getol(Compiler& c) {
  enum class State { nothing, operator_pending, term_read } state = State::nothing;
  long sum = 0;
  int sign = 1;
  long last = 0;
  long dot_divisor = 2;
  auto add_term = [&](long term) {
    sum += sign * term;
    last = term;
    dot_divisor = 2;
    state = State::term_read;
  };
  for (;;) {
    const char ch = getstr(c);
    if (is_digit(ch)) {
      const int n = getdeci(c, 0, 255, 0);
      add_term(n == 0 ? 0 : c.zlen / n);
    } else if (ch == '~') {
      ++c.mmlp;
      add_term(getdeci(c, 0, 255, 0));
    } else if (ch == '.') {
      ++c.mmlp;
      if (state != State::term_read) add_term(c.slen);
      sum += sign * (last / dot_divisor);
      if (dot_divisor < (long{1} << 40)) dot_divisor *= 2;  // further dots add nothing
    } else if (ch == '^' || ch == '-') {
      ++c.mmlp;
      if (state != State::term_read) sum += sign * c.slen;
      sign = ch == '^' ? 1 : -1;
      state = State::operator_pending;
    } else {
      break;
    }
  }
  if (state == State::nothing) return kOmitted;
  if (state == State::operator_pending) sum += sign * c.slen;
  if (sum < 0) error(c, 3);
  return static_cast<int>(sum);
}

}  // namespace kvt::compiler
