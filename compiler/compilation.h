// One compilation from start to finish: an MML file and a voice
// configuration in, a song data file out, every message in `text`.
#pragma once

#include <cstddef>

namespace kvt::compiler {

// 0 when the song data file was written, 1 after an error.
int compile_file(const char* mmlfile, const char* cfgfile, char* text, std::size_t text_size);

}  // namespace kvt::compiler
