// The commands of a part's text, by family. The command loop reads the
// command character and calls these with the read position after it.
#pragma once

#include <cstdint>

#include "compiler_context.h"

namespace kvt::compiler {

// Notes, rests, ties and voice choice.
void note_command(Compiler& c, char letter);  // "a" to "g", "n", "r", "R"
void tie_command(Compiler& c);                // "&"
void voice_command(Compiler& c);              // "@"
void split_command(Compiler& c);              // "G..."

// Settings that emit one command each, and the silent ones.
// True when `letter` was one of them.
bool control_command(Compiler& c, char letter);

// Envelope, pitch swing, volume sequence and the effect units.
void swing_command(Compiler& c);     // "P"
void envelope_command(Compiler& c);  // "E"
void sequence_command(Compiler& c);  // "F"
void sharp_command(Compiler& c);     // "#..."

// Loops, easy calls, the loop point, waits and sends.
// True when `letter` was one of them.
bool structure_command(Compiler& c, char letter);
// Adds steps where they count now: the part, or the open loop's section.
void add_steps(Compiler& c, std::int64_t steps);
// After the part's text: loop checks, the end command, the progress entry.
void finish_part(Compiler& c, int part);

// The part loop: all 64 parts, one after another.
void compile_parts(Compiler& c);

}  // namespace kvt::compiler
