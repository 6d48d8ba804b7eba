#include "compilation.h"

#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "config_reader.h"
#include "error_report.h"
#include "messages.h"
#include "object_tables.h"
#include "part_commands.h"
#include "paths.h"
#include "regular_file.h"
#include "song_lines.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

// Far more than any source whose object fits; anything larger is refused
// before it is read.
constexpr std::size_t kLargestSource = 64 << 20;

// The whole file, or error 1 when it cannot be read. Only a regular file
// counts: a folder, pipe or device is no source.
std::string read_whole(Compiler& c, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  switch (read_regular_file(path, kLargestSource, bytes)) {
    case FileRead::ok: return std::string(bytes.begin(), bytes.end());
    case FileRead::too_large: error(c, 0);
    default: error(c, 1);
  }
}

// From the loaded source and configuration to the finished object.
void compile_loaded(Compiler& c) {
  if (!read_config(c)) error(c, 1);  // a damaged configuration is as good as none
  define_macros(c);
  read_tempo_line(c);
  read_voice_lines(c);
  c.objp = kFirstPartData;
  write_title(c);
  std::fill(std::begin(c.key_adj), std::end(c.key_adj), 0xFF);
  compile_parts(c);
  end_progress(c);
  write_trailing_tables(c);
  write_header(c);
  append(c, "Compile Completed. Object data is %d bytes.\n", c.objp);
}

void start(Compiler& c, const char* name) {
  append(c, "KVT Music Macro Language Compiler .. %s\n\n", name);
  c.mallev = 0;
  c.objdata.assign(kObjectSize, 0xFF);
  c.mallev = 1;
}

void release(Compiler& c) {
  c.pCfg = {};
  c.mmldata = {};
  c.objdata = {};
  c.mallev = 0;
}

void run(Compiler& c, const char* mmlfile, const char* cfgfile) {
  start(c, mmlfile);
  load_source(c, read_whole(c, resolve_case(opt(mmlfile, ".MML"))));
  c.mallev = 2;
  const std::string config = read_whole(c, resolve_case(opt(cfgfile, ".CFB")));
  c.pCfg.assign(config.begin(), config.end());
  c.mallev = 3;
  compile_loaded(c);
  if (!write_file_atomically(song_path(mmlfile), c.objdata.data(), static_cast<std::size_t>(c.objp))) error(c, 1);
  release(c);
}

// Runs `body` on a fresh compiler: 0 when it finished, 1 after an error.
template <typename Body>
int guarded(char* text, std::size_t text_size, ErrorPlace* place, Body body) {
  std::unique_ptr<Compiler> c(new (std::nothrow) Compiler);
  if (c == nullptr) return 1;
  c->text = text;
  c->text_size = text_size;
  try {
    try {
      body(*c);
    } catch (const std::bad_alloc&) {
      error(*c, 0);
    }
  } catch (const CompileError&) {
    if (place != nullptr) *place = c->error_place;
    return 1;
  }
  return 0;
}

}  // namespace

int compile_file(const char* mmlfile, const char* cfgfile, char* text, std::size_t text_size, ErrorPlace* place) {
  return guarded(text, text_size, place, [&](Compiler& c) { run(c, mmlfile, cfgfile); });
}

int compile_buffers(std::string_view source, const std::vector<std::uint8_t>& config, char* text, std::size_t text_size,
                    std::vector<std::uint8_t>& object) {
  return guarded(text, text_size, nullptr, [&](Compiler& c) {
    start(c, "(memory)");
    load_source(c, source);
    c.mallev = 2;
    c.pCfg = config;
    c.mallev = 3;
    compile_loaded(c);
    object.assign(c.objdata.begin(), c.objdata.begin() + c.objp);
    release(c);
  });
}

}  // namespace kvt::compiler
