// The voice configuration (".CFB") as the compiler reads it: the PCM voice
// index with keys and names, and the multi-sample split lists.
#pragma once

#include "compiler_context.h"

namespace kvt::compiler {

inline constexpr std::size_t kSplitRecord = 6;  // voice word, volume, transpose, low key, high key

// Fills the tables from c.pCfg. Returns false when the image is damaged:
// counts above the tables, or an offset, name or split list outside it.
bool read_config(Compiler& c);

}  // namespace kvt::compiler
