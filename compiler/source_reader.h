// Reading the MML source: the source buffer, lines and comment regions,
// line headers, the token reader with macros, numbers and note lengths.
#pragma once

#include <string_view>

#include "compiler_context.h"

namespace kvt::compiler {

inline constexpr int kOmitted = -32768;  // a number or length that was not given

// "\r\n", the file's bytes, "\r\n" and the end mark.
void load_source(Compiler& c, std::string_view file);

const char* nextcr(Compiler& c, const char* p);
const char* partcr(Compiler& c, const char* p);
// Starts reading the lines of part `letter` of `group` ("$", "T", "V" and
// "!" are the special parts); returns the first line's command text.
const char* parttop(Compiler& c, char letter, char group);

char lookstr(Compiler& c);
char getstr(Compiler& c);
char nextstr(Compiler& c);
// Consumes the next character when it is `ch` (blanks and comments skipped).
bool accept(Compiler& c, char ch);

int macrostr(char name);  // -1 for a bad name
void define_macros(Compiler& c);
// After a "$" in command text: reads the name and continues in the body.
void call_macro(Compiler& c);

int getdeci(Compiler& c, int lower, int upper, int nflag);
int getol(Compiler& c);

}  // namespace kvt::compiler
