// One compilation from start to finish: an MML file and a voice
// configuration in, a song data file out, every message in `text`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "error_report.h"

namespace kvt::compiler {

// 0 when the song data file was written, 1 after an error, whose place goes
// to `place` unless it is null.
int compile_file(const char* mmlfile, const char* cfgfile, char* text, std::size_t text_size,
                 ErrorPlace* place = nullptr);

// The same from a source and a configuration image in memory; the object
// goes to `object` instead of a file.
int compile_buffers(std::string_view source, const std::vector<std::uint8_t>& config, char* text, std::size_t text_size,
                    std::vector<std::uint8_t>& object);

}  // namespace kvt::compiler
