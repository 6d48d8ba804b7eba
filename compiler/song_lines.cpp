#include "song_lines.h"

#include <cstring>

#include "error_report.h"
#include "messages.h"
#include "object_writer.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

constexpr int kTitleOffset = 0x0B;
constexpr int kLongestName = 63;

bool line_end(char ch) { return ch == '\r' || ch == '\n' || ch == kEndMark; }
// Where a number is read next: the number reader takes a ";" for the end of
// the line and would go on to the next voice line.
bool no_number_here(char ch) { return line_end(ch) || ch == ';'; }
bool blank(char ch) { return ch == ' ' || ch == '\t'; }
bool separator(char ch) { return blank(ch) || ch == ',' || ch == ':'; }
bool ends_name(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  return u <= 0x20 || u >= 0x80 || ch == ',' || ch == ':';
}

const char* skip_blanks(const char* p) {
  while (blank(*p)) ++p;
  return p;
}

// Pass one: a voice line holds a number, a comma and something after it.
// The first line without a number ends the voice lines.
int count_voice_lines(Compiler& c) {
  int count = 0;
  for (const char* p = parttop(c, 'V', '0'); *p != kEndMark; p = partcr(c, p)) {
    c.mmlp = p;
    if (no_number_here(*skip_blanks(p))) break;
    if (getdeci(c, 0, 255, 1) == kOmitted) break;
    c.mmlp = skip_blanks(c.mmlp);
    c.mmlstr = {c.mmlp, c.mmlltop};
    if (*c.mmlp != ',') error(c, 2);
    c.mmlp = skip_blanks(c.mmlp + 1);
    c.mmlstr = {c.mmlp, c.mmlltop};
    if (line_end(*c.mmlp)) error(c, 2);
    if (++count >= kMmlVoices) error(c, 7);
  }
  return count;
}

// Pass two: "n, file [\key]" defines voice n as definition `index`.
void define_voice(Compiler& c, const char* p, int index) {
  c.mmlp = p;
  const int n = getdeci(c, 0, 255, 0);
  const char* name = c.mmlp;
  while (separator(*name)) ++name;
  c.mmlstr = {name, c.mmlltop};
  if (line_end(*name)) error(c, 2);
  const char* end = name;
  while (!ends_name(*end)) ++end;
  if (end - name > kLongestName) {
    c.mmlnum = c.mmlstr;
    c.numlen = static_cast<int>(end - name);
    error(c, 3);
  }
  std::memcpy(c.v_file[index], name, static_cast<std::size_t>(end - name));
  c.v_file[index][end - name] = '\0';
  c.v_key[index] = 0xFF;
  const char* rest = end;
  while (separator(*rest)) ++rest;
  if (!line_end(*rest)) {
    c.mmlstr = {rest, c.mmlltop};
    if (*rest != '\\') error(c, 2);
    c.mmlp = skip_blanks(rest + 1);
    c.mmlstr = {c.mmlp, c.mmlltop};
    if (no_number_here(*c.mmlp)) error(c, 2);
    c.v_key[index] = static_cast<std::uint8_t>(getdeci(c, 0, 95, 0));
  }
  c.v_point[n] = index;
  c.pcm_define[kConfigVoices + index] = 1;
}

}  // namespace

void read_tempo_line(Compiler& c) {
  c.tempo = 120;
  c.zlen = 192;
  const char* p = parttop(c, 'T', '0');
  if (*p == kEndMark) return;
  c.tempo = getdeci(c, 6, 255, 0);
  c.zlen = getdeci(c, 1, 255, 0);
  if (c.zlen < 4) error(c, 3);  // a quarter note must last at least one step
}

void read_voice_lines(Compiler& c) {
  std::fill(std::begin(c.v_point), std::end(c.v_point), -1);
  c.voice_lines = count_voice_lines(c);
  append(c, "%d Voice setting.\n", c.voice_lines);
  const char* p = parttop(c, 'V', '0');
  for (int i = 0; i < c.voice_lines; ++i, p = partcr(c, p)) define_voice(c, p, i);
}

void write_title(Compiler& c) {
  const char* p = parttop(c, '!', '0');
  c.title_line = *p != kEndMark;
  if (!c.title_line) {
    skip(c);
    return;
  }
  append(c, "Set ! part .... ");
  poke16(c, kTitleOffset, c.objp);
  const int length_at = c.objp;
  skip(c);
  while (static_cast<unsigned char>(*p) < 0x21 && !line_end(*p)) ++p;
  if (line_end(*p)) {
    append(c, "Skipped.\n");
  } else {
    if (*p == '"') ++p;  // an opening quote only: a closing one is part of the title
    int length = 0;
    for (; static_cast<unsigned char>(*p) >= 0x20; ++p) {
      if (length < 255) {  // the length is one byte
        put(c, *p);
        ++length;
      }
    }
    poke(c, length_at, length);
    append(c, "Defined.\n");
    put(c, 0xFF);
  }
  skip(c);
}

}  // namespace kvt::compiler
